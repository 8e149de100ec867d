// Serial ports over pseudo-terminals: flow-control bytes pass both ways, a closed or hung-up port
// writes nothing, and the port manager reports ports that swap or open late.
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

#include <memory>

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
    Bench() { manager->setPolling(false); }
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
    void frameWithFlowControlBytesArrivesIntact();
    void writeOnClosedPort();
    void hangUpClosesAtOnce();

    void swapWithinOnePoll();
    void failedOpenIsRetried();
    void watchedPortWithoutUsbIdentity();
};

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

// A port named by the user (--port, "Other port…") is watched whatever the system lists: opened
// when it appears, closed when it goes, the same object opened again when it is back.
void TestSerialPort::watchedPortWithoutUsbIdentity()
{
    Bench bench;
    const QString name = bench.dir.filePath(QStringLiteral("r58remote"));
    bench.manager->watchPort(name);
    bench.manager->poll();
    QCOMPARE(bench.opened.count(), 0);

    auto pty = std::make_unique<PtyPair>();
    QCOMPARE(bench.link(*pty, QStringLiteral("r58remote")), name);
    bench.manager->poll();
    QCOMPARE(bench.opened.count(), 1);
    const auto port = bench.manager->getPort(name);
    QVERIFY(port && port->isOpen());

    QFile::remove(name);
    pty.reset();
    bench.manager->poll();
    QCOMPARE(bench.closed.count(), 1);
    QVERIFY(!port->isOpen());

    pty = std::make_unique<PtyPair>();
    QCOMPARE(bench.link(*pty, QStringLiteral("r58remote")), name);
    bench.manager->poll();
    QCOMPARE(bench.opened.count(), 2);
    QCOMPARE(bench.manager->getPort(name), port);
    QVERIFY(port->isOpen());
}

QTEST_GUILESS_MAIN(TestSerialPort)
#include "tst_serialport.moc"
