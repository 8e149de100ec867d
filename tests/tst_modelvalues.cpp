#include "model/modelactionobserver.h"
#include "model/modeldatabase.h"
#include "model/modelvalueevent.h"
#include "model/modelvalueobserver.h"
#include "modeltestsupport.h"

#include <QtTest>

#include <cmath>
#include <memory>

using namespace ModelTest;
using Component::Interfaces::ComponentID;
using Component::Interfaces::TaloLinkCommandID;
using Component::Interfaces::TaloLinkPacket;
using Model::Interfaces::ModelActionID;
using Model::Interfaces::ModelDisplayValue;
using Model::Interfaces::ModelValueEvent;
using Model::Interfaces::ModelValueID;
using Model::Interfaces::ModelValueIntf;
using Utilities::Events::EventClass;

namespace {

// A database on an application whose one link records what it writes.
struct Fixture
{
    Fixture() { application.addComponent(usb); }

    std::vector<WrittenFrame> log;
    TestApplication application;
    CaptureLink usb {ComponentID::TaloLinkUSB, log};
    Model::Observer::ModelValueObserver values;
    Model::Observer::ModelActionObserver actions;
    std::unique_ptr<Model::Database::ModelDatabase> database;

    void build()
    {
        database = std::make_unique<Model::Database::ModelDatabase>(application, values, actions);
    }
    ModelValueIntf* value(int id) { return values.getValue(ModelValueID(id)); }
};

// Decodes `hex` into a fresh value of type T whose default is 7 (true), so
// that a decoded 0 is visible.
template <typename T> double decodeInto(const QByteArray& hex)
{
    TestApplication application;
    Model::Observer::ModelValueObserver registry;
    using R = Model::Interfaces::ModelValueCodec::RawType<T>;
    const T seven = static_cast<T>(static_cast<R>(7));
    ModelDisplayValue<T> value(ModelValueID::TripClass, seven, seven, seven, application, registry);
    const std::vector<std::uint8_t> bytes = exactBytes(hex);
    value.receive(bytes.data(), bytes.size());
    return static_cast<double>(static_cast<R>(value.getValue()));
}

} // namespace

class TestModelValues : public QObject
{
    Q_OBJECT

private slots:
    void names_data();
    void names();
    void decode_data();
    void decode();
    void text_data();
    void text();
    void stepping_data();
    void stepping();
    void floatStepping_data();
    void floatStepping();
    void neighboursFollowTheValue();
    void requestSendsTheValue_data();
    void requestSendsTheValue();
};

void TestModelValues::names_data()
{
    QTest::addColumn<bool>("action");
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("expected");

    QTest::newRow("value 0") << false << 0 << "TripClass";
    QTest::newRow("value 8") << false << 8 << "CapacityDevice";
    QTest::newRow("value 54") << false << 54 << "LoadAsymmetryFaultType";
    QTest::newRow("value count marker") << false << 55 << "MaxCount";
    QTest::newRow("value 56") << false << 56 << "Unknown";
    QTest::newRow("value 65535") << false << 65535 << "Unknown";
    QTest::newRow("action 0") << true << 0 << "ResetError";
    QTest::newRow("action 9") << true << 9 << "MaintenanceSet";
    QTest::newRow("action 12") << true << 12 << "StopDisplayUpdate";
    QTest::newRow("action 13") << true << 13 << "Unknown";
    QTest::newRow("action 65535") << true << 65535 << "Unknown";
}

void TestModelValues::names()
{
    QFETCH(bool, action);
    QFETCH(int, number);
    QFETCH(QString, expected);
    const QString name = action ? Model::Interfaces::modelActionName(ModelActionID(number))
                                : Model::Interfaces::modelValueName(ModelValueID(number));
    QCOMPARE(name, expected);
}

void TestModelValues::decode_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<QByteArray>("hex");
    QTest::addColumn<double>("expected");

    // 8-bit types read the first byte of 1, 2 or 4; any other length gives 0.
    QTest::newRow("u8 one byte") << "u8" << QByteArray("34") << double(0x34);
    QTest::newRow("u8 two bytes") << "u8" << QByteArray("3412") << double(0x34);
    QTest::newRow("u8 three bytes") << "u8" << QByteArray("341256") << 0.0;
    QTest::newRow("u8 four bytes") << "u8" << QByteArray("78563412") << double(0x78);
    QTest::newRow("u8 five bytes") << "u8" << QByteArray("7856341200") << 0.0;
    QTest::newRow("u8 no bytes") << "u8" << QByteArray() << 0.0;
    QTest::newRow("char two bytes") << "char" << QByteArray("4142") << double('A');
    QTest::newRow("enum two bytes") << "tripclass" << QByteArray("0509") << 5.0;
    QTest::newRow("enum three bytes") << "tripclass" << QByteArray("050000") << 0.0;
    // bool looks at the whole word of the given length.
    QTest::newRow("bool 0 0 1 0") << "bool" << QByteArray("00000100") << 1.0;
    QTest::newRow("bool high byte of word") << "bool" << QByteArray("0001") << 1.0;
    QTest::newRow("bool zero byte") << "bool" << QByteArray("00") << 0.0;
    QTest::newRow("bool zero word") << "bool" << QByteArray("00000000") << 0.0;
    QTest::newRow("bool three bytes") << "bool" << QByteArray("010101") << 0.0;
    // unsigned short takes the first two of four bytes.
    QTest::newRow("u16 one byte") << "u16" << QByteArray("ff") << 255.0;
    QTest::newRow("u16 two bytes") << "u16" << QByteArray("3412") << double(0x1234);
    QTest::newRow("u16 four bytes") << "u16" << QByteArray("34127856") << double(0x1234);
    QTest::newRow("u16 three bytes") << "u16" << QByteArray("341278") << 0.0;
    QTest::newRow("u32 one byte") << "u32" << QByteArray("ff") << 255.0;
    QTest::newRow("u32 two bytes") << "u32" << QByteArray("3412") << double(0x1234);
    QTest::newRow("u32 four bytes") << "u32" << QByteArray("78563412") << double(0x12345678);
    QTest::newRow("u32 all ones") << "u32" << QByteArray("ffffffff") << 4294967295.0;
    QTest::newRow("u32 three bytes") << "u32" << QByteArray("785634") << 0.0;
    QTest::newRow("device type") << "devicetype" << QByteArray("7ac80000") << 51322.0;
    // Floats need all four bytes; beyond four the rest is ignored.
    QTest::newRow("float four bytes") << "float" << QByteArray("0000803f") << 1.0;
    QTest::newRow("float five bytes") << "float" << QByteArray("0000204099") << 2.5;
    QTest::newRow("float three bytes") << "float" << QByteArray("000080") << 0.0;
    QTest::newRow("float one byte") << "float" << QByteArray("3f") << 0.0;
    QTest::newRow("float no bytes") << "float" << QByteArray() << 0.0;
}

void TestModelValues::decode()
{
    QFETCH(QString, type);
    QFETCH(QByteArray, hex);
    QFETCH(double, expected);

    double decoded = -1;
    if (type == "u8")
        decoded = decodeInto<std::uint8_t>(hex);
    else if (type == "char")
        decoded = decodeInto<char>(hex);
    else if (type == "tripclass")
        decoded = decodeInto<Types::Settings::TripClass>(hex);
    else if (type == "bool")
        decoded = decodeInto<bool>(hex);
    else if (type == "u16")
        decoded = decodeInto<std::uint16_t>(hex);
    else if (type == "u32")
        decoded = decodeInto<std::uint32_t>(hex);
    else if (type == "devicetype")
        decoded = decodeInto<Types::Information::DeviceType>(hex);
    else if (type == "float")
        decoded = decodeInto<float>(hex);
    QCOMPARE(decoded, expected);
}

void TestModelValues::text_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("expected");

    const auto row = [](const char* name, ModelValueID id, double value, const char* text) {
        QTest::newRow(name) << int(id) << value << QString::fromLatin1(text);
    };
    using ID = ModelValueID;
    // Enumerations, including numbers without a text.
    row("trip class 2E", ID::TripClass, 0, "2E");
    row("trip class 10A", ID::TripClass, 3, "10A");
    row("trip class 40E", ID::TripClassMax, 7, "40E");
    row("trip class unknown", ID::TripClass, 8, "");
    row("fault type error", ID::UndercurrentFaultType, 1, "Error");
    row("fault type unknown", ID::OvervoltageFaultType, 2, " ");
    row("warning device ok", ID::Warning, 0, "Device OK");
    row("error security", ID::Error, 14, "Security Clearance");
    row("error 15", ID::Error, 15, " ");
    row("error 16", ID::Warning, 16, " ");
    row("fault phase all", ID::FaultPhase, 3, "L1 / L2 / L3");
    row("fault phase unknown", ID::FaultPhase, 4, " ");
    row("measurement phase", ID::MeasurementPhase, 2, "2");
    row("mode safety stop", ID::OperatingMode, 3, "Safety Stop");
    row("mode unknown", ID::OperatingMode, 9, "Idle");
    row("platform state run", ID::PlatformState, 3, "Run");
    row("platform state 0", ID::PlatformState, 0, " ");
    row("housing edge", ID::HousingEdge, 3, "3");
    row("housing type", ID::HousingType, 5, "");
    row("menu back", ID::Settings, 0, "-Back-");
    row("menu overload reset", ID::Settings, 7, "Over. Res.");
    row("menu unnamed 6", ID::Settings, 6, " ");
    row("menu about", ID::Settings, 11, "About");
    row("menu 12", ID::Settings, 12, " ");
    row("softstart menu", ID::SubSettingSoftstart, 4, "MinVolt");
    row("softstart menu 5", ID::SubSettingSoftstart, 5, " ");
    row("limit menu", ID::SubSettingLimit, 2, "Thresh.");
    row("about menu", ID::SubSettingAbout, 2, "SW");
    row("about menu 3", ID::SubSettingAbout, 3, " ");
    row("article number", ID::ArticleNumber, 51326, "51326");
    // Plain numbers and flags.
    row("enable", ID::SoftstartEnable, 1, "Enable");
    row("disable", ID::LoadAsymmetryEnable, 0, "Disable");
    row("overload automatic", ID::OverloadReset, 1, "Automatic");
    row("overload manual", ID::OverloadReset, 0, "Manual");
    row("8-bit", ID::HousingBrightnessRed, 255, "255");
    row("16-bit", ID::ProductionYear, 65535, "65535");
    row("serial number", ID::SerialNumber, 123456, "123456");
    row("serial number high bit", ID::SerialNumber, 2147483648.0, "-2147483648");
    row("version", ID::PlatformVersion, 0x0A000102, "V10.0.1.2");
    row("version 1.2.3.4", ID::PlatformVersion, 0x01020304, "V1.2.3.4");
    row("version all ones", ID::PlatformVersion, 4294967295.0, "V255.255.255.255");
    row("article index", ID::ArticleIndex, 'C', "C");
    // Floats: cut, not rounded.
    row("current 1.0", ID::NominalCurrent, 1.0, "1.0");
    row("current 1.25 cut", ID::NominalCurrent, 1.25, "1.2");
    row("current 9.9", ID::NominalCurrentMax, 9.9f, "9.9");
    row("current 1.99", ID::UndercurrentThreshold, 1.99f, "1.9");
    row("ramp time", ID::SoftstartRampUpTime, 20.0, "20.0");
    row("measured current", ID::MeasurementCurrent, 12.34f, "12.3");
    row("load asymmetry", ID::LoadAsymmetryThreshold, 0.01f, "0.0");
    row("undervoltage 207", ID::UndervoltageThreshold, 207.0, "207");
    row("overvoltage cut", ID::OvervoltageThreshold, 253.9f, "253");
    row("voltage rounds down", ID::MeasurementVoltage, 229.49f, "229");
    row("voltage rounds half up", ID::MeasurementVoltage, 229.5, "230");
    row("voltage limited", ID::MeasurementVoltage, 612.0, "600");
    row("voltage small negative", ID::MeasurementVoltage, -0.3f, "0");
    row("active power kW", ID::MeasurementActivePower, 1234.5, "1.23");
    row("apparent power cut", ID::MeasurementApparentPower, 999.9f, "0.99");
    row("reactive power limited", ID::MeasurementReactivePower, 20000.0, "9.99");
    row("power zero", ID::MeasurementActivePower, 0.0, "0.00");
}

void TestModelValues::text()
{
    QFETCH(int, id);
    QFETCH(double, value);
    QFETCH(QString, expected);

    Fixture f;
    f.build();
    ModelValueIntf* target = f.value(id);
    QVERIFY(target);
    QVERIFY(assign(target, value));
    QCOMPARE(target->toString(), expected);
}

void TestModelValues::stepping_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<double>("value");
    QTest::addColumn<double>("previous");
    QTest::addColumn<double>("next");

    using ID = ModelValueID;
    const auto row = [](const char* name, ID id, double v, double previous, double next) {
        QTest::newRow(name) << int(id) << v << previous << next;
    };
    // Whole numbers step down with previous, up with next, and wrap.
    row("trip class at minimum", ID::TripClass, 0, 7, 1);
    row("trip class at maximum", ID::TripClass, 7, 6, 0);
    row("bool false", ID::SoftstartEnable, 0, 1, 1);
    row("bool true", ID::SoftstartEnable, 1, 0, 0);
    row("percent at maximum", ID::SoftstartMinVoltage, 100, 99, 0);
    row("edge at minimum", ID::HousingEdge, 1, 3, 2);
    row("article index at Z", ID::ArticleIndex, 'Z', 'Y', 'A');
    row("article index at A", ID::ArticleIndex, 'A', 'Z', 'B');
    row("warning above texts", ID::Warning, 16, 15, 0);
    // Unsigned 32-bit numbers compare as unsigned: the top half of the range steps too.
    row("version mid", ID::PlatformVersion, 5, 4, 6);
    row("version high bit", ID::PlatformVersion, 2147483648.0, 2147483647.0, 2147483649.0);
    row("version top", ID::PlatformVersion, 4294967295.0, 4294967294.0, 0);
    row("serial number zero", ID::SerialNumber, 0, 4294967295.0, 1);
    // The article number steps through the article numbers that exist.
    row("article number default", ID::ArticleNumber, 51322, 51314, 51326);
    row("article number lowest", ID::ArticleNumber, 51310, 51326, 51314);
    row("article number highest", ID::ArticleNumber, 51326, 51322, 51310);
    row("article number unknown", ID::ArticleNumber, 51318, 51314, 51322);
    row("production week", ID::ProductionWeek, 53, 52, 0);
    // Floats of 0.1: previous steps up, next down, each wrapping.
    row("nominal current at maximum", ID::NominalCurrent, 9.9f, 0.1f, 9.8f);
    row("nominal current at minimum", ID::NominalCurrent, 0.1f, 0.2f, 9.9f);
    row("nominal current off grid", ID::NominalCurrent, 1.25f, 1.4f, 1.2f);
    row("ramp time at zero", ID::SoftstartRampDownTime, 0.0, 0.1f, 20.0);
    row("load asymmetry at minimum", ID::LoadAsymmetryThreshold, 0.01f, 0.1f, 1.0);
    row("load asymmetry at maximum", ID::LoadAsymmetryThreshold, 1.0, 0.01f, 0.9f);
    row("load asymmetry at 0.1", ID::LoadAsymmetryThreshold, 0.1f, 0.2f, 0.01f);
    row("load asymmetry above maximum", ID::LoadAsymmetryThreshold, 1.5f, 0.01f, 1.0f);
    // Volts in whole steps.
    row("undervoltage default", ID::UndervoltageThreshold, 207.0, 208.0, 206.0);
    row("overvoltage at maximum", ID::OvervoltageThreshold, 600.0, 0.0, 599.0);
    row("overvoltage half", ID::OvervoltageThreshold, 252.5, 254.0, 252.0);
    // Powers in whole watts from the truncated value; previous steps down.
    row("power fraction", ID::MeasurementActivePower, 12.7f, 11.0, 13.0);
    row("power at minimum", ID::MeasurementApparentPower, 0.0, 9999.0, 1.0);
    row("power at maximum", ID::MeasurementReactivePower, 9999.0, 9998.0, 0.0);
    // Values the device reports may be out of every range.
    row("power not a number", ID::MeasurementActivePower, std::nan(""), 9999.0, 1.0);
    row("current not a number", ID::MeasurementCurrent, std::nan(""), 0.1f, 100.0);
}

void TestModelValues::stepping()
{
    QFETCH(int, id);
    QFETCH(double, value);
    QFETCH(double, previous);
    QFETCH(double, next);

    Fixture f;
    f.build();
    const auto result = steps(f.value(id), value);
    QVERIFY(result);
    QCOMPARE(result->first, previous);
    QCOMPARE(result->second, next);
}

void TestModelValues::floatStepping_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<int>("cycle");
    QTest::addColumn<double>("grid"); // steps per whole number; 0 when off grid is allowed

    using ID = ModelValueID;
    const auto row = [](ID id, int cycle, double grid) {
        QTest::newRow(qPrintable(Model::Interfaces::modelValueName(id)))
            << int(id) << cycle << grid;
    };
    row(ID::NominalCurrent, 99, 10);
    row(ID::NominalCurrentMax, 99, 10);
    row(ID::SoftstartRampUpTime, 201, 10);
    row(ID::SoftstartRampDownTime, 201, 10);
    row(ID::UndercurrentThreshold, 100, 10);
    row(ID::MeasurementCurrent, 1001, 10);
    row(ID::MeasurementVoltage, 6001, 10);
    row(ID::LoadAsymmetryThreshold, 11, 10); // 0.01, then 0.1 to 1.0
    row(ID::UndervoltageThreshold, 601, 1);
    row(ID::OvervoltageThreshold, 601, 1);
    row(ID::MeasurementActivePower, 10000, 1);
    row(ID::MeasurementApparentPower, 10000, 1);
    row(ID::MeasurementReactivePower, 10000, 1);
}

// Walks the whole range one way from the minimum until it wraps back: every
// step stays in range and on the grid, no value repeats before the wrap, and
// the other direction undoes each step.
void TestModelValues::floatStepping()
{
    QFETCH(int, id);
    QFETCH(int, cycle);
    QFETCH(double, grid);

    Fixture f;
    f.build();
    auto* value = dynamic_cast<ModelDisplayValue<float>*>(f.value(id));
    QVERIFY(value);
    const bool upward = value->previous(value->getMinimum()) > value->getMinimum();
    const auto forward = [&](float v) { return upward ? value->previous(v) : value->next(v); };
    const auto backward = [&](float v) { return upward ? value->next(v) : value->previous(v); };

    float v = value->getMinimum();
    int count = 0;
    do {
        const float step = forward(v);
        QVERIFY2(step >= value->getMinimum() && step <= value->getMaximum(),
            qPrintable(QString("%1 steps to %2").arg(double(v)).arg(double(step))));
        if (step != value->getMinimum()) {
            // On the grid: the single-precision number nearest n / grid.
            QCOMPARE(step, float(std::round(double(step) * grid)) / float(grid));
            QCOMPARE(backward(step), v);
        }
        v = step;
        ++count;
    } while (v != value->getMinimum() && count <= cycle);
    QCOMPARE(count, cycle);
}

void TestModelValues::neighboursFollowTheValue()
{
    Fixture f;
    f.build();
    auto& tripClass = f.database->getSettings().getTripClassValue();
    QCOMPARE(int(tripClass.getPrevious()), 0); // equal to the default until refreshed

    const std::vector<std::uint8_t> two = exactBytes("02");
    tripClass.receive(two.data(), two.size());
    QCOMPARE(int(tripClass.getPrevious()), 1);
    QCOMPARE(int(tripClass.getNext()), 3);

    tripClass.reset();
    QCOMPARE(int(tripClass.getPrevious()), 7);
    QCOMPARE(int(tripClass.getNext()), 1);

    // A screen narrows the range, then refreshes.
    tripClass.setMaximum(Types::Settings::TripClass::Class10);
    tripClass.refreshNeighbours();
    QCOMPARE(int(tripClass.getPrevious()), 4);

    auto& current = f.database->getSettings().getNominalCurrentValue();
    current.setValue(9.9f);
    current.init();
    QCOMPARE(current.getPrevious(), 0.1f);
    QCOMPARE(current.getNext(), 9.8f);
}

void TestModelValues::requestSendsTheValue_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<double>("value");
    QTest::addColumn<QByteArray>("argument");

    using ID = ModelValueID;
    const auto row = [](const char* name, ID id, double v, const char* hex) {
        QTest::newRow(name) << int(id) << v << QByteArray::fromHex(hex);
    };
    row("8-bit", ID::SoftstartMinVoltage, 0xAB, "ab");
    row("enumeration", ID::TripClass, 5, "05");
    row("bool", ID::OverloadReset, 1, "01");
    row("char", ID::ArticleIndex, 0xC4, "c4");
    row("16-bit", ID::ProductionYear, 0x1234, "3412");
    row("32-bit", ID::SerialNumber, 0x89ABCDEF, "efcdab89");
    row("device type", ID::ArticleNumber, 51326, "7ec80000");
    row("float", ID::NominalCurrent, 2.5, "00002040");
}

void TestModelValues::requestSendsTheValue()
{
    QFETCH(int, id);
    QFETCH(double, value);
    QFETCH(QByteArray, argument);

    Fixture f;
    f.build();
    QVERIFY(assign(f.value(id), value));
    ModelValueEvent request(ModelValueEvent::Request, ModelValueID(id), nullptr, 0);
    f.values.notify(EventClass::ModelValueEvents, request);

    QCOMPARE(f.log.size(), std::size_t(1));
    const TaloLinkPacket packet = TaloLinkPacket::decode(f.log.front().bytes);
    QVERIFY(packet.isChecksumValid());
    QCOMPARE(packet.command, TaloLinkCommandID::SetModelValue);
    QCOMPARE(packet.args.size(), std::size_t(2));
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(packet.args[0].data), packet.args[0].length),
        QByteArray(1, char(id)) + QByteArray(1, '\0'));
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(packet.args[1].data), packet.args[1].length),
        argument);
}

QTEST_GUILESS_MAIN(TestModelValues)
#include "tst_modelvalues.moc"
