#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QSerialPort>
#include <QSharedPointer>
#include <QString>
#include <QTimer>
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
    // A streaming device's bytes come a frame at a time, hundreds of times a second, and each
    // hand-over to the link wakes its receive thread. Bytes that come within this many
    // milliseconds of the last hand-over, with nothing written since, wait and go with what
    // follows them; an answer to something just written (an update's next block request) goes
    // at once. Ten milliseconds is far below anything a person or a wait of the link notices.
    static constexpr int HandOverInterval = 10;

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
    // Gives what the port has read to the link; `signalled`: right on its readyRead.
    void handOver(bool signalled);
    void handleHangUp();

    // Weak: the manager's map owns the ports, so a strong pointer back would
    // keep both alive for ever.
    QWeakPointer<SerialPortManager> m_manager;
    QString m_portName;
    QSerialPort* m_port = nullptr;
    QString m_openError;
    QSerialPort::SerialPortError m_openErrorKind = QSerialPort::NoError;
    QTimer* m_handOverTimer = nullptr;
    QElapsedTimer m_sinceHandOver;
    bool m_wroteSinceHandOver = false;
    // A readyRead came and waits for the timer.
    bool m_deferred = false;
};

} // namespace Application::R58
