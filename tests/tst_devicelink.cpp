// One device's whole link stack against the simulated device over a real pseudo-terminal: the
// tool's own port manager, serial port, terminal service, value registry and model database,
// built by the application object.
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

#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <memory>

using Application::R58::ListSerialPortSource;
using Application::R58::SerialPortManager;
using Component::Interfaces::TaloLinkCommandID;
using Component::Interfaces::TaloLinkPacket;
using Model::Interfaces::ModelValueID;
using Service::R58::TaloLinkTerminalService;
using Simulator::SimulatedDevice;
using App = Application::R58::Application;

namespace {

constexpr int Wait = 10000; // milliseconds; generous for sanitizer builds

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
    // The last answer to the start requests has reached the screen; the model holds each
    // answer at once, but queued signals of earlier frames may still be on their way.
    bool startAnswered() const
    {
        return QTest::qWaitFor(
            [this] {
                return std::any_of(lines.begin(), lines.end(),
                    [](const QByteArray& line) { return line.startsWith("ID: ProductionYear"); });
            },
            Wait);
    }
    QList<QByteArray> lines;
    QList<int> currentPhases;
    int nominalCurrentReports = 0;
    int tripClassReports = 0;
};

struct Bench
{
    Bench() { manager->setPolling(false); }

    // A device that is not listed has no USB identity: only a watched name finds it.
    SimulatedDevice* addDevice(bool listed = true)
    {
        devices.push_back(std::make_unique<SimulatedDevice>(
            dir.path(), listed ? source : QSharedPointer<ListSerialPortSource>()));
        devices.back()->setMeasurementInterval(20);
        devices.back()->plugIn();
        manager->poll();
        return devices.back().get();
    }
    std::unique_ptr<App> connect(const QString& portName)
    {
        auto app = std::make_unique<App>(account, config, manager, portName);
        screens.push_back(std::make_unique<Screen>(app->getTerminalService().data()));
        return app;
    }
    Screen& screen() { return *screens.back(); }

    QTemporaryDir dir;
    QSharedPointer<ListSerialPortSource> source = QSharedPointer<ListSerialPortSource>::create();
    QSharedPointer<SerialPortManager> manager = QSharedPointer<SerialPortManager>::create(source);
    QSharedPointer<Application::R58::UserAccount> account
        = QSharedPointer<Application::R58::UserAccount>::create();
    QSharedPointer<Application::R58::Config> config
        = QSharedPointer<Application::R58::Config>::create();
    std::vector<std::unique_ptr<SimulatedDevice>> devices;
    std::vector<std::unique_ptr<Screen>> screens;
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

QString text(App& app, ModelValueID id)
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
    void unplugAndReplug_data();
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
    QVERIFY(bench.manager->getPort(device->portName())->isOpen());
    auto app = bench.connect(device->portName());
    QCOMPARE(app->initialize(), 0);
    // Before any answer the model holds the program's own version.
    auto& version = app->getModelDatabase()->getInformation().getPlatformVersionValue();
    QCOMPARE(version.getValue(), 0x00040304u);

    // Both names first, then the 47 value requests.
    QTRY_COMPARE_WITH_TIMEOUT(requestedValues(*device).size(), 47, Wait);
    const TaloLinkPacket first = TaloLinkPacket::decode(device->receivedFrames().value(0));
    const TaloLinkPacket second = TaloLinkPacket::decode(device->receivedFrames().value(1));
    QCOMPARE(first.command, TaloLinkCommandID::GetName);
    QCOMPARE(first.destination, TaloLinkPacket::Terminal::Platform);
    QCOMPARE(second.destination, TaloLinkPacket::Terminal::Display);

    QTRY_COMPARE_WITH_TIMEOUT(
        text(*app, ModelValueID::ProductionYear), QStringLiteral("2026"), Wait);
    QCOMPARE(version.getValue(), 0x04030200u);
    QCOMPARE(text(*app, ModelValueID::TripClass), QStringLiteral("10A"));
    QCOMPARE(text(*app, ModelValueID::NominalCurrent), QStringLiteral("2.0"));
    QCOMPARE(text(*app, ModelValueID::SerialNumber), QStringLiteral("21504711"));
    QCOMPARE(text(*app, ModelValueID::PlatformState), QStringLiteral("Run"));
    QCOMPARE(app->getTerminalService()->getPlatformName(), QByteArray("Application"));
}

void TestDeviceLink::measurementStreamsAndStops()
{
    Bench bench;
    SimulatedDevice* device = bench.addDevice();
    auto app = bench.connect(device->portName());
    app->initialize();
    // The start requests the measured current once; the stream comes after.
    QVERIFY(bench.screen().startAnswered());
    bench.screen().currentPhases.clear();

    auto& actions = app->getModelDatabase()->getActions();
    actions.getMotorRightOnAction().fire();
    actions.getStartCurrentMeasurementAction().fire();
    QTRY_VERIFY_WITH_TIMEOUT(bench.screen().currentPhases.size() >= 6, Wait);
    QCOMPARE(bench.screen().currentPhases.mid(0, 6), (QList<int> {0, 1, 2, 0, 1, 2}));
    const float current = app->getModelDatabase()->getMeasurement().getCurrentValue().getValue();
    QVERIFY2(current > 1.5f && current < 2.5f, qPrintable(QString::number(current)));

    actions.getStopMeasurementAction().fire();
    QTRY_VERIFY_WITH_TIMEOUT(!device->isMeasuring(), Wait);
}

void TestDeviceLink::settingRoundTrip()
{
    Bench bench;
    SimulatedDevice* device = bench.addDevice();
    auto app = bench.connect(device->portName());
    app->initialize();
    QTRY_COMPARE_WITH_TIMEOUT(bench.screen().nominalCurrentReports, 1, Wait);

    auto& nominal = app->getModelDatabase()->getSettings().getNominalCurrentValue();
    nominal.setValue(2.4f);
    nominal.transmit();
    QTRY_COMPARE_WITH_TIMEOUT(device->floatValue(2), 2.4f, Wait);
    QTRY_COMPARE_WITH_TIMEOUT(bench.screen().nominalCurrentReports, 2, Wait);
    QCOMPARE(nominal.getValue(), 2.4f);
}

void TestDeviceLink::unplugAndReplug_data()
{
    QTest::addColumn<bool>("listed");
    QTest::newRow("recognised by its USB identity") << true;
    QTest::newRow("watched by name, no USB identity") << false;
}

void TestDeviceLink::unplugAndReplug()
{
    QFETCH(bool, listed);
    Bench bench;
    SimulatedDevice* device = bench.addDevice(listed);
    const QString name = device->portName();
    QVERIFY(bench.manager->getAvailablePorts().isEmpty() != listed);
    if (!listed) {
        bench.manager->watchPort(name);
        bench.manager->poll();
    }
    const auto port = bench.manager->getPort(name);
    QVERIFY(port && port->isOpen());
    auto app = bench.connect(name);
    app->initialize();
    QTRY_COMPARE_WITH_TIMEOUT(bench.screen().tripClassReports, 1, Wait);

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
    app->getUSBComponent()->getModelValue(ModelValueID::TripClass);
    QTRY_COMPARE_WITH_TIMEOUT(bench.screen().tripClassReports, 2, Wait);
}

void TestDeviceLink::corruptedStreamDeliversIntactFramesOnly()
{
    Bench bench;
    SimulatedDevice* device = bench.addDevice();
    auto app = bench.connect(device->portName());
    app->initialize();
    QVERIFY(bench.screen().startAnswered());

    SimulatedDevice::Faults faults;
    faults.corruptRate = 0.05;
    faults.garbageRate = 0.05;
    device->setRandomStart(58);
    device->setFaults(faults);
    device->clearSentFrames();
    bench.screen().lines.clear();
    auto& actions = app->getModelDatabase()->getActions();
    actions.getStartVoltageMeasurementAction().fire();
    QTRY_VERIFY_WITH_TIMEOUT(device->sentFrames().size() >= 300, Wait);
    actions.getStopMeasurementAction().fire();
    QTRY_VERIFY_WITH_TIMEOUT(!device->isMeasuring(), Wait);

    QList<QByteArray> expected;
    for (const auto& sent : device->sentFrames())
        if (sent.intact)
            expected << TaloLinkPacket::decode(sent.bytes).toString().toUtf8();
    QVERIFY(expected.size() < device->sentFrames().size());
    QList<QByteArray> received;
    (void)QTest::qWaitFor(
        [&] {
            received.clear();
            for (const QByteArray& line : bench.screen().lines)
                if (line.startsWith("SetModelValue: "))
                    received << line;
            return received.size() >= expected.size();
        },
        Wait);
    QCOMPARE(received, expected);
}

void TestDeviceLink::twoDevicesSideBySide()
{
    Bench bench;
    SimulatedDevice* first = bench.addDevice();
    SimulatedDevice* second = bench.addDevice();
    second->setUIntValue(45, 99887766u);
    auto a = bench.connect(first->portName());
    auto b = bench.connect(second->portName());
    a->initialize();
    b->initialize();
    QTRY_COMPARE_WITH_TIMEOUT(
        text(*a, ModelValueID::SerialNumber), QStringLiteral("21504711"), Wait);
    QTRY_COMPARE_WITH_TIMEOUT(
        text(*b, ModelValueID::SerialNumber), QStringLiteral("99887766"), Wait);
    QCOMPARE(requestedValues(*first).size(), 47);
    QCOMPARE(requestedValues(*second), requestedValues(*first));
}

void TestDeviceLink::offlineStackSendsNothing()
{
    Bench bench;
    SimulatedDevice* device = bench.addDevice();
    {
        auto offline = bench.connect(QStringLiteral("Offline"));
        QVERIFY(!offline->getSerialPort());
        QCOMPARE(offline->initialize(), 0);
        offline->getModelDatabase()->getActions().getMotorRightOnAction().fire();
        QTest::qWait(100);
    }
    QVERIFY(device->receivedFrames().isEmpty());
}

void TestDeviceLink::destroyWhileFramesArrive()
{
    Bench bench;
    SimulatedDevice* device = bench.addDevice();
    device->setMeasurementInterval(1);
    for (int round = 0; round < 5; ++round) {
        auto app = bench.connect(device->portName());
        app->initialize();
        app->getModelDatabase()->getActions().getStartVoltageMeasurementAction().fire();
        QTest::qWait(30);
    }
    // Each stack went while its device kept streaming; the port still works.
    QVERIFY(bench.manager->getPort(device->portName())->isOpen());
}

QTEST_MAIN(TestDeviceLink)
#include "tst_devicelink.moc"
