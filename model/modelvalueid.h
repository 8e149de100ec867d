#pragma once

#include <cstdint>

class QString;

namespace Model::Interfaces {

// Numbers of the device's model values; they travel on the wire.
enum class ModelValueID : std::uint16_t {
    TripClass = 0,
    TripClassMax = 1,
    NominalCurrent = 2,
    NominalCurrentMax = 3,
    SoftstartEnable = 4,
    SoftstartRampUpTime = 5,
    SoftstartRampDownTime = 6,
    SoftstartMinVoltage = 7,
    CapacityDevice = 8,
    CapacityIndicator = 9,
    OperatingMode = 10,
    Settings = 11,
    SubSettingSoftstart = 12,
    SubSettingUndercurrent = 13,
    SubSettingUndervoltage = 14,
    SubSettingAbout = 15,
    SubSettingLimit = 16,
    Warning = 17,
    Error = 18,
    FaultPhase = 19,
    MeasurementPhase = 20,
    HousingEdge = 21,
    HousingBrightnessRed = 22,
    HousingBrightnessYellow = 23,
    PlatformState = 24,
    UndercurrentEnable = 25,
    UndercurrentThreshold = 26,
    UndercurrentFaultType = 27,
    UndervoltageEnable = 28,
    UndervoltageThreshold = 29,
    UndervoltageFaultType = 30,
    OvervoltageEnable = 31,
    OvervoltageThreshold = 32,
    OvervoltageFaultType = 33,
    MeasurementVoltage = 34,
    MeasurementCurrent = 35,
    MeasurementActivePower = 36,
    MeasurementApparentPower = 37,
    MeasurementReactivePower = 38,
    PlatformVersion = 39,
    HardwareIDControllerBoard = 40,
    HardwareIDPowerBoard = 41,
    HardwareIDDisplayBoard = 42,
    OverloadReset = 43,
    HousingType = 44,
    SerialNumber = 45,
    ArticleNumber = 46,
    ArticleIndex = 47,
    ProductionWeek = 48,
    ProductionYear = 49,
    ProductionDay = 50,
    SettingChanged = 51,
    LoadAsymmetryEnable = 52,
    LoadAsymmetryThreshold = 53,
    LoadAsymmetryFaultType = 54,
    MaxCount = 55,
};

// The enumerator name; "Unknown" for a number without one.
[[nodiscard]] QString modelValueName(ModelValueID id);

} // namespace Model::Interfaces
