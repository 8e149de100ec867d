#include "link/terminalresponseformatter.h"

#include <QtTest>

#include <cstring>
#include <vector>

using Component::Interfaces::TaloLinkCommandID;
using Component::Interfaces::TaloLinkPacket;
using Service::R58::TerminalResponseFormatter;

Q_DECLARE_METATYPE(TaloLinkCommandID)

namespace {

QByteArray f32(float value)
{
    QByteArray bytes(4, '\0');
    std::uint32_t bits;
    std::memcpy(&bits, &value, 4);
    for (int i = 0; i < 4; ++i)
        bytes[i] = char(bits >> (8 * i));
    return bytes;
}

QByteArray b(std::initializer_list<int> values)
{
    QByteArray bytes;
    for (int v : values)
        bytes.append(char(v));
    return bytes;
}

// An answer from the platform as it arrives: built, then decoded from its bytes.
TaloLinkPacket answer(TaloLinkCommandID command, const QList<QByteArray>& arguments)
{
    TaloLinkPacket::ArgList args;
    for (const QByteArray& a : arguments)
        args.append(
            {reinterpret_cast<const std::uint8_t*>(a.constData()), std::uint16_t(a.size())});
    return TaloLinkPacket::decode(TaloLinkPacket::build(
        command, TaloLinkPacket::Terminal::Platform, TaloLinkPacket::Terminal::Host, args));
}

} // namespace

class TestTerminalResponse : public QObject
{
    Q_OBJECT

private slots:
    void lines_data();
    void lines();
    void shortAnswersGiveNoLine_data();
    void shortAnswersGiveNoLine();
};

void TestTerminalResponse::lines_data()
{
    QTest::addColumn<TaloLinkCommandID>("command");
    QTest::addColumn<QList<QByteArray>>("arguments");
    QTest::addColumn<QByteArray>("line");

    using C = TaloLinkCommandID;
    QTest::newRow("sw version") << C::GetSWVersion << QList<QByteArray> {b({4, 3, 2, 1})}
                                << QByteArray("V1.2.3.4");
    QTest::newRow("hal version 255")
        << C::GetHALVersion << QList<QByteArray> {b({0, 0, 0, 255})} << QByteArray("V255.0.0.0");
    QTest::newRow("failure status L3")
        << C::PhaseCtrlGetFailureStatus << QList<QByteArray> {b({2}), b({1})}
        << QByteArray("Index: L3, Failure status: true");
    QTest::newRow("ready status index 7 is L1")
        << C::PhaseCtrlGetReadyStatus << QList<QByteArray> {b({7}), b({0})}
        << QByteArray("Index: L1, Ready status: false");
    QTest::newRow("static offset")
        << C::MeasurementGetStaticOffset << QList<QByteArray> {b({1}), b({1}), f32(0.25f)}
        << QByteArray("Index: L2, Unit: Current, Value: 0.25A");
    QTest::newRow("rms voltage, unknown unit")
        << C::MeasurementGetRMSValue << QList<QByteArray> {b({0}), b({9}), f32(230.0f)}
        << QByteArray("Index: L1, Unit: Voltage, Value: 230V");
    QTest::newRow("gain tiny") << C::MeasurementGetGainOffset
                               << QList<QByteArray> {b({2}), b({0}), f32(0.00001f)}
                               << QByteArray("Index: L3, Unit: Voltage, Value: 1e-05V");
    QTest::newRow("moving average")
        << C::MeasurementGetMovingAverageValue << QList<QByteArray> {b({1}), b({1}), f32(1.5f)}
        << QByteArray("Index: L2, Unit: Current, Value: 1.5A");
    QTest::newRow("waveform") << C::MeasurementGetWaveform
                              << QList<QByteArray> {b({12}), f32(-3.125f)}
                              << QByteArray("Index: 12, Data: -3.125");
    QTest::newRow("state") << C::StateMachineGetState << QList<QByteArray> {b({200})}
                           << QByteArray("State: 200");
    QTest::newRow("temperature") << C::GetTemperature << QList<QByteArray> {b({3}), f32(41.5f)}
                                 << QString::fromUtf8("Temperature ID: 3, Value: 41.5°C").toUtf8();
    QTest::newRow("aux voltage") << C::GetAuxVoltage << QList<QByteArray> {f32(24.0f)}
                                 << QByteArray("Aux voltage: 24V");
    QTest::newRow("supply voltage") << C::GetSupplyVoltage << QList<QByteArray> {f32(3.3f)}
                                    << QByteArray("Supply voltage: 3.3V");
    QTest::newRow("supply state") << C::GetSupplyState << QList<QByteArray> {b({1})}
                                  << QByteArray("Supply state: 1");
    QTest::newRow("thermal capacity") << C::SetThermalCapacity << QList<QByteArray> {f32(0.5f)}
                                      << QByteArray("Thermal capacity: 50%");
    QTest::newRow("flash id raw") << C::ExternalFlashGetDeviceID
                                  << QList<QByteArray> {b({0xEF, 0x40, 0x18})}
                                  << b({0xEF, 0x40, 0x18});
    QTest::newRow("input status") << C::AnalogSignalsGetInputStatus
                                  << QList<QByteArray> {b({4}), b({0x10})}
                                  << QByteArray("Index: 4, Status: 1");
    QTest::newRow("mosfet") << C::MosfetMonitorGetState << QList<QByteArray> {b({0})}
                            << QByteArray("Mosfet Monitor Status: 0");
    QTest::newRow("dc protection 0x80")
        << C::DeviceProtectionGetDCProtection << QList<QByteArray> {b({0x80})}
        << QByteArray("DC Protection Status: 1");
    QTest::newRow("main button") << C::GetButtonStatus << QList<QByteArray> {b({0}), b({1})}
                                 << QByteArray("MainButton: 1");
    QTest::newRow("button up") << C::GetButtonStatus << QList<QByteArray> {b({1}), b({0})}
                               << QByteArray("ButtonUp: 0");
    QTest::newRow("button down") << C::GetButtonStatus << QList<QByteArray> {b({2}), b({3})}
                                 << QByteArray("ButtonDown: 1");
    QTest::newRow("button 5 empty line")
        << C::GetButtonStatus << QList<QByteArray> {b({5}), b({1})} << QByteArray("");
    QTest::newRow("longer arguments are fine")
        << C::GetSupplyState << QList<QByteArray> {b({7, 8, 9})} << QByteArray("Supply state: 7");
}

void TestTerminalResponse::lines()
{
    QFETCH(TaloLinkCommandID, command);
    QFETCH(QList<QByteArray>, arguments);
    QFETCH(QByteArray, line);

    QVERIFY(TerminalResponseFormatter::handles(command));
    const auto result = TerminalResponseFormatter::format(answer(command, arguments));
    QVERIFY(result.has_value());
    QCOMPARE(*result, line);
}

void TestTerminalResponse::shortAnswersGiveNoLine_data()
{
    QTest::addColumn<TaloLinkCommandID>("command");
    QTest::addColumn<QList<QByteArray>>("arguments");

    using C = TaloLinkCommandID;
    QTest::newRow("version without args") << C::GetSWVersion << QList<QByteArray> {};
    QTest::newRow("version of three bytes") << C::GetHALVersion << QList<QByteArray> {b({1, 2, 3})};
    QTest::newRow("status without second")
        << C::PhaseCtrlGetReadyStatus << QList<QByteArray> {b({1})};
    QTest::newRow("empty first argument") << C::StateMachineGetState << QList<QByteArray> {b({})};
    QTest::newRow("float of two bytes") << C::GetAuxVoltage << QList<QByteArray> {b({1, 2})};
    QTest::newRow("measurement without value")
        << C::MeasurementGetRMSValue << QList<QByteArray> {b({1}), b({1})};
    QTest::newRow("button without state") << C::GetButtonStatus << QList<QByteArray> {b({5})};
    QTest::newRow("flash id without args") << C::ExternalFlashGetDeviceID << QList<QByteArray> {};
    QTest::newRow("no formatter for GetThermalCapacity")
        << C::GetThermalCapacity << QList<QByteArray> {f32(0.5f)};
    QTest::newRow("no formatter for GetName") << C::GetName << QList<QByteArray> {b({'A'})};
}

void TestTerminalResponse::shortAnswersGiveNoLine()
{
    QFETCH(TaloLinkCommandID, command);
    QFETCH(QList<QByteArray>, arguments);
    QVERIFY(!TerminalResponseFormatter::format(answer(command, arguments)).has_value());
}

QTEST_GUILESS_MAIN(TestTerminalResponse)
#include "tst_terminalresponse.moc"
