#pragma once

#include <QString>

namespace Simulator {

// A pseudo-terminal pair: the simulated device owns the master side, the tool
// opens the slave side as if it were a USB serial port.
class PtyPair
{
public:
    PtyPair() = default;
    ~PtyPair();
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    // Opens a new pair in raw mode; false with an error text on failure.
    bool open(QString* error = nullptr);
    // Closes both sides: the tool's end sees a hang-up, as when a cable is pulled.
    void close();

    [[nodiscard]] bool isOpen() const { return m_master >= 0; }
    [[nodiscard]] int masterFd() const { return m_master; }
    [[nodiscard]] const QString& slavePath() const { return m_slavePath; }

private:
    int m_master = -1;
    // Held open so that the master never reads a hang-up while the tool has
    // the port closed (for example while it reopens it). Never read from.
    int m_slave = -1;
    QString m_slavePath;
};

} // namespace Simulator
