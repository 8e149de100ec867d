#include "model/modelactionobserver.h"
#include "model/modeldatabase.h"
#include "model/modelvalueevent.h"
#include "model/modelvalueobserver.h"
#include "modeltestsupport.h"

#include <QtTest>

#include <algorithm>
#include <cstring>
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

// Reports a value for every registered identifier, the way the terminal
// service does: bytes that decode to something other than every default.
void reportEveryValue(Model::Observer::ModelValueObserver& registry)
{
    // As float 2.5000005, as integers 2 (or 0x40200002), as bool true.
    static const std::uint8_t bytes[4] = {0x02, 0x00, 0x20, 0x40};
    for (int id = 0; id < int(ModelValueID::MaxCount); ++id) {
        ModelValueEvent update(ModelValueEvent::Update, ModelValueID(id), bytes, sizeof bytes);
        registry.notify(EventClass::ModelValueEvents, update);
    }
}

} // namespace

class TestModelDatabase : public QObject
{
    Q_OBJECT

private slots:
    void registersEveryMirroredValue();
    void unregistersWhenDestroyed();
    void initRequestsInDeviceOrder();
    void initAsksBothLinks();
    void reset_data();
    void reset();
    void constructionExamples();
    void measurementsFiledByPhase_data();
    void measurementsFiledByPhase();
};

void TestModelDatabase::registersEveryMirroredValue()
{
    TestApplication application;
    Model::Observer::ModelValueObserver values;
    Model::Observer::ModelActionObserver actions;
    ModelDatabase database(application, values, actions);

    QCOMPARE(int(values.getValues().size()), 51);
    QCOMPARE(int(actions.getActions().size()), 11);
    const std::set<int> unmirrored = {8, 13, 14, 51};
    for (int id = 0; id < int(ModelValueID::MaxCount); ++id) {
        ModelValueIntf* value = values.getValue(ModelValueID(id));
        QVERIFY2(bool(value) != bool(unmirrored.count(id)), qPrintable(QString::number(id)));
        if (value) // every value under its own identifier, exactly once
            QCOMPARE(int(value->getID()), id);
    }
    for (int id = 0; id < int(ModelActionID::MaxCount); ++id)
        QCOMPARE(bool(actions.getAction(ModelActionID(id))), id != 9 && id != 10);

    QCOMPARE(values.getValue(ModelValueID::TripClass),
        static_cast<ModelValueIntf*>(&database.getSettings().getTripClassValue()));
    QCOMPARE(database.getSettings().getTripClassValue().toString(), QString("2E"));
    QCOMPARE(actions.getAction(ModelActionID::FactoryReset),
        &database.getActions().getFactoryResetAction());
}

void TestModelDatabase::unregistersWhenDestroyed()
{
    TestApplication application;
    Model::Observer::ModelValueObserver values;
    Model::Observer::ModelActionObserver actions;
    {
        ModelDatabase database(application, values, actions);
    }
    QVERIFY(values.getValues().empty());
    QVERIFY(actions.getActions().empty());
    // A second database, as after a reconnect, fills the registries again.
    ModelDatabase database(application, values, actions);
    QCOMPARE(int(values.getValues().size()), 51);
}

void TestModelDatabase::initRequestsInDeviceOrder()
{
    std::vector<WrittenFrame> log;
    TestApplication application;
    CaptureLink usb(ComponentID::TaloLinkUSB, log);
    application.addComponent(usb);
    Model::Observer::ModelValueObserver values;
    Model::Observer::ModelActionObserver actions;
    ModelDatabase database(application, values, actions);
    QVERIFY(log.empty()); // nothing is sent while building

    database.init();

    std::vector<int> requested;
    for (const WrittenFrame& frame : log)
        requested.push_back(requestedId(frame.bytes));
    QCOMPARE(requested, RequestOrder);
    for (const int never : {36, 37, 38, 44})
        QVERIFY(std::find(requested.begin(), requested.end(), never) == requested.end());
}

void TestModelDatabase::initAsksBothLinks()
{
    std::vector<WrittenFrame> log;
    TestApplication application;
    CaptureLink usb(ComponentID::TaloLinkUSB, log);
    CaptureLink secondary(ComponentID::TaloLinkSecondary, log);
    application.addComponent(usb);
    application.addComponent(secondary);
    Model::Observer::ModelValueObserver values;
    Model::Observer::ModelActionObserver actions;
    ModelDatabase database(application, values, actions);

    database.init();
    database.getActions().getMotorStopAction().fire();

    QCOMPARE(log.size(), 2 * RequestOrder.size() + 2);
    for (std::size_t i = 0; i < RequestOrder.size(); ++i) {
        QCOMPARE(log[2 * i].link, ComponentID::TaloLinkSecondary);
        QCOMPARE(log[2 * i + 1].link, ComponentID::TaloLinkUSB);
        QCOMPARE(requestedId(log[2 * i].bytes), RequestOrder[i]);
        QCOMPARE(requestedId(log[2 * i + 1].bytes), RequestOrder[i]);
    }
    const TaloLinkPacket fired = TaloLinkPacket::decode(log.back().bytes);
    QCOMPARE(fired.command, TaloLinkCommandID::FireModelAction);
    QCOMPARE(int(fired.args[0].data[0]), int(ModelActionID::MotorStop));
    QCOMPARE(log[log.size() - 2].link, ComponentID::TaloLinkSecondary);
}

void TestModelDatabase::reset_data()
{
    QTest::addColumn<QString>("group");
    QTest::addColumn<std::vector<int>>("restored");

    QTest::newRow("settings") << "settings"
                              << std::vector<int> {11, 1, 0, 3, 2, 4, 5, 6, 7, 12, 25, 26, 27, 28,
                                     29, 30, 43, 31, 32, 33, 52, 53, 54};
    QTest::newRow("operation") << "operation" << std::vector<int> {10, 9};
    QTest::newRow("faults") << "faults" << std::vector<int> {17, 19, 18};
    QTest::newRow("housing lighting") << "housing" << std::vector<int> {21, 22, 23};
    QTest::newRow("boot-up state") << "bootup" << std::vector<int> {24};
    QTest::newRow("measurement") << "measurement" << std::vector<int> {35, 34, 20};
    QTest::newRow("information") << "information"
                                 << std::vector<int> {39, 40, 41, 42, 15, 45, 46, 47, 50, 48, 49};
    QTest::newRow("actions") << "actions" << std::vector<int> {};
}

// After the device has reported every value, a group's reset() returns the
// values of its list to their defaults and leaves every other value as reported.
void TestModelDatabase::reset()
{
    QFETCH(QString, group);
    QFETCH(std::vector<int>, restored);

    std::vector<WrittenFrame> log;
    TestApplication application;
    CaptureLink usb(ComponentID::TaloLinkUSB, log);
    application.addComponent(usb);
    Model::Observer::ModelValueObserver values;
    Model::Observer::ModelActionObserver actions;
    ModelDatabase database(application, values, actions);
    reportEveryValue(values);
    for (ModelValueIntf* value : values.getValues())
        QVERIFY2(
            current(value) != defaultOf(value), qPrintable(QString::number(int(value->getID()))));

    if (group == "settings")
        database.getSettings().reset();
    else if (group == "operation")
        database.getOperation().reset();
    else if (group == "faults")
        database.getFaults().reset();
    else if (group == "housing")
        database.getHousingLighting().reset();
    else if (group == "bootup")
        database.getBootupState().reset();
    else if (group == "measurement")
        database.getMeasurement().reset();
    else if (group == "information")
        database.getInformation().reset();
    else
        database.getActions().reset();

    QVERIFY(log.empty()); // reset sends nothing
    const std::set<int> expected(restored.begin(), restored.end());
    for (ModelValueIntf* value : values.getValues()) {
        const int id = int(value->getID());
        QVERIFY2((current(value) == defaultOf(value)) == bool(expected.count(id)),
            qPrintable(Model::Interfaces::modelValueName(value->getID())));
    }
}

void TestModelDatabase::constructionExamples()
{
    TestApplication application;
    Model::Observer::ModelValueObserver values;
    Model::Observer::ModelActionObserver actions;
    ModelDatabase database(application, values, actions);
    auto& settings = database.getSettings();

    QCOMPARE(settings.getUndervoltageThresholdValue().toString(), QString("207"));
    QCOMPARE(settings.getNominalCurrentValue().toString(), QString("1.0"));

    // The device reports the limit sub-menu 2 and nominal current 2.5; the
    // reset restores the current but not the sub-menu the display owns.
    const std::uint8_t two = 2;
    ModelValueEvent limit(ModelValueEvent::Update, ModelValueID::SubSettingLimit, &two, 1);
    values.notify(EventClass::ModelValueEvents, limit);
    const std::uint8_t twoAndAHalf[4] = {0x00, 0x00, 0x20, 0x40};
    ModelValueEvent current(ModelValueEvent::Update, ModelValueID::NominalCurrent, twoAndAHalf, 4);
    values.notify(EventClass::ModelValueEvents, current);
    QCOMPARE(settings.getNominalCurrentValue().getValue(), 2.5f);
    settings.getSubSettingSoftstart().setValue(Types::GFX::SoftstartSubSetting::RampDown);

    settings.reset();
    QCOMPARE(settings.getSubSettingLimit().toString(), QString("Thresh."));
    QCOMPARE(settings.getSubSettingSoftstart().toString(), QString("Enable"));
    QCOMPARE(settings.getNominalCurrentValue().getValue(), 1.0f);
    QCOMPARE(settings.getNominalCurrentValue().getPrevious(), 1.1f);

    // The application stores its own version before asking the device.
    database.getInformation().getPlatformVersionValue().setValue(application.getVersion());
    QCOMPARE(database.getInformation().getPlatformVersionValue().toString(), QString("V0.4.3.4"));
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
    TestApplication application;
    Model::Observer::ModelValueObserver values;
    Model::Observer::ModelActionObserver actions;
    ModelDatabase database(application, values, actions);
    for (std::size_t i = 0; i + 1 < reports.size(); i += 2) {
        const auto id = ModelValueID(reports[i]);
        const float volts = float(reports[i + 1]);
        const auto phase = std::uint8_t(reports[i + 1]);
        std::uint8_t bytes[4];
        std::memcpy(bytes, &volts, sizeof bytes); // the device's floats are little-endian too
        ModelValueEvent update(ModelValueEvent::Update, id,
            id == ModelValueID::MeasurementPhase ? &phase : bytes,
            id == ModelValueID::MeasurementPhase ? 1 : 4);
        values.notify(EventClass::ModelValueEvents, update);
    }
    auto& voltage = database.getMeasurement().getVoltageValue();
    QCOMPARE((QStringList {voltage.toStringOfPhase(0), voltage.toStringOfPhase(1),
                 voltage.toStringOfPhase(2)}),
        texts);
    database.getMeasurement().reset();
    QCOMPARE(voltage.toStringOfPhase(1), QString("0"));
}

QTEST_GUILESS_MAIN(TestModelDatabase)
#include "tst_modeldatabase.moc"
