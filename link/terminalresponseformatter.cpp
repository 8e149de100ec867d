#include "link/terminalresponseformatter.h"

#include <QString>

#include <cstring>

namespace Service::R58 {

using Component::Interfaces::TaloLinkCommandID;

namespace {

// Bounds-checked reads of the answer's arguments; any failed read makes the
// whole answer unreadable (a sticky flag, so a line is built only from good reads).
class ArgReader
{
public:
    explicit ArgReader(const TerminalResponseFormatter::Packet& packet) : m_packet(packet) { }

    std::uint8_t byte(std::size_t index)
    {
        const auto* data = bytes(index, 1);
        return data ? data[0] : 0;
    }

    float real(std::size_t index)
    {
        float value = 0.0f;
        if (const auto* data = bytes(index, 4)) {
            const std::uint32_t bits = std::uint32_t(data[0]) | std::uint32_t(data[1]) << 8
                | std::uint32_t(data[2]) << 16 | std::uint32_t(data[3]) << 24;
            std::memcpy(&value, &bits, sizeof value);
        }
        return value;
    }

    QString version(std::size_t index)
    {
        const auto* data = bytes(index, 4);
        if (!data)
            return {};
        return QStringLiteral("V%1.%2.%3.%4").arg(data[3]).arg(data[2]).arg(data[1]).arg(data[0]);
    }

    [[nodiscard]] bool ok() const { return m_ok; }

private:
    const std::uint8_t* bytes(std::size_t index, std::size_t count)
    {
        if (index >= m_packet.args.size() || m_packet.args[index].length < count
            || m_packet.args[index].data == nullptr) {
            m_ok = false;
            return nullptr;
        }
        return m_packet.args[index].data;
    }

    const TerminalResponseFormatter::Packet& m_packet;
    bool m_ok = true;
};

QString general(float value)
{
    return QString::number(double(value), 'g', 6);
}
QString flag(std::uint8_t value)
{
    return value ? QStringLiteral("1") : QStringLiteral("0");
}
QString truth(std::uint8_t value)
{
    return value ? QStringLiteral("true") : QStringLiteral("false");
}

QString phase(std::uint8_t value)
{
    switch (value) {
    case 1:
        return QStringLiteral("L2");
    case 2:
        return QStringLiteral("L3");
    default:
        return QStringLiteral("L1");
    }
}

QString unitName(std::uint8_t value)
{
    return value == 1 ? QStringLiteral("Current") : QStringLiteral("Voltage");
}

QString unitSymbol(std::uint8_t value)
{
    return value == 1 ? QStringLiteral("A") : QStringLiteral("V");
}

QString measurement(ArgReader& in)
{
    const std::uint8_t index = in.byte(0);
    const std::uint8_t unit = in.byte(1);
    const float value = in.real(2);
    return QStringLiteral("Index: ") + phase(index) + QStringLiteral(", Unit: ") + unitName(unit)
        + QStringLiteral(", Value: ") + general(value) + unitSymbol(unit);
}

QString buttonStatus(ArgReader& in)
{
    const std::uint8_t button = in.byte(0);
    const std::uint8_t state = in.byte(1);
    switch (button) {
    case 0:
        return QStringLiteral("MainButton: ") + flag(state);
    case 1:
        return QStringLiteral("ButtonUp: ") + flag(state);
    case 2:
        return QStringLiteral("ButtonDown: ") + flag(state);
    default:
        return QString();
    }
}

} // namespace

bool TerminalResponseFormatter::handles(TaloLinkCommandID command)
{
    switch (command) {
    case TaloLinkCommandID::GetSWVersion:
    case TaloLinkCommandID::GetHALVersion:
    case TaloLinkCommandID::PhaseCtrlGetFailureStatus:
    case TaloLinkCommandID::PhaseCtrlGetReadyStatus:
    case TaloLinkCommandID::MeasurementGetStaticOffset:
    case TaloLinkCommandID::MeasurementGetGainOffset:
    case TaloLinkCommandID::MeasurementGetRMSValue:
    case TaloLinkCommandID::MeasurementGetMovingAverageValue:
    case TaloLinkCommandID::MeasurementGetWaveform:
    case TaloLinkCommandID::StateMachineGetState:
    case TaloLinkCommandID::GetTemperature:
    case TaloLinkCommandID::GetAuxVoltage:
    case TaloLinkCommandID::GetSupplyVoltage:
    case TaloLinkCommandID::GetSupplyState:
    case TaloLinkCommandID::SetThermalCapacity:
    case TaloLinkCommandID::ExternalFlashGetDeviceID:
    case TaloLinkCommandID::AnalogSignalsGetInputStatus:
    case TaloLinkCommandID::MosfetMonitorGetState:
    case TaloLinkCommandID::DeviceProtectionGetDCProtection:
    case TaloLinkCommandID::GetButtonStatus:
        return true;
    default:
        return false;
    }
}

std::optional<QByteArray> TerminalResponseFormatter::format(const Packet& packet)
{
    ArgReader in(packet);
    QString line;
    switch (packet.command) {
    case TaloLinkCommandID::GetSWVersion:
    case TaloLinkCommandID::GetHALVersion:
        line = in.version(0);
        break;
    case TaloLinkCommandID::PhaseCtrlGetFailureStatus:
        line = QStringLiteral("Index: ") + phase(in.byte(0)) + QStringLiteral(", Failure status: ")
            + truth(in.byte(1));
        break;
    case TaloLinkCommandID::PhaseCtrlGetReadyStatus:
        line = QStringLiteral("Index: ") + phase(in.byte(0)) + QStringLiteral(", Ready status: ")
            + truth(in.byte(1));
        break;
    case TaloLinkCommandID::MeasurementGetStaticOffset:
    case TaloLinkCommandID::MeasurementGetGainOffset:
    case TaloLinkCommandID::MeasurementGetRMSValue:
    case TaloLinkCommandID::MeasurementGetMovingAverageValue:
        line = measurement(in);
        break;
    case TaloLinkCommandID::MeasurementGetWaveform:
        line = QStringLiteral("Index: ") + QString::number(in.byte(0)) + QStringLiteral(", Data: ")
            + general(in.real(1));
        break;
    case TaloLinkCommandID::StateMachineGetState:
        line = QStringLiteral("State: ") + QString::number(in.byte(0));
        break;
    case TaloLinkCommandID::GetTemperature:
        line = QStringLiteral("Temperature ID: ") + QString::number(in.byte(0))
            + QStringLiteral(", Value: ") + general(in.real(1)) + QStringLiteral("°C");
        break;
    case TaloLinkCommandID::GetAuxVoltage:
        line = QStringLiteral("Aux voltage: ") + general(in.real(0)) + QLatin1Char('V');
        break;
    case TaloLinkCommandID::GetSupplyVoltage:
        line = QStringLiteral("Supply voltage: ") + general(in.real(0)) + QLatin1Char('V');
        break;
    case TaloLinkCommandID::GetSupplyState:
        line = QStringLiteral("Supply state: ") + QString::number(in.byte(0));
        break;
    case TaloLinkCommandID::SetThermalCapacity: {
        const float percent = in.real(0) * 100.0f;
        line = QStringLiteral("Thermal capacity: ") + general(percent) + QLatin1Char('%');
        break;
    }
    case TaloLinkCommandID::ExternalFlashGetDeviceID:
        // The raw identifier bytes, not a text.
        if (packet.args.empty())
            return std::nullopt;
        return QByteArray(
            reinterpret_cast<const char*>(packet.args[0].data), packet.args[0].length);
    case TaloLinkCommandID::AnalogSignalsGetInputStatus:
        line = QStringLiteral("Index: ") + QString::number(in.byte(0))
            + QStringLiteral(", Status: ") + flag(in.byte(1));
        break;
    case TaloLinkCommandID::MosfetMonitorGetState:
        line = QStringLiteral("Mosfet Monitor Status: ") + flag(in.byte(0));
        break;
    case TaloLinkCommandID::DeviceProtectionGetDCProtection:
        line = QStringLiteral("DC Protection Status: ") + flag(in.byte(0));
        break;
    case TaloLinkCommandID::GetButtonStatus:
        line = buttonStatus(in);
        break;
    default:
        return std::nullopt;
    }
    if (!in.ok())
        return std::nullopt;
    return line.toUtf8();
}

} // namespace Service::R58
