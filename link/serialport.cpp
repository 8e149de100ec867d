#include "link/serialport.h"

#include "link/serialportmanager.h"

#include <utility>

namespace Application::R58 {

SerialPort::SerialPort(
    QSharedPointer<SerialPortManager> manager, const QString& portName, QObject* parent)
    : QObject(parent),
      m_manager(manager),
      m_portName(portName),
      m_port(new QSerialPort(this)),
      m_handOverTimer(new QTimer(this))
{
    m_handOverTimer->setSingleShot(true);
    m_handOverTimer->setTimerType(Qt::PreciseTimer);
    connect(m_handOverTimer, &QTimer::timeout, this, [this] { handOver(false); });
    // A full path (the simulator's pseudo-terminals) is opened as it is; a bare
    // name is looked up under /dev.
    m_port->setPortName(portName);
    connect(m_port, &QSerialPort::readyRead, this, &SerialPort::handleReadyRead);
    connect(m_port, &QSerialPort::bytesWritten, this, &SerialPort::handleBytesWritten);
    connect(m_port, &QSerialPort::errorOccurred, this, &SerialPort::handleError);
    open();
}

SerialPort::~SerialPort()
{
    close();
}

bool SerialPort::open()
{
    if (m_port->isOpen())
        return true;
    m_port->setBaudRate(BaudRate, QSerialPort::AllDirections);
    m_port->setDataBits(QSerialPort::Data8);
    m_port->setParity(QSerialPort::NoParity);
    m_port->setStopBits(QSerialPort::OneStop);
    // Frames are binary: with XON/XOFF the line would swallow every 0x11 and
    // 0x13 in checksums, floats and firmware blocks, and a received 0x13 could
    // stall our own output.
    m_port->setFlowControl(QSerialPort::NoFlowControl);
    if (!m_port->open(QIODevice::ReadWrite)) {
        m_openError = m_port->errorString();
        m_openErrorKind = m_port->error();
        return false;
    }
    m_openError.clear();
    m_openErrorKind = QSerialPort::NoError;
    // Pseudo-terminals have no modem lines; the failure is harmless and ignored.
    m_port->setDataTerminalReady(true);
    m_port->clearError();
    return true;
}

void SerialPort::close()
{
    m_handOverTimer->stop();
    m_deferred = false;
    if (m_port->isOpen())
        m_port->close();
}

bool SerialPort::isOpen() const
{
    return m_port->isOpen();
}

QString SerialPort::getPortName() const
{
    return m_portName;
}

QString SerialPort::getOpenError() const
{
    return m_openError;
}

bool SerialPort::write(const QByteArray& data)
{
    if (!m_port->isOpen())
        return false;
    const qint64 written = m_port->write(data);
    if (written != qint64(data.size()))
        return false;
    m_wroteSinceHandOver = true;
    emit dataTransmitted(data);
    return true;
}

bool SerialPort::write(const QString& data)
{
    return write(data.toUtf8());
}

bool SerialPort::writeLine(const QByteArray& data)
{
    return write(data + QByteArrayLiteral("\r\n"));
}

bool SerialPort::writeLine(const QString& data)
{
    return writeLine(data.toUtf8());
}

void SerialPort::handleReadyRead()
{
    if (m_handOverTimer->isActive()) {
        m_deferred = true;
        return;
    }
    const qint64 since = m_sinceHandOver.isValid() ? m_sinceHandOver.elapsed() : HandOverInterval;
    if (!m_wroteSinceHandOver && since < HandOverInterval) {
        m_deferred = true;
        m_handOverTimer->start(int(HandOverInterval - since));
        return;
    }
    handOver(true);
}

void SerialPort::handOver(bool signalled)
{
    m_handOverTimer->stop();
    const bool deferred = std::exchange(m_deferred, false);
    if (!m_port->isOpen())
        return;
    const QByteArray data = m_port->readAll();
    if (data.isEmpty()) {
        // Readable but nothing to read: the far end has hung up.
        if (signalled || deferred)
            handleHangUp();
        return;
    }
    m_wroteSinceHandOver = false;
    m_sinceHandOver.start();
    emit dataReceived(data);
}

void SerialPort::handleBytesWritten(qint64 bytes)
{
    Q_UNUSED(bytes)
}

void SerialPort::handleError(QSerialPort::SerialPortError error)
{
    // A hung-up line reports ResourceError or, through a stale errno after a
    // zero-length read, ReadError, and keeps reporting it for as long as the
    // descriptor is open. Either way the device is gone.
    if (error == QSerialPort::ResourceError || error == QSerialPort::ReadError)
        handleHangUp();
}

void SerialPort::handleHangUp()
{
    if (!m_port->isOpen())
        return;
    // What came before the device went is the device's last word.
    m_handOverTimer->stop();
    m_deferred = false;
    if (const QByteArray rest = m_port->readAll(); !rest.isEmpty())
        emit dataReceived(rest);
    // Close at once: while the old descriptor stays open the kernel gives the
    // returning device a new name, and the read notifier would keep firing.
    m_port->close();
    if (const auto manager = m_manager.toStrongRef())
        manager->lostDevice(m_portName);
}

} // namespace Application::R58
