#include "link/talolinkterminalservice.h"
#include "link/terminalcommanditem.h"
#include "model/modelactionobserver.h"
#include "model/modeldatabase.h"
#include "model/modelvalueobserver.h"
#include "modeltestsupport.h"

#include <QMetaMethod>
#include <QRandomGenerator>
#include <QtTest>

#include <memory>

using Component::Interfaces::ComponentID;
using Component::Interfaces::TaloLinkCommandID;
using Component::Interfaces::TaloLinkPacket;
using Service::R58::TaloLinkTerminalService;
using Terminal = TaloLinkPacket::Terminal;

namespace {

QByteArray frame(TaloLinkCommandID command, Terminal source, const QList<QByteArray>& args = {})
{
    TaloLinkPacket::ArgList list;
    for (const QByteArray& a : args)
        list.append(
            {reinterpret_cast<const std::uint8_t*>(a.constData()), std::uint16_t(a.size())});
    return TaloLinkPacket::build(command, source, Terminal::Host, list);
}

QByteArray u16(quint16 v)
{
    return QByteArray(reinterpret_cast<const char*>(&v), 2);
}

QByteArray f32(float v)
{
    return QByteArray(reinterpret_cast<const char*>(&v), 4);
}

QByteArray valueFrame(quint16 id, const QByteArray& bytes)
{
    return frame(TaloLinkCommandID::SetModelValue, Terminal::Platform, {u16(id), bytes});
}

// Records, on the GUI thread, every signal of the service in arrival order, as a device
// screen sees them.
class Recorder : public QObject
{
    Q_OBJECT

public:
    explicit Recorder(TaloLinkTerminalService* service)
    {
        const QMetaObject* meta = service->metaObject();
        const QMetaMethod record = metaObject()->method(metaObject()->indexOfSlot("record()"));
        for (int i = meta->methodOffset(); i < meta->methodCount(); ++i) {
            const QMetaMethod signal = meta->method(i);
            if (signal.methodType() == QMetaMethod::Signal)
                connect(service, signal, this, record);
        }
        connect(service, &TaloLinkTerminalService::commandReceived, this,
            [this](const QByteArray& line) { lines << line; });
    }

    QStringList signalNames;
    QList<QByteArray> lines;
    bool allOnGuiThread = true;

public slots:
    void record()
    {
        allOnGuiThread = allOnGuiThread && QThread::currentThread() == qApp->thread();
        signalNames << QString::fromLatin1(
            sender()->metaObject()->method(senderSignalIndex()).name());
    }
};

// One device link as the application wires it, without a serial port: bytes are handed to
// the service directly and written frames are captured.
struct Link
{
    explicit Link(bool start = true)
        : values(QSharedPointer<Model::Observer::ModelValueObserver>::create()),
          service(std::make_unique<TaloLinkTerminalService>(
              QSharedPointer<Application::R58::SerialPort>(), values)),
          capture(ComponentID::TaloLinkUSB, written)
    {
        service->addComponent(capture);
        app.addService(*service);
        app.addComponent(capture);
        service->registerObserver(*values);
        values->registerObserver(*service);
        database = std::make_unique<Model::Database::ModelDatabase>(app, *values, actions);
        recorder = std::make_unique<Recorder>(service.get());
        if (start)
            app.startup();
    }
    ~Link()
    {
        service.reset(); // joins the receive thread before the model goes
    }

    std::vector<ModelTest::WrittenFrame> written;
    ModelTest::TestApplication app;
    QSharedPointer<Model::Observer::ModelValueObserver> values;
    Model::Observer::ModelActionObserver actions;
    std::unique_ptr<TaloLinkTerminalService> service;
    ModelTest::CaptureLink capture;
    std::unique_ptr<Model::Database::ModelDatabase> database;
    std::unique_ptr<Recorder> recorder;
};

} // namespace

class TestTerminalService : public QObject
{
    Q_OBJECT

private slots:
    void startupAsksForBothNames();
    void dispatchInChunks_data();
    void dispatchInChunks();
    void catalogueFollowsReportedStates();
    void namesReadWhileAnswersArrive();
    void destroyWhileBusy_data();
    void destroyWhileBusy();
};

void TestTerminalService::startupAsksForBothNames()
{
    Link link;
    QVERIFY(link.service->QThread::isRunning());
    QCOMPARE(int(link.written.size()), 2);
    QCOMPARE(link.written[0].bytes, QByteArray::fromHex("373032230f0005000200005dcb3748"));
    QCOMPARE(link.written[1].bytes, QByteArray::fromHex("373032230f0005000201001cfa2c51"));

    link.service->handleDataReceived(
        frame(TaloLinkCommandID::GetName, Terminal::Platform, {"Application"})
        + frame(TaloLinkCommandID::GetName, Terminal::Display, {"Bootloader"}));
    QTRY_COMPARE(link.recorder->signalNames.count(QStringLiteral("terminalDisplayReady")), 1);
    QCOMPARE(link.recorder->signalNames.count(QStringLiteral("terminalPlatformReady")), 1);
    QCOMPARE(link.service->getPlatformName(), QByteArray("Application"));
    QCOMPARE(link.service->getDisplayName(), QByteArray("Bootloader"));
    QVERIFY(link.recorder->allOnGuiThread);
}

void TestTerminalService::dispatchInChunks_data()
{
    QTest::addColumn<int>("chunk");
    QTest::newRow("byte by byte") << 1;
    QTest::newRow("17 bytes") << 17;
    QTest::newRow("one read, four times the ring") << 100000;
}

void TestTerminalService::dispatchInChunks()
{
    QFETCH(int, chunk);
    Link link;
    link.written.clear();

    QList<QByteArray> frames;
    QByteArray stream("\x01\x02garbage 702");
    constexpr int Rounds = 110;
    for (int i = 0; i < Rounds; ++i) {
        frames << valueFrame(2, f32(0.5f + i));
        frames << frame(
            TaloLinkCommandID::GetSupplyState, Terminal::Platform, {QByteArray(1, char(i))});
        frames << frame(TaloLinkCommandID::GetThermalCapacity, Terminal::Platform);
    }
    for (int i = 0; i < frames.size(); ++i)
        stream += frames[i] + QByteArray(i % 3 == 0 ? "zz" : "");
    QVERIFY(stream.size() > 4 * TaloLinkPacket::MaximumSize);
    for (int at = 0; at < stream.size(); at += chunk)
        link.service->handleDataReceived(stream.mid(at, chunk));

    // Each frame gives its text form, then the handler's own line, if any.
    QList<QByteArray> expected;
    for (int i = 0; i < Rounds; ++i) {
        expected << TaloLinkPacket::decode(frames[3 * i]).toString().toUtf8();
        expected << QStringLiteral("ID: NominalCurrent (2), Value: %1")
                        .arg(QString::number(0.5 + i, 'f', 1))
                        .toUtf8();
        expected << TaloLinkPacket::decode(frames[3 * i + 1]).toString().toUtf8();
        expected << QByteArray("Supply state: ") + QByteArray::number(i);
        expected << TaloLinkPacket::decode(frames[3 * i + 2]).toString().toUtf8();
    }
    QTRY_COMPARE(link.recorder->lines.size(), expected.size());
    QCOMPARE(link.recorder->lines, expected);
    QCOMPARE(link.recorder->signalNames.count(QStringLiteral("nominalCurrentModelValue")), Rounds);
    QVERIFY(link.recorder->allOnGuiThread);
}

void TestTerminalService::catalogueFollowsReportedStates()
{
    Link link;
    auto count = [&link] {
        const auto items = link.service->getCommandItemList();
        const int n = items.size();
        qDeleteAll(items);
        return n;
    };
    QCOMPARE(count(), 0);
    link.service->handleDataReceived(
        frame(TaloLinkCommandID::GetName, Terminal::Platform, {"Bootloader"}));
    QTRY_COMPARE(count(), 9);
    link.service->handleDataReceived(
        frame(TaloLinkCommandID::GetName, Terminal::Platform, {"Application"})
        + frame(TaloLinkCommandID::GetName, Terminal::Display, {"Application"}));
    QTRY_COMPARE(count(), 43);
}

// The names are written on the receive thread and read here, both under the service's
// mutex; the sanitizer run of this test watches for races.
void TestTerminalService::namesReadWhileAnswersArrive()
{
    Link link;
    const QByteArray app = frame(TaloLinkCommandID::GetName, Terminal::Platform, {"Application"});
    const QByteArray boot = frame(TaloLinkCommandID::GetName, Terminal::Platform, {"Bootloader"});
    for (int i = 0; i < 200; ++i) {
        link.service->handleDataReceived(i % 2 ? app : boot);
        const QByteArray name = link.service->getPlatformName();
        QVERIFY(name.isEmpty() || name == "Application" || name == "Bootloader");
        qDeleteAll(link.service->getCommandItemList());
    }
    QTRY_COMPARE(link.recorder->signalNames.count(QStringLiteral("terminalPlatformReady")), 200);
    QCOMPARE(link.service->getPlatformName(), QByteArray("Application"));
}

void TestTerminalService::destroyWhileBusy_data()
{
    QTest::addColumn<bool>("partial");
    // A partial frame leaves the thread waiting for more bytes.
    QTest::newRow("sleeping on a partial frame") << true;
    QTest::newRow("working through a burst") << false;
}

void TestTerminalService::destroyWhileBusy()
{
    QFETCH(bool, partial);
    QRandomGenerator random(7);
    for (int round = 0; round < 10; ++round) {
        Link link;
        QByteArray bytes;
        for (int i = 0; i < 100; ++i)
            bytes += valueFrame(quint16(random.bounded(55)), f32(1.5f));
        link.service->handleDataReceived(partial ? bytes.left(10) : bytes);
    }
}

QTEST_MAIN(TestTerminalService)
#include "tst_terminalservice.moc"
