// The simulator talks to the tool's real serial code in the other tests, which also cover its
// streams, updates, restarts and fault knobs end to end; here its answers are pinned to the wire
// format independently: frames are written as raw bytes and checked with zlib's CRC-32.
#include "sim/simulateddevice.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <cstring>
#include <fcntl.h>
#include <memory>
#include <poll.h>
#include <termios.h>
#include <unistd.h>
#include <zlib.h>

using Simulator::SimulatedDevice;
using Terminal = SimulatedDevice::Terminal;

namespace {

struct Frame
{
    quint16 command = 0;
    quint8 source = 0;
    quint8 destination = 0;
    QList<QByteArray> args;
};

quint32 le32(const char* p)
{
    return quint32(quint8(p[0])) | quint32(quint8(p[1])) << 8 | quint32(quint8(p[2])) << 16
        | quint32(quint8(p[3])) << 24;
}

quint16 le16(const char* p)
{
    return quint16(quint8(p[0]) | quint8(p[1]) << 8);
}

// zlib's CRC-32, not the project's.
quint32 zcrc(const QByteArray& bytes)
{
    return quint32(
        ::crc32(0L, reinterpret_cast<const Bytef*>(bytes.constData()), uInt(bytes.size())));
}

// The tool's end of the line, opened like a serial port but without Qt.
class RawPort
{
public:
    explicit RawPort(const QString& path)
    {
        m_fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (m_fd >= 0) {
            termios tio {};
            ::tcgetattr(m_fd, &tio);
            cfmakeraw(&tio);
            ::tcsetattr(m_fd, TCSANOW, &tio);
        }
    }
    ~RawPort()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    bool isOpen() const { return m_fd >= 0; }

    void write(const QByteArray& bytes)
    {
        QVERIFY(::write(m_fd, bytes.constData(), size_t(bytes.size())) == bytes.size());
    }

    // Runs the event loop (the simulator lives there) until a whole, checked
    // frame is buffered; returns false on time-out or a hang-up.
    bool readFrame(Frame* frame, int timeout = 5000)
    {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < timeout) {
            if (takeFrame(frame))
                return true;
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            pollfd p {m_fd, POLLIN, 0};
            char buffer[4096];
            ssize_t n = 0;
            if (::poll(&p, 1, 5) > 0 && (n = ::read(m_fd, buffer, sizeof buffer)) > 0)
                m_buffer.append(buffer, int(n));
            else if (p.revents & POLLHUP) {
                m_hungUp = true;
                return false;
            }
        }
        return false;
    }

    bool hungUp() const { return m_hungUp; }

private:
    bool takeFrame(Frame* frame)
    {
        for (;;) {
            const int start = m_buffer.indexOf("702#");
            if (start < 0 || m_buffer.size() - start < 15)
                return false;
            m_buffer.remove(0, start);
            const int length = le16(m_buffer.constData() + 4);
            if (length >= 15 && m_buffer.size() < length)
                return false;
            const QByteArray bytes = m_buffer.left(length);
            if (length < 15
                || zcrc(bytes.left(length - 4)) != le32(bytes.constData() + length - 4)) {
                m_buffer.remove(0, 1); // not a frame: look for the next marker
                continue;
            }
            m_buffer.remove(0, length);
            frame->command = le16(bytes.constData() + 6);
            frame->source = quint8(bytes[8]);
            frame->destination = quint8(bytes[9]);
            frame->args.clear();
            int offset = 11;
            for (int i = 0; i < quint8(bytes[10]); ++i) {
                const int n = le16(bytes.constData() + offset);
                frame->args.append(bytes.mid(offset + 2, n));
                offset += 2 + n;
            }
            return true;
        }
    }

    int m_fd = -1;
    QByteArray m_buffer;
    bool m_hungUp = false;
};

// Builds a host frame by hand: header, arguments, zlib CRC.
QByteArray hostFrame(quint16 command, quint8 destination, const QList<QByteArray>& args = {})
{
    QByteArray body;
    for (const QByteArray& a : args)
        body.append(char(a.size() & 0xFF)).append(char(a.size() >> 8)).append(a);
    const int length = 15 + body.size();
    QByteArray frame("702#");
    frame.append(char(length & 0xFF)).append(char(length >> 8));
    frame.append(char(command & 0xFF)).append(char(command >> 8));
    frame.append(char(2)).append(char(destination)).append(char(args.size())).append(body);
    const quint32 crc = zcrc(frame);
    for (int i = 0; i < 4; ++i)
        frame.append(char(crc >> (8 * i)));
    return frame;
}

QByteArray u16(quint16 v)
{
    return QByteArray(reinterpret_cast<const char*>(&v), 2);
}
QByteArray u32(quint32 v)
{
    return QByteArray(reinterpret_cast<const char*>(&v), 4);
}
QByteArray f32(float v)
{
    return QByteArray(reinterpret_cast<const char*>(&v), 4);
}

// Reads frames until one with the command arrives (others, such as streamed values, are skipped).
bool expect(RawPort& port, quint16 command, Frame* frame)
{
    for (int i = 0; i < 50; ++i) {
        if (!port.readFrame(frame))
            return false;
        if (frame->command == command)
            return true;
    }
    return false;
}

} // namespace

class TestSimulator : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void answersRequestsByteExact_data();
    void answersRequestsByteExact();
    void burstLargerThanTheRing();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<SimulatedDevice> m_device;
};

void TestSimulator::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_device = std::make_unique<SimulatedDevice>(m_dir->path());
    m_device->setRestartDelay(100);
    m_device->setMeasurementInterval(20);
    QVERIFY(m_device->plugIn());
    QVERIFY(m_device->portName().contains(QStringLiteral("tty")));
}

void TestSimulator::cleanup()
{
    m_device.reset();
    m_dir.reset();
}

void TestSimulator::answersRequestsByteExact_data()
{
    QTest::addColumn<QList<QByteArray>>("before"); // frames sent first, answers skipped
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<quint8>("source");
    QTest::addColumn<quint16>("command");
    QTest::addColumn<QList<QByteArray>>("args");
    // The requests exactly as the tool sends them.
    const QList<QByteArray> none;
    QTest::newRow("platform name") << none << QByteArray::fromHex("373032230f0005000200005dcb3748")
                                   << quint8(0) << quint16(5) << QList<QByteArray> {"Application"};
    QTest::newRow("display name") << none << QByteArray::fromHex("373032230f0005000201001cfa2c51")
                                  << quint8(1) << quint16(5) << QList<QByteArray> {"Application"};
    QTest::newRow("platform version")
        << none << QByteArray::fromHex("37303223130007000200010200270080356faa") << quint8(0)
        << quint16(6) << QList<QByteArray> {u16(39), QByteArray::fromHex("00020304")}; // V4.3.2.0
    // A setting is stored and reported back: nominal current 2.5 A as a float.
    QTest::newRow("setting") << none << hostFrame(6, 0, {u16(2), QByteArray::fromHex("00002040")})
                             << quint8(0) << quint16(6)
                             << QList<QByteArray> {u16(2), QByteArray::fromHex("00002040")};
    QTest::newRow("software version in the boot loader")
        << QList<QByteArray> {hostFrame(1, 0)} << hostFrame(3, 0) << quint8(0) << quint16(3)
        << QList<QByteArray> {u32(0x01000200u)};
    QTest::newRow("hardware layer version in the boot loader")
        << QList<QByteArray> {hostFrame(1, 1)} << hostFrame(4, 1) << quint8(1) << quint16(4)
        << QList<QByteArray> {u32(0x01020001u)};
    QTest::newRow("thermal capacity of a phase, as set")
        << QList<QByteArray> {hostFrame(35, 0, {"\x02", f32(0.375f)})} << hostFrame(34, 0, {"\x02"})
        << quint8(0) << quint16(34) << QList<QByteArray> {"\x02", f32(0.375f)};
}

void TestSimulator::answersRequestsByteExact()
{
    QFETCH(QList<QByteArray>, before);
    QFETCH(QByteArray, request);
    QFETCH(quint8, source);
    QFETCH(quint16, command);
    QFETCH(QList<QByteArray>, args);
    RawPort port(m_device->portName());
    QVERIFY(port.isOpen());
    for (const QByteArray& frame : before)
        port.write(frame);
    port.write(request);
    Frame answer;
    QVERIFY(expect(port, command, &answer));
    QCOMPARE(answer.command, command);
    QCOMPARE(answer.source, source);
    QCOMPARE(answer.destination, quint8(2));
    QCOMPARE(answer.args, args);
    QCOMPARE(m_device->receivedFrames().value(before.size()), request);
}

// A read larger than the simulator's receive ring loses no request.
void TestSimulator::burstLargerThanTheRing()
{
    RawPort port(m_device->portName());
    QByteArray burst;
    constexpr int Requests = 300; // 15 bytes each
    for (int i = 0; i < Requests; ++i)
        burst.append(hostFrame(5, quint8(i % 2)));
    port.write(burst);
    Frame answer;
    for (int i = 0; i < Requests; ++i) {
        QVERIFY2(expect(port, 5, &answer), qPrintable(QStringLiteral("answer %1").arg(i)));
        QCOMPARE(answer.source, quint8(i % 2));
    }
    QCOMPARE(m_device->receivedFrames().size(), Requests);
}

QTEST_GUILESS_MAIN(TestSimulator)
#include "tst_simulator.moc"
