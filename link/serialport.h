#pragma once

#include <QByteArray>
#include <QObject>
#include <QSerialPort>
#include <QSharedPointer>
#include <QString>
#include <QWeakPointer>

namespace Application::R58 {

class SerialPortManager;

// One device's serial line with its fixed settings: delivers what arrives as
// dataReceived, reports each successful write as dataTransmitted, and closes
// itself and tells the manager when the device goes away.
class SerialPort : public QObject
{
    Q_OBJECT

public:
    static constexpr qint32 BaudRate = 115200;

    SerialPort(QSharedPointer<SerialPortManager> manager, const QString& portName,
        QObject* parent = nullptr);
    ~SerialPort() override;

    // Applies the line settings and opens for reading and writing; true when
    // the port is (already) open.
    bool open();
    void close();
    [[nodiscard]] bool isOpen() const;
    [[nodiscard]] QString getPortName() const;
    // Why the last attempt to open failed, as the serial port module words it; empty once the
    // port has opened.
    [[nodiscard]] QString getOpenError() const;
    // The kind of that failure; NoError when it opened or was never tried.
    [[nodiscard]] QSerialPort::SerialPortError getOpenErrorKind() const { return m_openErrorKind; }

    // False when the port is closed or did not take every byte; nothing is
    // emitted then.
    bool write(const QByteArray& data);
    bool write(const QString& data);
    // The bytes followed by "\r\n".
    bool writeLine(const QByteArray& data);
    bool writeLine(const QString& data);

signals:
    void dataReceived(const QByteArray& data);
    void dataTransmitted(const QByteArray& data);

public slots:
    void handleReadyRead();
    void handleBytesWritten(qint64 bytes);
    void handleError(QSerialPort::SerialPortError error);

private:
    void handleHangUp();

    // Weak: the manager's map owns the ports, so a strong pointer back would
    // keep both alive for ever.
    QWeakPointer<SerialPortManager> m_manager;
    QString m_portName;
    QSerialPort* m_port = nullptr;
    QString m_openError;
    QSerialPort::SerialPortError m_openErrorKind = QSerialPort::NoError;
};

} // namespace Application::R58
