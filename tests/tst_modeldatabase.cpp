// The device model: each action sends its own identifier; after the device has reported every
// value, a group's reset() brings exactly its own values back to what a new model holds, and
// sends nothing.

#include "framework/abstractservice.h"
#include "model/modelactionobserver.h"
#include "model/modeldatabase.h"
#include "model/modelvalueevent.h"
#include "model/modelvalueobserver.h"
#include "modeltestsupport.h"

#include <QtTest>

#include <functional>
#include <memory>
#include <set>
#include <vector>

using Component::Interfaces::ComponentID;
using Model::Database::ModelDatabase;
using Model::Interfaces::ModelValueEvent;
using Model::Interfaces::ModelValueID;
using Reset = std::function<void(ModelDatabase&)>;

Q_DECLARE_METATYPE(Reset)
Q_DECLARE_METATYPE(std::set<int>)

namespace {

struct Mirror
{
    Mirror() : link(ComponentID::TaloLinkUSB, log)
    {
        application.addComponent(link);
        database = std::make_unique<ModelDatabase>(application, values, actions);
    }
    QString text(int id) const
    {
        const auto* value = values.getValue(ModelValueID(id));
        return value ? value->toString() : QString();
    }

    std::vector<ModelTest::WrittenFrame> log;
    ModelTest::TestApplication application;
    ModelTest::CaptureLink link;
    Model::Observer::ModelValueObserver values;
    Model::Observer::ModelActionObserver actions;
    std::unique_ptr<ModelDatabase> database;
};

} // namespace

class TestModelDatabase : public QObject
{
    Q_OBJECT

private slots:
    void everyActionIsSent();
    void applicationRunsItsServices();
    void reset_data();
    void reset();
};

// Each action of the model, reached through the registry or the model's own getter, sends
// exactly its own identifier to the device.
void TestModelDatabase::everyActionIsSent()
{
    Mirror model;
    auto& a = model.database->getActions();
    const std::vector<Model::Interfaces::ModelAction*> byGetter {&a.getResetErrorAction(),
        &a.getStartCurrentMeasurementAction(), &a.getStartPowerMeasurementAction(),
        &a.getStartVoltageMeasurementAction(), &a.getStopMeasurementAction(),
        &a.getFactoryResetAction(), &a.getMotorLeftOnAction(), &a.getMotorRightOnAction(),
        &a.getMotorStopAction(), &a.getStartDisplayUpdateAction(), &a.getStopDisplayUpdateAction()};
    const auto& registered = model.actions.getActions();
    QCOMPARE(registered.size(), byGetter.size());
    for (auto* action : byGetter) {
        QCOMPARE(model.actions.getAction(action->getID()), action);
        model.log.clear();
        action->fire();
        QCOMPARE(int(model.log.size()), 1);
        const auto packet = Component::Interfaces::TaloLinkPacket::decode(model.log.front().bytes);
        QCOMPARE(packet.command, Component::Interfaces::TaloLinkCommandID::FireModelAction);
        QCOMPARE(packet.args[0].data[0] | packet.args[0].data[1] << 8, int(action->getID()));
    }
}

// The application finds its services by identifier and runs only those that run.
void TestModelDatabase::applicationRunsItsServices()
{
    struct Service : Component::Interfaces::AbstractService
    {
        using AbstractService::AbstractService;
        int runs = 0;
        void performStartup() override { }
        void performShutdown() override { }
        void performRun() override { ++runs; }
    };
    using Component::Interfaces::ServiceID;
    ModelTest::TestApplication application;
    Service running(ServiceID::TaloLinkTerminal);
    Service idle(ServiceID::UpdateControl);
    application.addService(running);
    application.addService(idle);
    QCOMPARE(application.getService(ServiceID::UpdateControl), &idle);
    QCOMPARE(application.getService(ServiceID::PackageUpdate), nullptr);
    application.startup();
    idle.stop();
    application.run();
    QCOMPARE(running.runs, 1);
    QCOMPARE(idle.runs, 0);
}

void TestModelDatabase::reset_data()
{
    QTest::addColumn<Reset>("reset");
    QTest::addColumn<std::set<int>>("restored");
    QTest::newRow("settings") << Reset([](ModelDatabase& d) { d.getSettings().reset(); })
                              << std::set<int> {11, 1, 0, 3, 2, 4, 5, 6, 7, 12, 25, 26, 27, 28, 29,
                                     30, 43, 31, 32, 33, 52, 53, 54};
    QTest::newRow("operation") << Reset([](ModelDatabase& d) { d.getOperation().reset(); })
                               << std::set<int> {10, 9};
    QTest::newRow("faults") << Reset([](ModelDatabase& d) { d.getFaults().reset(); })
                            << std::set<int> {17, 19, 18};
    QTest::newRow("housing lighting")
        << Reset([](ModelDatabase& d) { d.getHousingLighting().reset(); })
        << std::set<int> {21, 22, 23};
    QTest::newRow("boot-up state")
        << Reset([](ModelDatabase& d) { d.getBootupState().reset(); }) << std::set<int> {24};
    QTest::newRow("measurement") << Reset([](ModelDatabase& d) { d.getMeasurement().reset(); })
                                 << std::set<int> {35, 34, 20};
    QTest::newRow("information") << Reset([](ModelDatabase& d) { d.getInformation().reset(); })
                                 << std::set<int> {39, 40, 41, 42, 15, 45, 46, 47, 50, 48, 49};
    QTest::newRow("actions") << Reset([](ModelDatabase& d) { d.getActions().reset(); })
                             << std::set<int> {};
}

void TestModelDatabase::reset()
{
    QFETCH(Reset, reset);
    QFETCH(std::set<int>, restored);
    Mirror fresh;
    Mirror model;
    // As float 2.5000005, as integers 2 (or 0x40200002), as bool true: never a default.
    const std::uint8_t bytes[4] = {0x02, 0x00, 0x20, 0x40};
    for (int id = 0; id < int(ModelValueID::MaxCount); ++id) {
        ModelValueEvent update(ModelValueEvent::Update, ModelValueID(id), bytes, sizeof bytes);
        model.values.notify(Utilities::Events::EventClass::ModelValueEvents, update);
    }
    std::set<int> changed;
    for (int id = 0; id < int(ModelValueID::MaxCount); ++id) {
        if (model.text(id) != fresh.text(id))
            changed.insert(id);
    }
    for (int id : restored)
        QVERIFY2(changed.count(id), qPrintable(QString::number(id)));
    reset(*model.database);
    QVERIFY(model.log.empty());
    for (int id = 0; id < int(ModelValueID::MaxCount); ++id) {
        const bool isDefault = model.text(id) == fresh.text(id);
        const bool expected = restored.count(id) || !changed.count(id);
        QVERIFY2(isDefault == expected, qPrintable(QString::number(id)));
    }
}

QTEST_GUILESS_MAIN(TestModelDatabase)
#include "tst_modeldatabase.moc"
