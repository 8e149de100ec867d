#pragma once

#include <QByteArray>
#include <QString>

#include <cerrno>
#include <fcntl.h>
#include <pty.h>
#include <unistd.h>

// A pseudo-terminal pair standing in for a device: the program opens the
// slave by its path like a USB serial port; the test plays the device on the
// master.
class PtyPair
{
public:
    PtyPair()
    {
        int slave = -1;
        char name[256] = {};
        if (::openpty(&m_master, &slave, name, nullptr, nullptr) != 0) {
            m_master = -1;
            return;
        }
        m_slavePath = QString::fromLocal8Bit(name);
        // The port opens the slave on its own; ours would keep the line up
        // after the port has closed.
        ::close(slave);
        ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
    }
    ~PtyPair() { closeMaster(); }
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    [[nodiscard]] bool isValid() const { return m_master >= 0; }
    [[nodiscard]] QString slavePath() const { return m_slavePath; }

    bool writeMaster(const QByteArray& data)
    {
        for (qint64 done = 0, n = 0; done<data.size(); done += n> 0 ? n : 0) {
            n = ::write(m_master, data.constData() + done, size_t(data.size() - done));
            if (n < 0 && errno != EAGAIN && errno != EINTR)
                return false;
        }
        return true;
    }

    // Whatever the master can read now, without waiting.
    QByteArray readMaster()
    {
        QByteArray data;
        char buffer[4096];
        for (ssize_t n; (n = ::read(m_master, buffer, sizeof buffer)) > 0;)
            data.append(buffer, int(n));
        return data;
    }

    // Hangs the line up, as pulling the cable does.
    void closeMaster()
    {
        if (m_master >= 0)
            ::close(m_master);
        m_master = -1;
    }

private:
    int m_master = -1;
    QString m_slavePath;
};
