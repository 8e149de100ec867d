#include "model/modelactionobserver.h"
#include "model/modeldatabase.h"
#include "model/modelvalueevent.h"
#include "model/modelvalueobserver.h"
#include "modeltestsupport.h"

#include <QtTest>

#include <cstring>
#include <functional>
#include <set>
#include <vector>

using namespace ModelTest;
using Component::Interfaces::ComponentID;
using Component::Interfaces::TaloLinkCommandID;
using Component::Interfaces::TaloLinkPacket;
using Model::Database::ModelDatabase;
using Model::Interfaces::ModelActionID;
using Model::Interfaces::ModelValueEvent;
using Model::Interfaces::ModelValueID;
using Model::Interfaces::ModelValueIntf;
using Utilities::Events::EventClass;

Q_DECLARE_METATYPE(std::vector<int>)
Q_DECLARE_METATYPE(std::function<void(ModelDatabase&)>)

namespace {

// The 47 requests of init(), in the order the device expects them.
const std::vector<int> RequestOrder
    = {11, 1, 0, 3, 2, 4, 5, 6, 7, 12, 25, 26, 27, 16, 28, 29, 30, 43, 31, 32, 33, 52, 53, 54, 10,
        9, 17, 19, 18, 21, 22, 23, 24, 35, 34, 20, 39, 40, 41, 42, 15, 45, 46, 47, 50, 48, 49};

// The identifier a GetModelValue frame asks for, or -1 for any other frame.
int requestedId(const QByteArray& frame)
{
    const TaloLinkPacket packet = TaloLinkPacket::decode(frame);
    if (!packet.isChecksumValid() || packet.command != TaloLinkCommandID::GetModelValue
        || packet.args.size() != 1 || packet.args[0].length != 2)
        return -1;
    return packet.args[0].data[0] | (packet.args[0].data[1] << 8);
}

void report(Model::Observer::ModelValueObserver& registry, ModelValueID id, const void* bytes,
    std::uint64_t size)
{
    ModelValueEvent update(
        ModelValueEvent::Update, id, static_cast<const std::uint8_t*>(bytes), size);
    registry.notify(EventClass::ModelValueEvents, update);
}

// A database on an application with the given links, each recording what it writes.
struct Fixture
{
    explicit Fixture(std::vector<ComponentID> ids = {})
    {
        for (ComponentID id : ids)
            application.addComponent(*links.emplace_back(std::make_unique<CaptureLink>(id, log)));
        database = std::make_unique<ModelDatabase>(application, values, actions);
    }
    std::vector<WrittenFrame> log;
    TestApplication application;
    std::vector<std::unique_ptr<CaptureLink>> links;
    Model::Observer::ModelValueObserver values;
    Model::Observer::ModelActionObserver actions;
    std::unique_ptr<ModelDatabase> database;
};

} // namespace

class TestModelDatabase : public QObject
{
    Q_OBJECT

private slots:
    void registersEveryMirroredValueOnce();
    void initRequestsInDeviceOrder_data();
    void initRequestsInDeviceOrder();
    void reset_data();
    void reset();
    void measurementsFiledByPhase_data();
    void measurementsFiledByPhase();
};

void TestModelDatabase::registersEveryMirroredValueOnce()
{
    Fixture f;
    const std::set<int> unmirrored = {8, 13, 14, 51};
    QCOMPARE(int(f.values.getValues().size()), int(ModelValueID::MaxCount) - 4);
    for (int id = 0; id < int(ModelValueID::MaxCount); ++id) {
        ModelValueIntf* value = f.values.getValue(ModelValueID(id));
        QVERIFY2(bool(value) != bool(unmirrored.count(id)), qPrintable(QString::number(id)));
        if (value)
            QCOMPARE(int(value->getID()), id);
    }
    QCOMPARE(int(f.actions.getActions().size()), 11);

    // Destroyed, it leaves the registries empty; a second one, as after a reconnect, fills them.
    f.database.reset();
    QVERIFY(f.values.getValues().empty());
    QVERIFY(f.actions.getActions().empty());
    f.database = std::make_unique<ModelDatabase>(f.application, f.values, f.actions);
    QCOMPARE(int(f.values.getValues().size()), int(ModelValueID::MaxCount) - 4);
}

void TestModelDatabase::initRequestsInDeviceOrder_data()
{
    QTest::addColumn<bool>("secondaryLink");
    QTest::newRow("USB only") << false;
    QTest::newRow("secondary link too") << true;
}

void TestModelDatabase::initRequestsInDeviceOrder()
{
    QFETCH(bool, secondaryLink);
    Fixture f(secondaryLink
            ? std::vector<ComponentID> {ComponentID::TaloLinkUSB, ComponentID::TaloLinkSecondary}
            : std::vector<ComponentID> {ComponentID::TaloLinkUSB});
    QVERIFY(f.log.empty()); // nothing is sent while building
    f.database->init();
    f.database->getActions().getMotorStopAction().fire();

    // Every request goes to each link, the secondary one first.
    const std::size_t links = secondaryLink ? 2 : 1;
    QCOMPARE(f.log.size(), links * (RequestOrder.size() + 1));
    std::vector<int> requested;
    for (std::size_t i = 0; i < f.log.size(); i += links) {
        if (secondaryLink) {
            QCOMPARE(f.log[i].link, ComponentID::TaloLinkSecondary);
            QCOMPARE(f.log[i + 1].link, ComponentID::TaloLinkUSB);
            QCOMPARE(f.log[i + 1].bytes, f.log[i].bytes);
        }
        requested.push_back(requestedId(f.log[i].bytes));
    }
    QCOMPARE(requested.back(), -1);
    requested.pop_back();
    QCOMPARE(requested, RequestOrder);
    const TaloLinkPacket fired = TaloLinkPacket::decode(f.log.back().bytes);
    QCOMPARE(fired.command, TaloLinkCommandID::FireModelAction);
    QCOMPARE(int(fired.args[0].data[0]), int(ModelActionID::MotorStop));
}

void TestModelDatabase::reset_data()
{
    QTest::addColumn<std::function<void(ModelDatabase&)>>("reset");
    QTest::addColumn<std::vector<int>>("restored");
    using F = std::function<void(ModelDatabase&)>;
    using V = std::vector<int>;
    QTest::newRow("settings") << F([](ModelDatabase& d) {
        d.getSettings().reset();
    }) << V {11, 1, 0, 3, 2, 4, 5, 6, 7, 12, 25, 26, 27, 28, 29, 30, 43, 31, 32, 33, 52, 53, 54};
    QTest::newRow("operation") << F([](ModelDatabase& d) { d.getOperation().reset(); })
                               << V {10, 9};
    QTest::newRow("faults") << F([](ModelDatabase& d) { d.getFaults().reset(); }) << V {17, 19, 18};
    QTest::newRow("housing lighting")
        << F([](ModelDatabase& d) { d.getHousingLighting().reset(); }) << V {21, 22, 23};
    QTest::newRow("boot-up state")
        << F([](ModelDatabase& d) { d.getBootupState().reset(); }) << V {24};
    QTest::newRow("measurement") << F([](ModelDatabase& d) { d.getMeasurement().reset(); })
                                 << V {35, 34, 20};
    QTest::newRow("information") << F([](ModelDatabase& d) { d.getInformation().reset(); })
                                 << V {39, 40, 41, 42, 15, 45, 46, 47, 50, 48, 49};
    QTest::newRow("actions") << F([](ModelDatabase& d) { d.getActions().reset(); }) << V {};
}

// After the device has reported every value, a group's reset() returns the values of its list
// to their defaults, leaves every other value as reported, and sends nothing.
void TestModelDatabase::reset()
{
    QFETCH(std::function<void(ModelDatabase&)>, reset);
    QFETCH(std::vector<int>, restored);
    Fixture f({ComponentID::TaloLinkUSB});
    // As float 2.5000005, as integers 2 (or 0x40200002), as bool true: never a default.
    const std::uint8_t bytes[4] = {0x02, 0x00, 0x20, 0x40};
    for (int id = 0; id < int(ModelValueID::MaxCount); ++id)
        report(f.values, ModelValueID(id), bytes, sizeof bytes);
    for (ModelValueIntf* value : f.values.getValues())
        QVERIFY2(
            current(value) != defaultOf(value), qPrintable(QString::number(int(value->getID()))));

    reset(*f.database);
    QVERIFY(f.log.empty());
    const std::set<int> expected(restored.begin(), restored.end());
    for (ModelValueIntf* value : f.values.getValues())
        QVERIFY2((current(value) == defaultOf(value)) == bool(expected.count(int(value->getID()))),
            qPrintable(Model::Interfaces::modelValueName(value->getID())));
}

void TestModelDatabase::measurementsFiledByPhase_data()
{
    // Each report is a phase (id 20) or a voltage in volts (id 34); the expected texts are
    // those of phases 0, 1 and 2 afterwards.
    QTest::addColumn<std::vector<int>>("reports");
    QTest::addColumn<QStringList>("texts");
    QTest::newRow("burst of three phases") << std::vector<int> {20, 0, 34, 390, 20, 1, 34, 400, 20,
        2, 34, 410} << QStringList {"390", "400", "410"};
    QTest::newRow("a later value replaces only its phase")
        << std::vector<int> {20, 1, 34, 400, 20, 1, 34, 401} << QStringList {"0", "401", "0"};
    QTest::newRow("all phases and unknown phases file nothing") << std::vector<int> {
        20, 0, 34, 390, 20, 3, 34, 500, 20, 9, 34, 501} << QStringList {"390", "0", "0"};
}

void TestModelDatabase::measurementsFiledByPhase()
{
    QFETCH(std::vector<int>, reports);
    QFETCH(QStringList, texts);
    Fixture f;
    for (std::size_t i = 0; i + 1 < reports.size(); i += 2) {
        const auto phase = std::uint8_t(reports[i + 1]);
        const float volts = float(reports[i + 1]); // the device's floats are little-endian too
        if (ModelValueID(reports[i]) == ModelValueID::MeasurementPhase)
            report(f.values, ModelValueID::MeasurementPhase, &phase, 1);
        else
            report(f.values, ModelValueID(reports[i]), &volts, 4);
    }
    auto& voltage = f.database->getMeasurement().getVoltageValue();
    QCOMPARE((QStringList {voltage.toStringOfPhase(0), voltage.toStringOfPhase(1),
                 voltage.toStringOfPhase(2)}),
        texts);
    f.database->getMeasurement().reset();
    QCOMPARE(voltage.toStringOfPhase(1), QString("0"));
}

QTEST_GUILESS_MAIN(TestModelDatabase)
#include "tst_modeldatabase.moc"
