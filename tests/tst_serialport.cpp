#include "link/listserialportsource.h"
#include "link/serialport.h"
#include "link/serialportmanager.h"
#include "link/talolinkpacket.h"
#include "link/talolinkreassembler.h"
#include "ptypair.h"

#include <QFile>
#include <QSerialPort>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

using Application::R58::ListSerialPortSource;
using Application::R58::SerialPort;
using Application::R58::SerialPortManager;
using Application::R58::SerialPortSource;
using Component::Interfaces::TaloLinkCommandID;
using Component::Interfaces::TaloLinkPacket;
using Component::Interfaces::TaloLinkReassembler;

namespace {

constexpr int Timeout = 10000; // milliseconds; generous for loaded CI machines

QByteArray allByteValues()
{
    QByteArray bytes(256, '\0');
    for (int i = 0; i < 256; ++i)
        bytes[i] = char(i);
    return bytes;
}

// A value request whose checksum holds both flow-control characters.
QByteArray frameWithXonXoffInChecksum()
{
    for (quint32 id = 0; id <= 0xFFFF; ++id) {
        const std::uint8_t bytes[2] = {std::uint8_t(id), std::uint8_t(id >> 8)};
        TaloLinkPacket::ArgList args;
        args.append({bytes, 2});
        const QByteArray frame = TaloLinkPacket::build(TaloLinkCommandID::GetModelValue,
            TaloLinkPacket::Terminal::Platform, TaloLinkPacket::Terminal::Host, args);
        if (frame.right(4).contains('\x11') && frame.right(4).contains('\x13'))
            return frame;
    }
    return {};
}

// Everything the master reads until `size` bytes have come.
QByteArray readMaster(PtyPair& pty, int size)
{
    QByteArray data;
    if (!QTest::qWaitFor([&] { return (data += pty.readMaster()).size() >= size; }, Timeout))
        qWarning("timed out after %d of %d bytes", data.size(), size);
    return data;
}

SerialPortSource::Port r58Port(const QString& name)
{
    return {name, SerialPortManager::VendorIdentifier, SerialPortManager::ProductIdentifier};
}

// A manager polled by hand, with devices named like the simulator's: a "tty"
// symlink to a pty slave.
struct Bench
{
    explicit Bench(bool polling = false) { manager->setPolling(polling); }
    QString link(const PtyPair& pty, const QString& name = QStringLiteral("ttyR58sim0"))
    {
        const QString path = dir.filePath(name);
        QFile::remove(path);
        return QFile::link(pty.slavePath(), path) ? path : QString();
    }

    QTemporaryDir dir;
    QSharedPointer<ListSerialPortSource> source = QSharedPointer<ListSerialPortSource>::create();
    QSharedPointer<SerialPortManager> manager = QSharedPointer<SerialPortManager>::create(source);
    QSignalSpy opened {manager.data(), &SerialPortManager::portOpened};
    QSignalSpy closed {manager.data(), &SerialPortManager::portClosed};
};

} // namespace

class TestSerialPort : public QObject
{
    Q_OBJECT

private slots:
    void allByteValuesBothWays_data();
    void allByteValuesBothWays();
    void frameWithFlowControlBytesArrivesIntact();
    void writeReportsExactBytes_data();
    void writeReportsExactBytes();
    void writeOnClosedPort();
    void hangUpClosesAtOnce();

    void recognition_data();
    void recognition();
    void pollOpensAndCloses();
    void swapWithinOnePoll();
    void failedOpenIsRetried();
    void lostDeviceReopensSameObject();
    void unknownNameGivesNullEntry();
    void timerPolls();
};

void TestSerialPort::allByteValuesBothWays_data()
{
    QTest::addColumn<bool>("fromDevice");
    QTest::newRow("device to host") << true;
    QTest::newRow("host to device") << false;
}

void TestSerialPort::allByteValuesBothWays()
{
    QFETCH(bool, fromDevice);
    PtyPair pty;
    SerialPort port(nullptr, pty.slavePath());
    QVERIFY(port.isOpen());
    QByteArray received;
    connect(&port, &SerialPort::dataReceived, this,
        [&received](const QByteArray& data) { received += data; });
    const QByteArray bytes = allByteValues();
    if (fromDevice) {
        QVERIFY(pty.writeMaster(bytes));
        QTRY_VERIFY_WITH_TIMEOUT(received.size() >= bytes.size(), Timeout);
    } else {
        QVERIFY(port.write(bytes));
        received = readMaster(pty, bytes.size());
    }
    QCOMPARE(received.toHex(' '), bytes.toHex(' '));
}

void TestSerialPort::frameWithFlowControlBytesArrivesIntact()
{
    const QByteArray frame = frameWithXonXoffInChecksum();
    QVERIFY(!frame.isEmpty());
    PtyPair pty;
    SerialPort port(nullptr, pty.slavePath());
    QVERIFY(port.isOpen());

    QList<QByteArray> frames;
    TaloLinkReassembler reassembler(
        [&frames](const TaloLinkPacket& packet) { frames.append(packet.raw); });
    reassembler.setState(TaloLinkReassembler::State::Sync);
    connect(&port, &SerialPort::dataReceived, this, [&reassembler](const QByteArray& data) {
        reassembler.append(data);
        reassembler.run();
    });
    QVERIFY(pty.writeMaster(frame + frame));
    QTRY_COMPARE_WITH_TIMEOUT(frames, (QList<QByteArray> {frame, frame}), Timeout);

    // A 0x13 from the device must not stop what we send either.
    const QByteArray reply = frame + allByteValues();
    QVERIFY(port.write(reply));
    QCOMPARE(readMaster(pty, reply.size()).toHex(' '), reply.toHex(' '));
}

void TestSerialPort::writeReportsExactBytes_data()
{
    QTest::addColumn<int>("call");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("write bytes") << 0 << QByteArray("\x00\x13\x11 frame", 9);
    QTest::newRow("write text") << 1 << QByteArray("Grüße");
    QTest::newRow("writeLine bytes") << 2 << QByteArray("\x00\x13\x11 frame\r\n", 11);
    QTest::newRow("writeLine text") << 3 << QByteArray("Grüße\r\n");
}

void TestSerialPort::writeReportsExactBytes()
{
    QFETCH(int, call);
    QFETCH(QByteArray, expected);
    PtyPair pty;
    SerialPort port(nullptr, pty.slavePath());
    QSignalSpy transmitted(&port, &SerialPort::dataTransmitted);
    const QByteArray bytes("\x00\x13\x11 frame", 9);
    const QString text = QStringLiteral("Grüße");
    const bool ok = call == 0 ? port.write(bytes)
        : call == 1           ? port.write(text)
        : call == 2           ? port.writeLine(bytes)
                              : port.writeLine(text);
    QVERIFY(ok);
    QCOMPARE(transmitted.count(), 1);
    QCOMPARE(transmitted.at(0).at(0).toByteArray(), expected);
    QCOMPARE(readMaster(pty, expected.size()), expected);
}

void TestSerialPort::writeOnClosedPort()
{
    PtyPair pty;
    SerialPort port(nullptr, pty.slavePath());
    QVERIFY(port.isOpen());
    port.close();
    port.close(); // closing twice is harmless
    QVERIFY(!port.isOpen());
    QSignalSpy transmitted(&port, &SerialPort::dataTransmitted);
    QVERIFY(!port.write(QByteArray("x")));
    QVERIFY(!port.writeLine(QStringLiteral("x")));
    QCOMPARE(transmitted.count(), 0);

    SerialPort missing(nullptr, QStringLiteral("/nonexistent/ttyR58"));
    QVERIFY(!missing.isOpen());
    QVERIFY(!missing.open());
    QVERIFY(!missing.write(QByteArray("x")));

    QVERIFY(port.open()); // the same object opens again
    QVERIFY(port.write(QByteArray("y")));
    QCOMPARE(transmitted.count(), 1);
}

void TestSerialPort::hangUpClosesAtOnce()
{
    PtyPair pty;
    SerialPort port(nullptr, pty.slavePath());
    QVERIFY(port.isOpen());
    auto* serial = port.findChild<QSerialPort*>();
    QVERIFY(serial);
    int errors = 0;
    connect(serial, &QSerialPort::errorOccurred, this,
        [&errors](QSerialPort::SerialPortError e) { errors += e != QSerialPort::NoError; });

    pty.closeMaster();
    QTRY_VERIFY_WITH_TIMEOUT(!port.isOpen(), Timeout);
    // Left open, the line reports a read error hundreds of thousands of times a second.
    QTest::qWait(200);
    QVERIFY2(errors <= 2, qPrintable(QString::number(errors)));
    QVERIFY(!port.write(QByteArray("x")));
}

void TestSerialPort::recognition_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("vendor");
    QTest::addColumn<int>("product");
    QTest::addColumn<bool>("recognised");
    QTest::newRow("ttyACM0") << "ttyACM0" << 0x03EB << 0x2404 << true;
    QTest::newRow("COM7") << "COM7" << 0x03EB << 0x2404 << true;
    QTest::newRow("simulator path") << "/tmp/sim/ttyR58sim0" << 0x03EB << 0x2404 << true;
    QTest::newRow("call-out twin") << "cu.usbmodem1411" << 0x03EB << 0x2404 << false;
    QTest::newRow("upper-case TTY") << "TTYACM0" << 0x03EB << 0x2404 << false;
    QTest::newRow("other vendor") << "ttyACM0" << 0x03EC << 0x2404 << false;
    QTest::newRow("other product") << "ttyACM0" << 0x03EB << 0x2405 << false;
}

void TestSerialPort::recognition()
{
    QFETCH(QString, name);
    QFETCH(int, vendor);
    QFETCH(int, product);
    QFETCH(bool, recognised);
    const SerialPortSource::Port port {name, quint16(vendor), quint16(product)};
    Bench bench;
    bench.source->setPorts({port});
    QCOMPARE(bench.manager->isVelorR58(port), recognised);
    QCOMPARE(bench.manager->getAvailablePorts().contains(name), recognised);
}

void TestSerialPort::pollOpensAndCloses()
{
    PtyPair pty;
    Bench bench;
    const QString name = bench.link(pty);
    // A port of another device next to ours is left alone.
    bench.source->setPorts({r58Port(name), {QStringLiteral("ttyUSB0"), 0x0403, 0x6001}});
    bench.manager->poll();
    bench.manager->poll(); // nothing changed, nothing reported
    QCOMPARE(bench.opened.count(), 1);
    QCOMPARE(bench.opened.at(0).at(0).toString(), name);
    const auto port = bench.manager->getPort(name);
    QVERIFY(port && port->isOpen());
    QCOMPARE(bench.manager->getPorts(), QList<QSharedPointer<SerialPort>> {port});

    bench.source->removePort(name);
    bench.manager->poll();
    QCOMPARE(bench.closed.count(), 1);
    QCOMPARE(bench.closed.at(0).at(0).toString(), name);
    QVERIFY(!port->isOpen());
    QCOMPARE(bench.manager->getPort(name), port); // kept for its return
}

void TestSerialPort::swapWithinOnePoll()
{
    PtyPair first;
    PtyPair second;
    Bench bench;
    const QString a = bench.link(first, QStringLiteral("ttyR58a"));
    const QString b = bench.link(second, QStringLiteral("ttyR58b"));
    bench.source->setPorts({r58Port(a)});
    bench.manager->poll();

    // One device leaves and another arrives between two polls: the count is
    // the same, yet both changes are reported.
    bench.source->setPorts({r58Port(b)});
    bench.manager->poll();
    QCOMPARE(bench.closed.count(), 1);
    QCOMPARE(bench.closed.at(0).at(0).toString(), a);
    QCOMPARE(bench.opened.count(), 2);
    QCOMPARE(bench.opened.at(1).at(0).toString(), b);
    QVERIFY(!bench.manager->getPort(a)->isOpen());
    QVERIFY(bench.manager->getPort(b)->isOpen());
    QCOMPARE(bench.manager->getKnownPorts(), QSet<QString> {b});
}

void TestSerialPort::failedOpenIsRetried()
{
    Bench bench;
    const QString name = bench.dir.filePath(QStringLiteral("ttyR58late"));
    bench.source->setPorts({r58Port(name)});
    // Listed before its node can be opened (as while udev still sets it up).
    bench.manager->poll();
    bench.manager->poll();
    QCOMPARE(bench.opened.count(), 0);
    const auto port = bench.manager->getPort(name);
    QVERIFY(port && !port->isOpen());

    PtyPair pty;
    QCOMPARE(bench.link(pty, QStringLiteral("ttyR58late")), name);
    bench.manager->poll();
    QCOMPARE(bench.opened.count(), 1);
    QCOMPARE(bench.manager->getPort(name), port);
    QVERIFY(port->isOpen());
}

void TestSerialPort::lostDeviceReopensSameObject()
{
    PtyPair pty;
    Bench bench;
    const QString name = bench.link(pty);
    bench.source->setPorts({r58Port(name)});
    bench.manager->poll();
    const auto port = bench.manager->getPort(name);
    QVERIFY(port && port->isOpen());

    // Still listed by the system, but reported lost (as after a hang-up): closed by the next
    // poll, reopened by the one after. The return after a real hang-up is in tst_devicelink.
    bench.manager->lostDevice(name);
    QVERIFY(!bench.manager->getAvailablePorts().contains(name));
    bench.manager->poll();
    QCOMPARE(bench.closed.count(), 1);
    QVERIFY(!port->isOpen());
    bench.manager->poll();
    QCOMPARE(bench.opened.count(), 2);
    QCOMPARE(bench.manager->getPorts(), QList<QSharedPointer<SerialPort>> {port});
    QVERIFY(port->isOpen());
}

void TestSerialPort::unknownNameGivesNullEntry()
{
    Bench bench;
    QVERIFY(!bench.manager->portsAvailable());
    QVERIFY(bench.manager->getPort(QStringLiteral("ttyACM9")).isNull());
    QCOMPARE(bench.manager->getPorts().size(), 1);
    QVERIFY(bench.manager->getPorts().first().isNull());
    QVERIFY(bench.manager->portsAvailable());
}

void TestSerialPort::timerPolls()
{
    PtyPair pty;
    Bench bench(true);
    const QString name = bench.link(pty);
    bench.source->addPort(r58Port(name));
    QVERIFY(bench.opened.wait(Timeout));
    bench.source->removePort(name);
    QVERIFY(bench.closed.wait(Timeout));
}

QTEST_GUILESS_MAIN(TestSerialPort)
#include "tst_serialport.moc"
