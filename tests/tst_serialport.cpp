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
        const QByteArray checksum = frame.right(4);
        if (checksum.contains('\x11') && checksum.contains('\x13'))
            return frame;
    }
    return {};
}

SerialPortSource::Port r58Port(const QString& name)
{
    return {name, SerialPortManager::VendorIdentifier, SerialPortManager::ProductIdentifier};
}

// The simulator's way of naming a device: a "tty" symlink to the pty slave.
bool linkDevice(const QString& target, const QString& link)
{
    QFile::remove(link);
    return QFile::link(target, link);
}

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
    void returningDeviceAfterHangUp();
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
    QVERIFY(pty.isValid());
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
        QTRY_VERIFY_WITH_TIMEOUT((received += pty.readMaster()).size() >= bytes.size(), Timeout);
    }
    QCOMPARE(received.toHex(' '), bytes.toHex(' '));
}

void TestSerialPort::frameWithFlowControlBytesArrivesIntact()
{
    const QByteArray frame = frameWithXonXoffInChecksum();
    QVERIFY(!frame.isEmpty());
    PtyPair pty;
    QVERIFY(pty.isValid());
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
    QTRY_COMPARE_WITH_TIMEOUT(frames.size(), 2, Timeout);
    QCOMPARE(frames, (QList<QByteArray> {frame, frame}));

    // A 0x13 from the device must not stop what we send either.
    const QByteArray reply = frame + allByteValues();
    QVERIFY(port.write(reply));
    QByteArray echoed;
    QTRY_VERIFY_WITH_TIMEOUT((echoed += pty.readMaster()).size() >= reply.size(), Timeout);
    QCOMPARE(echoed.toHex(' '), reply.toHex(' '));
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
    QVERIFY(pty.isValid());
    SerialPort port(nullptr, pty.slavePath());
    QVERIFY(port.isOpen());
    QSignalSpy transmitted(&port, &SerialPort::dataTransmitted);
    QVERIFY(transmitted.isValid());

    const QByteArray bytes("\x00\x13\x11 frame", 9);
    const QString text = QStringLiteral("Grüße");
    bool ok = false;
    switch (call) {
    case 0:
        ok = port.write(bytes);
        break;
    case 1:
        ok = port.write(text);
        break;
    case 2:
        ok = port.writeLine(bytes);
        break;
    default:
        ok = port.writeLine(text);
        break;
    }
    QVERIFY(ok);
    QCOMPARE(transmitted.count(), 1);
    QCOMPARE(transmitted.at(0).at(0).toByteArray(), expected);

    QByteArray onTheLine;
    QTRY_VERIFY_WITH_TIMEOUT((onTheLine += pty.readMaster()).size() >= expected.size(), Timeout);
    QCOMPARE(onTheLine, expected);
}

void TestSerialPort::writeOnClosedPort()
{
    PtyPair pty;
    QVERIFY(pty.isValid());
    SerialPort port(nullptr, pty.slavePath());
    QVERIFY(port.isOpen());
    port.close();
    QVERIFY(!port.isOpen());
    port.close(); // closing twice is harmless

    QSignalSpy transmitted(&port, &SerialPort::dataTransmitted);
    QVERIFY(transmitted.isValid());
    QVERIFY(!port.write(QByteArray("x")));
    QVERIFY(!port.writeLine(QStringLiteral("x")));
    QCOMPARE(transmitted.count(), 0);

    SerialPort missing(nullptr, QStringLiteral("/nonexistent/ttyR58"));
    QVERIFY(!missing.isOpen());
    QVERIFY(!missing.open());
    QVERIFY(!missing.write(QByteArray("x")));

    // The same object opens again.
    QVERIFY(port.open());
    QVERIFY(port.write(QByteArray("y")));
    QCOMPARE(transmitted.count(), 1);
}

void TestSerialPort::hangUpClosesAtOnce()
{
    PtyPair pty;
    QVERIFY(pty.isValid());
    SerialPort port(nullptr, pty.slavePath());
    QVERIFY(port.isOpen());
    auto* serial = port.findChild<QSerialPort*>();
    QVERIFY(serial != nullptr);
    int errors = 0;
    connect(serial, &QSerialPort::errorOccurred, this, [&errors](QSerialPort::SerialPortError e) {
        if (e != QSerialPort::NoError)
            ++errors;
    });

    pty.closeMaster();
    QTRY_VERIFY_WITH_TIMEOUT(!port.isOpen(), Timeout);
    // Left open, the line reports a read error hundreds of thousands of times a
    // second; closed, it falls silent.
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
    QTest::newRow("no identifiers") << "ttyS0" << 0 << 0 << false;
}

void TestSerialPort::recognition()
{
    QFETCH(QString, name);
    QFETCH(int, vendor);
    QFETCH(int, product);
    QFETCH(bool, recognised);

    auto source = QSharedPointer<ListSerialPortSource>::create();
    source->setPorts({{name, quint16(vendor), quint16(product)}});
    const auto manager = QSharedPointer<SerialPortManager>::create(source);
    manager->setPolling(false);
    QCOMPARE(manager->isVelorR58(SerialPortSource::Port {name, quint16(vendor), quint16(product)}),
        recognised);
    QCOMPARE(manager->getAvailablePorts().contains(name), recognised);
}

void TestSerialPort::pollOpensAndCloses()
{
    PtyPair pty;
    QVERIFY(pty.isValid());
    QTemporaryDir dir;
    const QString name = dir.filePath(QStringLiteral("ttyR58sim0"));
    QVERIFY(linkDevice(pty.slavePath(), name));

    auto source = QSharedPointer<ListSerialPortSource>::create();
    const auto manager = QSharedPointer<SerialPortManager>::create(source);
    manager->setPolling(false);
    QSignalSpy opened(manager.data(), &SerialPortManager::portOpened);
    QSignalSpy closed(manager.data(), &SerialPortManager::portClosed);
    QVERIFY(opened.isValid() && closed.isValid());

    // A port of another device next to ours is left alone.
    source->setPorts({r58Port(name), {QStringLiteral("ttyUSB0"), 0x0403, 0x6001}});
    manager->poll();
    QCOMPARE(opened.count(), 1);
    QCOMPARE(opened.at(0).at(0).toString(), name);
    const auto port = manager->getPort(name);
    QVERIFY(port);
    QVERIFY(port->isOpen());
    QCOMPARE(manager->getPorts(), QList<QSharedPointer<SerialPort>> {port});

    manager->poll(); // nothing changed, nothing reported
    QCOMPARE(opened.count(), 1);
    QCOMPARE(closed.count(), 0);

    source->removePort(name);
    manager->poll();
    QCOMPARE(closed.count(), 1);
    QCOMPARE(closed.at(0).at(0).toString(), name);
    QVERIFY(!port->isOpen());
    QCOMPARE(manager->getPort(name), port); // kept for its return
}

void TestSerialPort::swapWithinOnePoll()
{
    PtyPair first;
    PtyPair second;
    QVERIFY(first.isValid() && second.isValid());
    QTemporaryDir dir;
    const QString a = dir.filePath(QStringLiteral("ttyR58a"));
    const QString b = dir.filePath(QStringLiteral("ttyR58b"));
    QVERIFY(linkDevice(first.slavePath(), a));
    QVERIFY(linkDevice(second.slavePath(), b));

    auto source = QSharedPointer<ListSerialPortSource>::create();
    const auto manager = QSharedPointer<SerialPortManager>::create(source);
    manager->setPolling(false);
    QSignalSpy opened(manager.data(), &SerialPortManager::portOpened);
    QSignalSpy closed(manager.data(), &SerialPortManager::portClosed);

    source->setPorts({r58Port(a)});
    manager->poll();
    QCOMPARE(opened.count(), 1);

    // One device leaves and another arrives between two polls: the count is
    // the same, yet both changes are reported.
    source->setPorts({r58Port(b)});
    manager->poll();
    QCOMPARE(closed.count(), 1);
    QCOMPARE(closed.at(0).at(0).toString(), a);
    QCOMPARE(opened.count(), 2);
    QCOMPARE(opened.at(1).at(0).toString(), b);
    QVERIFY(!manager->getPort(a)->isOpen());
    QVERIFY(manager->getPort(b)->isOpen());
    QCOMPARE(manager->getKnownPorts(), QSet<QString> {b});
}

void TestSerialPort::failedOpenIsRetried()
{
    QTemporaryDir dir;
    const QString name = dir.filePath(QStringLiteral("ttyR58late"));
    auto source = QSharedPointer<ListSerialPortSource>::create();
    source->setPorts({r58Port(name)});
    const auto manager = QSharedPointer<SerialPortManager>::create(source);
    manager->setPolling(false);
    QSignalSpy opened(manager.data(), &SerialPortManager::portOpened);

    // Listed before its node can be opened (as while udev still sets it up).
    manager->poll();
    manager->poll();
    QCOMPARE(opened.count(), 0);
    const auto port = manager->getPort(name);
    QVERIFY(port);
    QVERIFY(!port->isOpen());

    PtyPair pty;
    QVERIFY(pty.isValid());
    QVERIFY(linkDevice(pty.slavePath(), name));
    manager->poll();
    QCOMPARE(opened.count(), 1);
    QCOMPARE(manager->getPort(name), port);
    QVERIFY(port->isOpen());
}

void TestSerialPort::lostDeviceReopensSameObject()
{
    PtyPair pty;
    QVERIFY(pty.isValid());
    QTemporaryDir dir;
    const QString name = dir.filePath(QStringLiteral("ttyR58sim0"));
    QVERIFY(linkDevice(pty.slavePath(), name));
    auto source = QSharedPointer<ListSerialPortSource>::create();
    source->setPorts({r58Port(name)});
    const auto manager = QSharedPointer<SerialPortManager>::create(source);
    manager->setPolling(false);
    QSignalSpy opened(manager.data(), &SerialPortManager::portOpened);
    QSignalSpy closed(manager.data(), &SerialPortManager::portClosed);

    manager->poll();
    const auto port = manager->getPort(name);
    QVERIFY(port && port->isOpen());

    // Still listed by the system, but reported lost: closed by the next poll,
    // reopened by the one after.
    manager->lostDevice(name);
    QVERIFY(!manager->getAvailablePorts().contains(name));
    manager->poll();
    QCOMPARE(closed.count(), 1);
    QVERIFY(!port->isOpen());
    manager->poll();
    QCOMPARE(opened.count(), 2);
    QCOMPARE(manager->getPort(name), port);
    QVERIFY(port->isOpen());
    QCOMPARE(manager->getPorts().size(), 1);
}

void TestSerialPort::returningDeviceAfterHangUp()
{
    auto pty = std::make_unique<PtyPair>();
    QVERIFY(pty->isValid());
    QTemporaryDir dir;
    const QString name = dir.filePath(QStringLiteral("ttyR58sim0"));
    QVERIFY(linkDevice(pty->slavePath(), name));
    auto source = QSharedPointer<ListSerialPortSource>::create();
    source->setPorts({r58Port(name)});
    const auto manager = QSharedPointer<SerialPortManager>::create(source);
    manager->setPolling(false);
    QSignalSpy opened(manager.data(), &SerialPortManager::portOpened);
    QSignalSpy closed(manager.data(), &SerialPortManager::portClosed);

    manager->poll();
    const auto port = manager->getPort(name);
    QVERIFY(port && port->isOpen());

    // The cable is pulled; the system still lists the port for a while.
    pty->closeMaster();
    QTRY_VERIFY_WITH_TIMEOUT(!port->isOpen(), Timeout);
    QVERIFY(!manager->getAvailablePorts().contains(name));
    manager->poll();
    QCOMPARE(closed.count(), 1);
    QCOMPARE(closed.at(0).at(0).toString(), name);

    // The device comes back under the same name.
    pty = std::make_unique<PtyPair>();
    QVERIFY(pty->isValid());
    QVERIFY(linkDevice(pty->slavePath(), name));
    manager->poll();
    QCOMPARE(opened.count(), 2);
    QCOMPARE(manager->getPort(name), port);
    QVERIFY(port->isOpen());

    QByteArray received;
    connect(port.data(), &SerialPort::dataReceived, this,
        [&received](const QByteArray& data) { received += data; });
    QVERIFY(pty->writeMaster("back"));
    QTRY_COMPARE_WITH_TIMEOUT(received, QByteArray("back"), Timeout);
}

void TestSerialPort::unknownNameGivesNullEntry()
{
    const auto manager
        = QSharedPointer<SerialPortManager>::create(QSharedPointer<ListSerialPortSource>::create());
    manager->setPolling(false);
    QVERIFY(!manager->portsAvailable());
    QVERIFY(manager->getPort(QStringLiteral("ttyACM9")).isNull());
    QCOMPARE(manager->getPorts().size(), 1);
    QVERIFY(manager->getPorts().first().isNull());
    QVERIFY(manager->portsAvailable());
}

void TestSerialPort::timerPolls()
{
    PtyPair pty;
    QVERIFY(pty.isValid());
    QTemporaryDir dir;
    const QString name = dir.filePath(QStringLiteral("ttyR58sim0"));
    QVERIFY(linkDevice(pty.slavePath(), name));
    auto source = QSharedPointer<ListSerialPortSource>::create();
    const auto manager = QSharedPointer<SerialPortManager>::create(source);
    QSignalSpy opened(manager.data(), &SerialPortManager::portOpened);
    QSignalSpy closed(manager.data(), &SerialPortManager::portClosed);

    source->addPort(r58Port(name));
    QVERIFY(opened.wait(Timeout));
    source->removePort(name);
    QVERIFY(closed.wait(Timeout));
}

QTEST_GUILESS_MAIN(TestSerialPort)
#include "tst_serialport.moc"
