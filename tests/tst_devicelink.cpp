// One device's whole link stack against the simulated device over a real
// pseudo-terminal: the tool's own port manager, serial port, terminal service,
// value registry and model database, built by the application object.
#include "app/application.h"
#include "config/config.h"
#include "config/useraccount.h"
#include "link/listserialportsource.h"
#include "link/serialport.h"
#include "link/serialportmanager.h"
#include "link/talolinkterminalservice.h"
#include "link/talolinkusbcomponent.h"
#include "model/modelactions.h"
#include "model/modeldatabase.h"
#include "model/modelinformation.h"
#include "model/modelmeasurement.h"
#include "model/modelsettings.h"
#include "model/modelvalueobserver.h"
#include "sim/simulateddevice.h"

#include <QElapsedTimer>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using Application::R58::ListSerialPortSource;
using Application::R58::SerialPortManager;
using Component::Interfaces::TaloLinkCommandID;
using Component::Interfaces::TaloLinkPacket;
using Model::Interfaces::ModelValueID;
using Service::R58::TaloLinkTerminalService;
using Simulator::SimulatedDevice;

namespace {

constexpr int Wait = 10000; // milliseconds; generous for sanitizer builds

// The requests the model sends at start, in order.
const QList<int> InitOrder {11, 1, 0, 3, 2, 4, 5, 6, 7, 12, 25, 26, 27, 16, 28, 29, 30, 43, 31, 32,
    33, 52, 53, 54, 10, 9, 17, 19, 18, 21, 22, 23, 24, 35, 34, 20, 39, 40, 41, 42, 15, 45, 46, 47,
    50, 48, 49};

// Collects, on the GUI thread, what a device screen would receive.
class Screen : public QObject
{
public:
    explicit Screen(TaloLinkTerminalService* service)
    {
        connect(service, &TaloLinkTerminalService::commandReceived, this,
            [this](const QByteArray& line) { lines << line; });
        connect(service, &TaloLinkTerminalService::measurementCurrentModelValue, this,
            [this](unsigned char phase) { currentPhases << phase; });
        connect(service, &TaloLinkTerminalService::nominalCurrentModelValue, this,
            [this] { ++nominalCurrentReports; });
        connect(service, &TaloLinkTerminalService::tripClassModelValue, this,
            [this] { ++tripClassReports; });
    }
    QList<QByteArray> lines;
    QList<int> currentPhases;
    int nominalCurrentReports = 0;
    int tripClassReports = 0;
};

struct Bench
{
    Bench()
        : source(QSharedPointer<ListSerialPortSource>::create()),
          manager(QSharedPointer<SerialPortManager>::create(source)),
          account(QSharedPointer<Application::R58::UserAccount>::create()),
          config(QSharedPointer<Application::R58::Config>::create())
    {
        manager->setPolling(false);
    }

    SimulatedDevice* addDevice()
    {
        devices.push_back(std::make_unique<SimulatedDevice>(dir.path(), source));
        devices.back()->setMeasurementInterval(20);
        devices.back()->plugIn();
        return devices.back().get();
    }

    QTemporaryDir dir;
    QSharedPointer<ListSerialPortSource> source;
    QSharedPointer<SerialPortManager> manager;
    QSharedPointer<Application::R58::UserAccount> account;
    QSharedPointer<Application::R58::Config> config;
    std::vector<std::unique_ptr<SimulatedDevice>> devices;
};

QList<int> requestedValues(const SimulatedDevice& device)
{
    QList<int> ids;
    for (const QByteArray& raw : device.receivedFrames()) {
        const TaloLinkPacket packet = TaloLinkPacket::decode(raw);
        if (packet.command == TaloLinkCommandID::GetModelValue && !packet.args.empty())
            ids << (packet.args[0].data[0] | packet.args[0].data[1] << 8);
    }
    return ids;
}

// Waits until the last answer to the start requests has reached the screen.
// The model holds it as soon as the receive thread wrote it; the queued
// signals of earlier frames may still be on their way until this line arrives.
bool waitForStartAnswers(const QList<QByteArray>& lines)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < Wait) {
        for (const QByteArray& line : lines)
            if (line.startsWith("ID: ProductionYear"))
                return true;
        QTest::qWait(10);
    }
    return false;
}

QString text(Application::R58::Application& app, ModelValueID id)
{
    auto* value = app.getValueObserver()->getValue(id);
    return value ? value->toString() : QStringLiteral("<none>");
}

} // namespace

class TestDeviceLink : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void startupMirrorsTheDevice();
    void measurementStreamsAndStops();
    void settingRoundTrip();
    void unplugAndReplug();
    void corruptedStreamDeliversIntactFramesOnly();
    void twoDevicesSideBySide();
    void offlineStackSendsNothing();
    void destroyWhileFramesArrive();
};

void TestDeviceLink::startupMirrorsTheDevice()
{
    Bench bench;
    SimulatedDevice* device = bench.addDevice();
    QSignalSpy opened(bench.manager.data(), &SerialPortManager::portOpened);
    bench.manager->poll();
    QCOMPARE(opened.count(), 1);
    QCOMPARE(opened.first().first().toString(), device->portName());

    Application::R58::Application app(
        bench.account, bench.config, bench.manager, device->portName());
    QCOMPARE(app.initialize(), 0);
    // Before any answer the model holds the program's own version.
    QCOMPARE(
        app.getModelDatabase()->getInformation().getPlatformVersionValue().getValue(), 0x00040304u);

    QTRY_COMPARE_WITH_TIMEOUT(requestedValues(*device).size(), InitOrder.size(), Wait);
    const TaloLinkPacket first = TaloLinkPacket::decode(device->receivedFrames().value(0));
    const TaloLinkPacket second = TaloLinkPacket::decode(device->receivedFrames().value(1));
    QCOMPARE(first.command, TaloLinkCommandID::GetName);
    QCOMPARE(first.destination, TaloLinkPacket::Terminal::Platform);
    QCOMPARE(second.destination, TaloLinkPacket::Terminal::Display);
    QCOMPARE(requestedValues(*device), InitOrder);

    QTRY_COMPARE_WITH_TIMEOUT(
        text(app, ModelValueID::ProductionYear), QStringLiteral("2026"), Wait);
    QCOMPARE(
        app.getModelDatabase()->getInformation().getPlatformVersionValue().getValue(), 0x04030200u);
    QCOMPARE(text(app, ModelValueID::PlatformVersion), QStringLiteral("V4.3.2.0"));
    QCOMPARE(text(app, ModelValueID::TripClass), QStringLiteral("10A"));
    QCOMPARE(text(app, ModelValueID::TripClassMax), QStringLiteral("40E"));
    QCOMPARE(text(app, ModelValueID::NominalCurrent), QStringLiteral("2.0"));
    QCOMPARE(text(app, ModelValueID::NominalCurrentMax), QStringLiteral("2.6"));
    QCOMPARE(text(app, ModelValueID::SerialNumber), QStringLiteral("21504711"));
    QCOMPARE(text(app, ModelValueID::ArticleNumber), QStringLiteral("51322"));
    QCOMPARE(text(app, ModelValueID::ArticleIndex), QStringLiteral("A"));
    QCOMPARE(text(app, ModelValueID::HardwareIDPowerBoard), QStringLiteral("10"));
    QCOMPARE(text(app, ModelValueID::UndervoltageThreshold), QStringLiteral("207"));
    QCOMPARE(text(app, ModelValueID::PlatformState), QStringLiteral("Run"));
    QCOMPARE(app.getTerminalService()->getPlatformName(), QByteArray("Application"));
}

void TestDeviceLink::measurementStreamsAndStops()
{
    Bench bench;
    SimulatedDevice* device = bench.addDevice();
    bench.manager->poll();
    Application::R58::Application app(
        bench.account, bench.config, bench.manager, device->portName());
    Screen screen(app.getTerminalService().data());
    app.initialize();
    // The start requests the measured current once; the stream comes after.
    QVERIFY(waitForStartAnswers(screen.lines));
    screen.currentPhases.clear();

    auto& actions = app.getModelDatabase()->getActions();
    actions.getMotorRightOnAction().fire();
    actions.getStartCurrentMeasurementAction().fire();
    QTRY_VERIFY_WITH_TIMEOUT(screen.currentPhases.size() >= 6, Wait);
    QCOMPARE(screen.currentPhases.mid(0, 6), (QList<int> {0, 1, 2, 0, 1, 2}));
    const float current = app.getModelDatabase()->getMeasurement().getCurrentValue().getValue();
    QVERIFY2(current > 1.5f && current < 2.5f, qPrintable(QString::number(current)));

    actions.getStopMeasurementAction().fire();
    QTRY_VERIFY_WITH_TIMEOUT(!device->isMeasuring(), Wait);
}

void TestDeviceLink::settingRoundTrip()
{
    Bench bench;
    SimulatedDevice* device = bench.addDevice();
    bench.manager->poll();
    Application::R58::Application app(
        bench.account, bench.config, bench.manager, device->portName());
    Screen screen(app.getTerminalService().data());
    app.initialize();
    QTRY_COMPARE_WITH_TIMEOUT(screen.nominalCurrentReports, 1, Wait);

    auto& nominal = app.getModelDatabase()->getSettings().getNominalCurrentValue();
    nominal.setValue(2.4f);
    nominal.transmit();
    QTRY_COMPARE_WITH_TIMEOUT(device->floatValue(2), 2.4f, Wait);
    QTRY_COMPARE_WITH_TIMEOUT(screen.nominalCurrentReports, 2, Wait);
    QCOMPARE(nominal.getValue(), 2.4f);
}

void TestDeviceLink::unplugAndReplug()
{
    Bench bench;
    SimulatedDevice* device = bench.addDevice();
    bench.manager->poll();
    const QString name = device->portName();
    const auto port = bench.manager->getPort(name);
    QVERIFY(port && port->isOpen());
    Application::R58::Application app(bench.account, bench.config, bench.manager, name);
    Screen screen(app.getTerminalService().data());
    app.initialize();
    QTRY_COMPARE_WITH_TIMEOUT(screen.tripClassReports, 1, Wait);

    QSignalSpy closed(bench.manager.data(), &SerialPortManager::portClosed);
    QSignalSpy opened(bench.manager.data(), &SerialPortManager::portOpened);
    device->unplug();
    QTRY_VERIFY_WITH_TIMEOUT(!port->isOpen(), Wait); // the hang-up closes it at once
    bench.manager->poll();
    QCOMPARE(closed.count(), 1);

    QVERIFY(device->plugIn());
    bench.manager->poll();
    QCOMPARE(opened.count(), 1);
    QCOMPARE(bench.manager->getPort(name), port);
    QVERIFY(port->isOpen());

    app.getUSBComponent()->getModelValue(ModelValueID::TripClass);
    QTRY_COMPARE_WITH_TIMEOUT(screen.tripClassReports, 2, Wait);
}

void TestDeviceLink::corruptedStreamDeliversIntactFramesOnly()
{
    Bench bench;
    SimulatedDevice* device = bench.addDevice();
    bench.manager->poll();
    Application::R58::Application app(
        bench.account, bench.config, bench.manager, device->portName());
    Screen screen(app.getTerminalService().data());
    app.initialize();
    QVERIFY(waitForStartAnswers(screen.lines));

    SimulatedDevice::Faults faults;
    faults.corruptRate = 0.05;
    faults.garbageRate = 0.05;
    device->setRandomStart(58);
    device->setFaults(faults);
    device->clearSentFrames();
    screen.lines.clear();

    app.getModelDatabase()->getActions().getStartVoltageMeasurementAction().fire();
    QTRY_VERIFY_WITH_TIMEOUT(device->sentFrames().size() >= 300, Wait);
    app.getModelDatabase()->getActions().getStopMeasurementAction().fire();
    QTRY_VERIFY_WITH_TIMEOUT(!device->isMeasuring(), Wait);

    QList<QByteArray> expected;
    int damaged = 0;
    for (const auto& sent : device->sentFrames()) {
        if (sent.intact)
            expected << TaloLinkPacket::decode(sent.bytes).toString().toUtf8();
        else
            ++damaged;
    }
    QVERIFY(damaged > 0);
    QList<QByteArray> received;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < Wait) {
        received.clear();
        for (const QByteArray& line : screen.lines)
            if (line.startsWith("SetModelValue: "))
                received << line;
        if (received.size() >= expected.size())
            break;
        QTest::qWait(20);
    }
    QCOMPARE(received, expected);
}

void TestDeviceLink::twoDevicesSideBySide()
{
    Bench bench;
    SimulatedDevice* first = bench.addDevice();
    SimulatedDevice* second = bench.addDevice();
    second->setUIntValue(45, 99887766u);
    bench.manager->poll();
    Application::R58::Application a(bench.account, bench.config, bench.manager, first->portName());
    Application::R58::Application b(bench.account, bench.config, bench.manager, second->portName());
    a.initialize();
    b.initialize();
    QTRY_COMPARE_WITH_TIMEOUT(
        text(a, ModelValueID::SerialNumber), QStringLiteral("21504711"), Wait);
    QTRY_COMPARE_WITH_TIMEOUT(
        text(b, ModelValueID::SerialNumber), QStringLiteral("99887766"), Wait);
    QVERIFY(a.getTerminalService() != b.getTerminalService());
    QCOMPARE(requestedValues(*first), InitOrder);
    QCOMPARE(requestedValues(*second), InitOrder);
}

void TestDeviceLink::offlineStackSendsNothing()
{
    Bench bench;
    SimulatedDevice* device = bench.addDevice();
    bench.manager->poll();
    {
        Application::R58::Application offline(
            bench.account, bench.config, bench.manager, QStringLiteral("Offline"));
        QVERIFY(!offline.getSerialPort());
        QCOMPARE(offline.initialize(), 0);
        offline.getModelDatabase()->getActions().getMotorRightOnAction().fire();
        QTest::qWait(100);
    }
    QVERIFY(device->receivedFrames().isEmpty());
}

void TestDeviceLink::destroyWhileFramesArrive()
{
    Bench bench;
    SimulatedDevice* device = bench.addDevice();
    device->setMeasurementInterval(1);
    bench.manager->poll();
    for (int round = 0; round < 5; ++round) {
        Application::R58::Application app(
            bench.account, bench.config, bench.manager, device->portName());
        app.initialize();
        app.getModelDatabase()->getActions().getStartVoltageMeasurementAction().fire();
        QTest::qWait(30);
    }
    // Each stack went while its device kept streaming; the port still works.
    QVERIFY(bench.manager->getPort(device->portName())->isOpen());
}

QTEST_MAIN(TestDeviceLink)
#include "tst_devicelink.moc"
