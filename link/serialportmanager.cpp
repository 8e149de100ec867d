#include "link/serialportmanager.h"

#include "link/serialport.h"
#include "link/systemserialportsource.h"

#include <QFileInfo>
#include <QSerialPortInfo>
#include <QStringList>
#include <QTimer>

#include <algorithm>

namespace Application::R58 {

namespace {

bool isDeviceName(const QString& portName)
{
    // "COM" for Windows; "tty" picks the tty entry where a device is listed
    // twice (call-out and tty) and never a cu.* twin.
    return portName.contains(QLatin1String("COM")) || portName.contains(QLatin1String("tty"));
}

// A watched port is there while its node is: a pseudo-terminal's link goes with the program
// that made it, a USB adapter's node with the adapter. The serial port module opens bare names
// under /dev, so they are looked for there.
bool portExists(const QString& portName)
{
#ifdef Q_OS_UNIX
    return QFileInfo::exists(
        portName.startsWith(QLatin1Char('/')) ? portName : QStringLiteral("/dev/") + portName);
#else
    const auto infos = QSerialPortInfo::availablePorts();
    return std::any_of(infos.begin(), infos.end(),
        [&](const QSerialPortInfo& info) { return info.portName() == portName; });
#endif
}

QStringList sorted(const QSet<QString>& names)
{
    QStringList list(names.begin(), names.end());
    std::sort(list.begin(), list.end());
    return list;
}

} // namespace

SerialPortManager::SerialPortManager(QObject* parent) : SerialPortManager(nullptr, parent)
{
}

SerialPortManager::SerialPortManager(QSharedPointer<SerialPortSource> source, QObject* parent)
    : QObject(parent), m_source(std::move(source)), m_timer(new QTimer(this))
{
    if (!m_source)
        m_source = QSharedPointer<SystemSerialPortSource>::create();
    connect(m_timer, &QTimer::timeout, this, &SerialPortManager::handleTimeout);
    m_timer->start(PollInterval);
}

SerialPortManager::~SerialPortManager()
{
    m_timer->stop();
}

QSharedPointer<SerialPort> SerialPortManager::getPort(const QString& portName)
{
    return m_ports[portName];
}

QList<QSharedPointer<SerialPort>> SerialPortManager::getPorts() const
{
    return m_ports.values();
}

bool SerialPortManager::portsAvailable() const
{
    return !m_ports.isEmpty();
}

QSet<QString> SerialPortManager::getAvailablePorts() const
{
    QSet<QString> names;
    const auto ports = m_source->availablePorts();
    for (const SerialPortSource::Port& port : ports) {
        if (isVelorR58(port) && !m_lostPorts.contains(port.portName))
            names.insert(port.portName);
    }
    for (const QString& name : m_watchedPorts) {
        if (!m_lostPorts.contains(name) && portExists(name))
            names.insert(name);
    }
    return names;
}

QSerialPort::SerialPortError SerialPortManager::getOpenErrorKind(const QString& portName) const
{
    const auto port = m_ports.value(portName);
    return port ? port->getOpenErrorKind() : QSerialPort::NoError;
}

QString SerialPortManager::getOpenError(const QString& portName) const
{
    const auto port = m_ports.value(portName);
    return port ? port->getOpenError() : QString();
}

bool SerialPortManager::isVelorR58(const QSerialPortInfo& info) const
{
    return info.hasVendorIdentifier() && info.hasProductIdentifier()
        && isVelorR58(SerialPortSource::Port {
            info.portName(), info.vendorIdentifier(), info.productIdentifier()});
}

bool SerialPortManager::isVelorR58(const SerialPortSource::Port& port) const
{
    return port.vendorIdentifier == VendorIdentifier && port.productIdentifier == ProductIdentifier
        && isDeviceName(port.portName);
}

void SerialPortManager::watchPort(const QString& portName)
{
    if (!portName.isEmpty() && !m_watchedPorts.contains(portName))
        m_watchedPorts.append(portName);
}

void SerialPortManager::lostDevice(const QString& portName)
{
    m_lostPorts.insert(portName);
}

void SerialPortManager::setPolling(bool enabled)
{
    if (enabled)
        m_timer->start(PollInterval);
    else
        m_timer->stop();
}

void SerialPortManager::poll()
{
    const QSet<QString> available = getAvailablePorts();

    // Sets, not counts: a device that arrives while another leaves within one
    // poll is still seen.
    for (const QString& name : sorted(m_knownPorts - available)) {
        m_knownPorts.remove(name);
        if (const auto port = m_ports.value(name))
            port->close();
        m_lostPorts.remove(name);
        emit portClosed(name);
    }
    // Every lost name has now been reported closed (or never was open); if the
    // device is still or again listed, the next poll reopens it.
    m_lostPorts.clear();

    // Names that failed to open are not known, so they are tried again here.
    for (const QString& name : sorted(available - m_knownPorts)) {
        QSharedPointer<SerialPort>& port = m_ports[name];
        if (port)
            port->open();
        else
            // No QObject parent: the shared pointers alone own the port.
            port = QSharedPointer<SerialPort>::create(sharedFromThis(), name);
        if (port->isOpen()) {
            m_knownPorts.insert(name);
            emit portOpened(name);
        }
    }
}

void SerialPortManager::handleTimeout()
{
    poll();
}

} // namespace Application::R58
