#pragma once

#include "link/serialportsource.h"

#include <QEnableSharedFromThis>
#include <QList>
#include <QMap>
#include <QObject>
#include <QSerialPort>
#include <QSet>
#include <QSharedPointer>
#include <QString>
#include <QStringList>

class QSerialPortInfo;
class QTimer;

namespace Application::R58 {

class SerialPort;

// Watches the system's serial ports, opens one SerialPort per R58 device found
// and reports ports that open and close. Lives in a QSharedPointer for the
// whole run so that the ports can report a lost device back.
class SerialPortManager : public QObject, public QEnableSharedFromThis<SerialPortManager>
{
    Q_OBJECT

public:
    static constexpr int PollInterval = 1000; // milliseconds
    static constexpr quint16 VendorIdentifier = 0x03EB;
    static constexpr quint16 ProductIdentifier = 0x2404;

    // Polls the system's ports.
    explicit SerialPortManager(QObject* parent = nullptr);
    // Polls the given source instead (simulator, tests); null means the system's.
    explicit SerialPortManager(QSharedPointer<SerialPortSource> source, QObject* parent = nullptr);
    ~SerialPortManager() override;

    // The port stored under the name. An unknown name is entered with a null
    // port, which is returned; callers skip null entries.
    QSharedPointer<SerialPort> getPort(const QString& portName);
    // All entries by name, null entries included.
    [[nodiscard]] QList<QSharedPointer<SerialPort>> getPorts() const;
    [[nodiscard]] bool portsAvailable() const;
    // The names of the R58 devices the source lists now and of the watched ports that exist
    // now, minus the lost ones.
    [[nodiscard]] QSet<QString> getAvailablePorts() const;
    // The names of the ports the last poll reported open.
    [[nodiscard]] QSet<QString> getKnownPorts() const { return m_knownPorts; }
    // Why the named port failed to open at its last attempt; empty when it opened or was never
    // tried.
    [[nodiscard]] QString getOpenError(const QString& portName) const;
    [[nodiscard]] QSerialPort::SerialPortError getOpenErrorKind(const QString& portName) const;

    [[nodiscard]] bool isVelorR58(const QSerialPortInfo& info) const;
    [[nodiscard]] bool isVelorR58(const SerialPortSource::Port& port) const;

    // Watches a port by name or path whatever its USB identity: a device behind another maker's
    // USB-serial adapter, or one forwarded over the network to a local pseudo-terminal. It is
    // opened when it appears, reported closed when it goes, and opened again when it is back.
    void watchPort(const QString& portName);
    [[nodiscard]] QStringList getWatchedPorts() const { return m_watchedPorts; }

    // Called by a port whose device went away; the next poll reports it closed.
    void lostDevice(const QString& portName);

    // One poll: open the devices that appeared (and those that failed to open
    // before), close the ones that vanished or were lost. The timer calls it;
    // tests and the simulator may call it directly instead of waiting.
    void poll();
    // Stops or restarts the periodic poll.
    void setPolling(bool enabled);

signals:
    void portOpened(const QString& portName);
    void portClosed(const QString& portName);

public slots:
    void handleTimeout();

private:
    QSharedPointer<SerialPortSource> m_source;
    QTimer* m_timer = nullptr;
    // Names whose ports the polls reported open and not yet closed.
    QSet<QString> m_knownPorts;
    QSet<QString> m_lostPorts;
    QStringList m_watchedPorts;
    // Every port ever created, kept so that a returning device reuses its object.
    QMap<QString, QSharedPointer<SerialPort>> m_ports;
};

} // namespace Application::R58
