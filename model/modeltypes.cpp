#include "model/modeltypes.h"

#include <array>
#include <cstddef>

namespace Model::Interfaces::ModelTypes {

namespace {

// Looks a text up by the enumeration's number; `fallback` outside the table.
template <typename Enum, std::size_t N>
QString lookUp(Enum value, const std::array<const char*, N>& texts, const char* fallback)
{
    const auto index = static_cast<std::size_t>(value);
    return QString::fromLatin1(index < N ? texts[index] : fallback);
}

const char* const Blank = " ";

} // namespace

QString toString(Settings::TripClass value)
{
    static constexpr std::array<const char*, 8> Texts
        = {"2E", "3E", "5", "10A", "10", "20", "30", "40E"};
    return lookUp(value, Texts, "");
}

QString toString(Settings::FaultType value)
{
    static constexpr std::array<const char*, 2> Texts = {"Warning", "Error"};
    return lookUp(value, Texts, Blank);
}

QString toString(Fault::Type value)
{
    static constexpr std::array<const char*, 15> Texts = {"Device OK", "Short Circuit", "Overload",
        "Phase Asymmetry", "Phase Loss", "Undercurrent", "Supply Loss", "Undervoltage Supply",
        "Overvoltage Supply", "Overtemperature", "Undervoltage Aux", "Overvoltage Aux",
        "Device Error", "Communication Error", "Security Clearance"};
    return lookUp(value, Texts, Blank);
}

QString toString(Fault::Phase value)
{
    static constexpr std::array<const char*, 4> Texts = {"L1", "L2", "L3", "L1 / L2 / L3"};
    return lookUp(value, Texts, Blank);
}

QString toString(Measurement::Phase value)
{
    return QString::number(static_cast<unsigned>(value));
}

QString toString(Operation::Mode value)
{
    static constexpr std::array<const char*, 4> Texts
        = {"Idle", "Forward", "Backward", "Safety Stop"};
    return lookUp(value, Texts, "Idle");
}

QString toString(Bootup::PlatformState value)
{
    static constexpr std::array<const char*, 4> Texts = {" ", "Startup", "Init", "Run"};
    return lookUp(value, Texts, Blank);
}

QString toString(HousingLighting::Edge value)
{
    return QString::number(static_cast<unsigned>(value));
}

QString toString(HousingLighting::Type /*value*/)
{
    return QString();
}

QString toString(Information::DeviceType value)
{
    return QString::number(static_cast<std::int32_t>(value));
}

QString toString(GFX::Setting value)
{
    static constexpr std::array<const char*, 12> Texts
        = {"-Back-", "Trip Class", "Current", "Undercu.", "Undervo.", "Overvo.", " ", "Over. Res.",
            "Fact. Res.", "Man. Op.", " ", "About"};
    return lookUp(value, Texts, Blank);
}

QString toString(GFX::SoftstartSubSetting value)
{
    static constexpr std::array<const char*, 5> Texts
        = {"-Back-", "Enable", "Ramp+", "Ramp-", "MinVolt"};
    return lookUp(value, Texts, Blank);
}

QString toString(GFX::LimitSubSetting value)
{
    static constexpr std::array<const char*, 4> Texts = {"-Back-", "Enable", "Thresh.", "Type"};
    return lookUp(value, Texts, Blank);
}

QString toString(GFX::AboutSubSetting value)
{
    static constexpr std::array<const char*, 3> Texts = {"-Back-", "HW", "SW"};
    return lookUp(value, Texts, Blank);
}

} // namespace Model::Interfaces::ModelTypes
