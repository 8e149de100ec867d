#pragma once

#include <QString>

#include <cstdint>

// The enumerated types of the device's model values and their display texts.
// Every type but the device type is one byte on the wire.
namespace Model::Interfaces::ModelTypes {

namespace Settings {

// Trip class of the overload protection.
enum class TripClass : std::uint8_t {
    Class2E = 0,
    Class3E = 1,
    Class5 = 2,
    Class10A = 3,
    Class10 = 4,
    Class20 = 5,
    Class30 = 6,
    Class40E = 7,
};

// How a limit violation is treated.
enum class FaultType : std::uint8_t {
    Warning = 0,
    Error = 1,
};

} // namespace Settings

namespace Fault {

// The device's warning or error code.
enum class Type : std::uint8_t {
    DeviceOK = 0,
    ShortCircuit = 1,
    Overload = 2,
    PhaseAsymmetry = 3,
    PhaseLoss = 4,
    Undercurrent = 5,
    SupplyLoss = 6,
    UndervoltageSupply = 7,
    OvervoltageSupply = 8,
    Overtemperature = 9,
    UndervoltageAux = 10,
    OvervoltageAux = 11,
    DeviceError = 12,
    CommunicationError = 13,
    SecurityClearance = 14,
};

// The phase a fault concerns.
enum class Phase : std::uint8_t {
    L1 = 0,
    L2 = 1,
    L3 = 2,
    AllPhases = 3,
};

} // namespace Fault

namespace Measurement {

// Phase selected for the measurement display, 0 to 3.
enum class Phase : std::uint8_t {};

} // namespace Measurement

namespace Operation {

// Motor operating mode.
enum class Mode : std::uint8_t {
    Idle = 0,
    Forward = 1,
    Backward = 2,
    SafetyStop = 3,
};

} // namespace Operation

namespace Bootup {

// Start-up state of the device's main processor.
enum class PlatformState : std::uint8_t {
    Startup = 1,
    Init = 2,
    Run = 3,
};

} // namespace Bootup

namespace HousingLighting {

// Lit edge of the housing, 1 to 3.
enum class Edge : std::uint8_t {};
// Housing variant, 0 to 8.
enum class Type : std::uint8_t {};

} // namespace HousingLighting

namespace Information {

// The device's article number.
enum class DeviceType : std::uint32_t {
    Strand_2_6A = 51310,
    Strand_6_6A = 51314,
    StrandPlus_2_6A = 51322,
    StrandPlus_6_6A = 51326,
};

} // namespace Information

namespace GFX {

// Entry of the device display's settings menu.
enum class Setting : std::uint8_t {
    Back = 0,
    TripClass = 1,
    Current = 2,
    Undercurrent = 3,
    Undervoltage = 4,
    Overvoltage = 5,
    OverloadReset = 7,
    FactoryReset = 8,
    ManualOperation = 9,
    About = 11,
};

enum class SoftstartSubSetting : std::uint8_t {
    Back = 0,
    Enable = 1,
    RampUp = 2,
    RampDown = 3,
    MinVoltage = 4,
};

enum class LimitSubSetting : std::uint8_t {
    Back = 0,
    Enable = 1,
    Threshold = 2,
    Type = 3,
};

enum class AboutSubSetting : std::uint8_t {
    Back = 0,
    Hardware = 1,
    Software = 2,
};

} // namespace GFX

// Display texts. Numbers without a text give the empty text for the trip
// class, "Idle" for the operating mode and a single blank for the others,
// which keeps the layout of the screens that show them.
[[nodiscard]] QString toString(Settings::TripClass value);
[[nodiscard]] QString toString(Settings::FaultType value);
[[nodiscard]] QString toString(Fault::Type value);
[[nodiscard]] QString toString(Fault::Phase value);
[[nodiscard]] QString toString(Measurement::Phase value);
[[nodiscard]] QString toString(Operation::Mode value);
[[nodiscard]] QString toString(Bootup::PlatformState value);
[[nodiscard]] QString toString(HousingLighting::Edge value);
[[nodiscard]] QString toString(HousingLighting::Type value);
// The article number in decimal, its 32 bits read as a signed number.
[[nodiscard]] QString toString(Information::DeviceType value);
[[nodiscard]] QString toString(GFX::Setting value);
[[nodiscard]] QString toString(GFX::SoftstartSubSetting value);
[[nodiscard]] QString toString(GFX::LimitSubSetting value);
[[nodiscard]] QString toString(GFX::AboutSubSetting value);

} // namespace Model::Interfaces::ModelTypes
