// The simulator talks to the tool's real serial code in the other tests, which also cover its
// streams, updates, restarts and fault knobs end to end; here its answers are pinned to the wire
// format independently: frames are written as raw bytes and checked with zlib's CRC-32.
#include "sim/simulateddevice.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include <fcntl.h>
#include <memory>
#include <poll.h>
#include <termios.h>
#include <unistd.h>
#include <zlib.h>

using Simulator::SimulatedDevice;

namespace {

// The value's bytes as this machine (and the device) holds them: little-endian.
template <typename T>
QByteArray raw(T v)
{
    return QByteArray(reinterpret_cast<const char*>(&v), sizeof v);
}

// A frame built by hand: header, arguments, zlib's CRC-32 (not the project's).
QByteArray frame(quint16 command, quint8 source, quint8 destination, const QList<QByteArray>& args)
{
    QByteArray body;
    for (const QByteArray& a : args)
        body += raw(quint16(a.size())) + a;
    const QByteArray head = "702#" + raw(quint16(15 + body.size())) + raw(command) + char(source)
        + char(destination) + char(args.size()) + body;
    return head
        + raw(quint32(::crc32(0L, reinterpret_cast<const Bytef*>(head.constData()), uInt(head.size()))));
}

QByteArray hostFrame(quint16 command, quint8 destination, const QList<QByteArray>& args = {})
{
    return frame(command, 2, destination, args);
}

// The tool's end of the line, opened like a serial port but without Qt.
class RawPort
{
public:
    explicit RawPort(const QString& path)
        : m_fd(::open(QFile::encodeName(path).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK))
    {
        termios tio {};
        if (m_fd >= 0 && ::tcgetattr(m_fd, &tio) == 0) {
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

    // Runs the event loop (the simulator lives there) until a whole frame with the command has
    // come, skipping others such as streamed values; empty on time-out or a broken length.
    QByteArray readFrame(quint16 command, int timeout = 5000)
    {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < timeout) {
            const int start = m_buffer.indexOf("702#");
            const int length = start >= 0 && m_buffer.size() - start >= 15
                ? qFromLittleEndian<quint16>(m_buffer.constData() + start + 4)
                : -1;
            if (length >= 0 && length < 15)
                return {};
            if (length >= 15 && m_buffer.size() - start >= length) {
                const QByteArray bytes = m_buffer.mid(start, length);
                m_buffer.remove(0, start + length);
                if (qFromLittleEndian<quint16>(bytes.constData() + 6) == command)
                    return bytes;
                continue;
            }
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            pollfd p {m_fd, POLLIN, 0};
            char buffer[4096];
            ssize_t n = 0;
            if (::poll(&p, 1, 5) > 0 && (n = ::read(m_fd, buffer, sizeof buffer)) > 0)
                m_buffer.append(buffer, int(n));
        }
        return {};
    }

private:
    int m_fd = -1;
    QByteArray m_buffer;
};

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
    QTest::addColumn<QByteArray>("answer");
    // The request exactly as the tool sends it; the answer is the model value 39 as V4.3.2.0.
    QTest::newRow("platform version")
        << QList<QByteArray> {} << QByteArray::fromHex("37303223130007000200010200270080356faa")
        << frame(6, 0, 2, {raw(quint16(39)), QByteArray::fromHex("00020304")});
    QTest::newRow("software version in the boot loader")
        << QList<QByteArray> {hostFrame(1, 0)} << hostFrame(3, 0)
        << frame(3, 0, 2, {raw(0x01000200u)});
    QTest::newRow("hardware layer version in the boot loader")
        << QList<QByteArray> {hostFrame(1, 1)} << hostFrame(4, 1)
        << frame(4, 1, 2, {raw(0x01020001u)});
    QTest::newRow("thermal capacity of a phase, as set")
        << QList<QByteArray> {hostFrame(35, 0, {"\x02", raw(0.375f)})} << hostFrame(34, 0, {"\x02"})
        << frame(34, 0, 2, {"\x02", raw(0.375f)});
}

void TestSimulator::answersRequestsByteExact()
{
    QFETCH(QList<QByteArray>, before);
    QFETCH(QByteArray, request);
    QFETCH(QByteArray, answer);
    RawPort port(m_device->portName());
    QVERIFY(port.isOpen());
    for (const QByteArray& frame : before)
        port.write(frame);
    port.write(request);
    QCOMPARE(port.readFrame(qFromLittleEndian<quint16>(answer.constData() + 6)).toHex(' '),
        answer.toHex(' '));
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
    for (int i = 0; i < Requests; ++i)
        QCOMPARE(port.readFrame(5), frame(5, quint8(i % 2), 2, {"Application"}));
    QCOMPARE(m_device->receivedFrames().size(), Requests);
}

QTEST_GUILESS_MAIN(TestSimulator)
#include "tst_simulator.moc"
