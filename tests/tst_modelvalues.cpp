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
using Model::Interfaces::ModelDisplayValue;
using Model::Interfaces::ModelValueEvent;
using Model::Interfaces::ModelValueID;
using Model::Interfaces::ModelValueIntf;
using Utilities::Events::EventClass;

namespace {

// A database on an application whose one link records what it writes.
struct Fixture
{
    Fixture()
    {
        application.addComponent(usb);
        database = std::make_unique<Model::Database::ModelDatabase>(application, values, actions);
    }
    ModelValueIntf* value(int id) { return values.getValue(ModelValueID(id)); }

    std::vector<WrittenFrame> log;
    TestApplication application;
    CaptureLink usb {ComponentID::TaloLinkUSB, log};
    Model::Observer::ModelValueObserver values;
    Model::Observer::ModelActionObserver actions;
    std::unique_ptr<Model::Database::ModelDatabase> database;
};

// Decodes `hex` into a value of type T whose default is 7 (true), so that a decoded 0 shows.
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

void TestModelValues::decode_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<QByteArray>("hex");
    QTest::addColumn<double>("expected");

    // 8-bit types read the first byte of 1, 2 or 4; any other length gives 0.
    QTest::newRow("u8 one byte") << "u8" << QByteArray("34") << double(0x34);
    QTest::newRow("u8 four bytes") << "u8" << QByteArray("78563412") << double(0x78);
    QTest::newRow("u8 three bytes") << "u8" << QByteArray("341256") << 0.0;
    QTest::newRow("u8 no bytes") << "u8" << QByteArray() << 0.0;
    QTest::newRow("char two bytes") << "char" << QByteArray("4142") << double('A');
    QTest::newRow("enum three bytes") << "tripclass" << QByteArray("050000") << 0.0;
    // bool looks at the whole word of the given length.
    QTest::newRow("bool high byte of word") << "bool" << QByteArray("0001") << 1.0;
    QTest::newRow("bool zero word") << "bool" << QByteArray("00000000") << 0.0;
    QTest::newRow("bool three bytes") << "bool" << QByteArray("010101") << 0.0;
    QTest::newRow("u16 one byte") << "u16" << QByteArray("ff") << 255.0;
    QTest::newRow("u16 four bytes") << "u16" << QByteArray("34127856") << double(0x1234);
    QTest::newRow("u16 three bytes") << "u16" << QByteArray("341278") << 0.0;
    QTest::newRow("u32 two bytes") << "u32" << QByteArray("3412") << double(0x1234);
    QTest::newRow("u32 all ones") << "u32" << QByteArray("ffffffff") << 4294967295.0;
    QTest::newRow("u32 three bytes") << "u32" << QByteArray("785634") << 0.0;
    // Floats need all four bytes and are never read past the data; beyond four the rest is
    // ignored.
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

    const double decoded = type == "u8" ? decodeInto<std::uint8_t>(hex)
        : type == "char"                ? decodeInto<char>(hex)
        : type == "tripclass"           ? decodeInto<Types::Settings::TripClass>(hex)
        : type == "bool"                ? decodeInto<bool>(hex)
        : type == "u16"                 ? decodeInto<std::uint16_t>(hex)
        : type == "u32"                 ? decodeInto<std::uint32_t>(hex)
                                        : decodeInto<float>(hex);
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
    // Numbers without a text.
    row("trip class unknown", ID::TripClass, 8, "");
    row("fault type unknown", ID::OvervoltageFaultType, 2, " ");
    row("error 15", ID::Error, 15, " ");
    row("mode unknown", ID::OperatingMode, 9, "Idle");
    row("housing type unknown", ID::HousingType, 5, "");
    row("menu unnamed 6", ID::Settings, 6, " ");
    // Numbers, flags and versions.
    row("overload automatic", ID::OverloadReset, 1, "Automatic");
    row("16-bit", ID::ProductionYear, 65535, "65535");
    row("serial number high bit", ID::SerialNumber, 2147483648.0, "-2147483648");
    row("version", ID::PlatformVersion, 0x0A000102, "V10.0.1.2");
    row("version all ones", ID::PlatformVersion, 4294967295.0, "V255.255.255.255");
    // Floats: cut, not rounded.
    row("current 1.25 cut", ID::NominalCurrent, 1.25, "1.2");
    row("load asymmetry", ID::LoadAsymmetryThreshold, 0.01f, "0.0");
    row("overvoltage cut", ID::OvervoltageThreshold, 253.9f, "253");
    // Measured voltages round and are limited; powers in kW.
    row("voltage rounds down", ID::MeasurementVoltage, 229.49f, "229");
    row("voltage rounds half up", ID::MeasurementVoltage, 229.5, "230");
    row("voltage limited", ID::MeasurementVoltage, 612.0, "600");
    row("voltage small negative", ID::MeasurementVoltage, -0.3f, "0");
    row("active power kW", ID::MeasurementActivePower, 1234.5, "1.23");
    row("apparent power cut", ID::MeasurementApparentPower, 999.9f, "0.99");
    row("reactive power limited", ID::MeasurementReactivePower, 20000.0, "9.99");
}

void TestModelValues::text()
{
    QFETCH(int, id);
    QFETCH(double, value);
    QFETCH(QString, expected);

    Fixture f;
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
    row("article index at Z", ID::ArticleIndex, 'Z', 'Y', 'A');
    row("warning above texts", ID::Warning, 16, 15, 0);
    // Unsigned 32-bit numbers compare as unsigned: the top half of the range steps too.
    row("version high bit", ID::PlatformVersion, 2147483648.0, 2147483647.0, 2147483649.0);
    row("version top", ID::PlatformVersion, 4294967295.0, 4294967294.0, 0);
    row("serial number zero", ID::SerialNumber, 0, 4294967295.0, 1);
    // The article number steps through the article numbers that exist.
    row("article number lowest", ID::ArticleNumber, 51310, 51326, 51314);
    row("article number highest", ID::ArticleNumber, 51326, 51322, 51310);
    row("article number unknown", ID::ArticleNumber, 51318, 51314, 51322);
    // Floats of 0.1: previous steps up, next down, each wrapping.
    row("nominal current at maximum", ID::NominalCurrent, 9.9f, 0.1f, 9.8f);
    row("nominal current off grid", ID::NominalCurrent, 1.25f, 1.4f, 1.2f);
    row("load asymmetry at maximum", ID::LoadAsymmetryThreshold, 1.0, 0.01f, 0.9f);
    row("load asymmetry at 0.1", ID::LoadAsymmetryThreshold, 0.1f, 0.2f, 0.01f);
    row("load asymmetry above maximum", ID::LoadAsymmetryThreshold, 1.5f, 0.01f, 1.0f);
    row("overvoltage half", ID::OvervoltageThreshold, 252.5, 254.0, 252.0);
    // Powers in whole watts from the truncated value; previous steps down.
    row("power fraction", ID::MeasurementActivePower, 12.7f, 11.0, 13.0);
    row("power at minimum", ID::MeasurementApparentPower, 0.0, 9999.0, 1.0);
    // Values the device reports may be out of every range, even not a number.
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
    row(ID::SoftstartRampUpTime, 201, 10);
    row(ID::UndercurrentThreshold, 100, 10);
    row(ID::MeasurementCurrent, 1001, 10);
    row(ID::MeasurementVoltage, 6001, 10);
    row(ID::LoadAsymmetryThreshold, 11, 10); // 0.01, then 0.1 to 1.0
    row(ID::UndervoltageThreshold, 601, 1);
    row(ID::MeasurementActivePower, 10000, 1);
}

// Walks the whole range one way from the minimum until it wraps back: every step stays in
// range and on the grid, and the other direction undoes it.
void TestModelValues::floatStepping()
{
    QFETCH(int, id);
    QFETCH(int, cycle);
    QFETCH(double, grid);

    Fixture f;
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
    row("bool", ID::OverloadReset, 1, "01");
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
    QVERIFY(assign(f.value(id), value));
    ModelValueEvent request(ModelValueEvent::Request, ModelValueID(id), nullptr, 0);
    f.values.notify(EventClass::ModelValueEvents, request);

    const QByteArray ident(reinterpret_cast<const char*>(&id), 2); // little-endian host
    TaloLinkPacket::ArgList args;
    for (const QByteArray* arg : {&ident, static_cast<const QByteArray*>(&argument)})
        args.append(
            {reinterpret_cast<const std::uint8_t*>(arg->constData()), std::uint16_t(arg->size())});
    QCOMPARE(f.log.size(), std::size_t(1));
    QCOMPARE(f.log.front().bytes.toHex(),
        TaloLinkPacket::build(TaloLinkCommandID::SetModelValue, TaloLinkPacket::Terminal::Host,
            TaloLinkPacket::Terminal::Platform, args)
            .toHex());
}

QTEST_GUILESS_MAIN(TestModelValues)
#include "tst_modelvalues.moc"
