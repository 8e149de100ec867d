#include "link/terminalresponseformatter.h"

#include <QtTest>

#include <cstring>

using Component::Interfaces::TaloLinkCommandID;
using Component::Interfaces::TaloLinkPacket;
using Service::R58::TerminalResponseFormatter;

Q_DECLARE_METATYPE(TaloLinkCommandID)

namespace {

QByteArray f32(float value)
{
    QByteArray bytes(4, '\0');
    std::memcpy(bytes.data(), &value, 4);
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
std::optional<QByteArray> format(TaloLinkCommandID command, const QList<QByteArray>& arguments)
{
    TaloLinkPacket::ArgList args;
    for (const QByteArray& a : arguments)
        args.append(
            {reinterpret_cast<const std::uint8_t*>(a.constData()), std::uint16_t(a.size())});
    return TerminalResponseFormatter::format(TaloLinkPacket::decode(TaloLinkPacket::build(
        command, TaloLinkPacket::Terminal::Platform, TaloLinkPacket::Terminal::Host, args)));
}

} // namespace

class TestTerminalResponse : public QObject
{
    Q_OBJECT

private slots:
    void lines_data();
    void lines();
};

void TestTerminalResponse::lines_data()
{
    QTest::addColumn<TaloLinkCommandID>("command");
    QTest::addColumn<QList<QByteArray>>("arguments");
    QTest::addColumn<QByteArray>("line");

    using C = TaloLinkCommandID;
    using L = QList<QByteArray>;
    QTest::newRow("version, high byte first")
        << C::GetHALVersion << L {b({4, 3, 2, 255})} << QByteArray("V255.2.3.4");
    QTest::newRow("failure status L3") << C::PhaseCtrlGetFailureStatus << L {b({2}), b({1})}
                                       << QByteArray("Index: L3, Failure status: true");
    QTest::newRow("index 7 is L1") << C::PhaseCtrlGetReadyStatus << L {b({7}), b({0})}
                                   << QByteArray("Index: L1, Ready status: false");
    QTest::newRow("static offset")
        << C::MeasurementGetStaticOffset << L {b({1}), b({1}), f32(0.25f)}
        << QByteArray("Index: L2, Unit: Current, Value: 0.25A");
    QTest::newRow("unknown unit is voltage")
        << C::MeasurementGetRMSValue << L {b({0}), b({9}), f32(230.0f)}
        << QByteArray("Index: L1, Unit: Voltage, Value: 230V");
    QTest::newRow("tiny gain") << C::MeasurementGetGainOffset << L {b({2}), b({0}), f32(0.00001f)}
                               << QByteArray("Index: L3, Unit: Voltage, Value: 1e-05V");
    QTest::newRow("waveform") << C::MeasurementGetWaveform << L {b({12}), f32(-3.125f)}
                              << QByteArray("Index: 12, Data: -3.125");
    QTest::newRow("temperature") << C::GetTemperature << L {b({3}), f32(41.5f)}
                                 << QString::fromUtf8("Temperature ID: 3, Value: 41.5°C").toUtf8();
    QTest::newRow("supply voltage")
        << C::GetSupplyVoltage << L {f32(3.3f)} << QByteArray("Supply voltage: 3.3V");
    QTest::newRow("thermal capacity in percent")
        << C::SetThermalCapacity << L {f32(0.5f)} << QByteArray("Thermal capacity: 50%");
    QTest::newRow("flash id raw") << C::ExternalFlashGetDeviceID << L {b({0xEF, 0x40, 0x18})}
                                  << b({0xEF, 0x40, 0x18});
    QTest::newRow("input status bit") << C::AnalogSignalsGetInputStatus << L {b({4}), b({0x10})}
                                      << QByteArray("Index: 4, Status: 1");
    QTest::newRow("dc protection 0x80") << C::DeviceProtectionGetDCProtection << L {b({0x80})}
                                        << QByteArray("DC Protection Status: 1");
    QTest::newRow("button down") << C::GetButtonStatus << L {b({2}), b({3})}
                                 << QByteArray("ButtonDown: 1");
    QTest::newRow("button 5 empty line")
        << C::GetButtonStatus << L {b({5}), b({1})} << QByteArray("");
    QTest::newRow("longer arguments are fine")
        << C::GetSupplyState << L {b({7, 8, 9})} << QByteArray("Supply state: 7");
    // Answers too short for their command, or without a formatter, give no line at all.
    const QByteArray none("<no line>");
    QTest::newRow("version of three bytes") << C::GetHALVersion << L {b({1, 2, 3})} << none;
    QTest::newRow("status without second") << C::PhaseCtrlGetReadyStatus << L {b({1})} << none;
    QTest::newRow("empty first argument") << C::StateMachineGetState << L {b({})} << none;
    QTest::newRow("float of two bytes") << C::GetAuxVoltage << L {b({1, 2})} << none;
    QTest::newRow("measurement without value")
        << C::MeasurementGetRMSValue << L {b({1}), b({1})} << none;
    QTest::newRow("button without state") << C::GetButtonStatus << L {b({5})} << none;
    QTest::newRow("flash id without args") << C::ExternalFlashGetDeviceID << L {} << none;
    QTest::newRow("no formatter for GetName") << C::GetName << L {b({'A'})} << none;
}

void TestTerminalResponse::lines()
{
    QFETCH(TaloLinkCommandID, command);
    QFETCH(QList<QByteArray>, arguments);
    QFETCH(QByteArray, line);
    QCOMPARE(TerminalResponseFormatter::handles(command), command != TaloLinkCommandID::GetName);
    QCOMPARE(format(command, arguments).value_or("<no line>"), line);
}

QTEST_GUILESS_MAIN(TestTerminalResponse)
#include "tst_terminalresponse.moc"
