#include "model/modelvalueid.h"

#include <QString>

#include <array>

namespace Model::Interfaces {

namespace {

// Indexed by identifier; the count marker is named too, like the command codes.
constexpr std::array<const char*, 56> Names = {
    "TripClass",
    "TripClassMax",
    "NominalCurrent",
    "NominalCurrentMax",
    "SoftstartEnable",
    "SoftstartRampUpTime",
    "SoftstartRampDownTime",
    "SoftstartMinVoltage",
    "CapacityDevice",
    "CapacityIndicator",
    "OperatingMode",
    "Settings",
    "SubSettingSoftstart",
    "SubSettingUndercurrent",
    "SubSettingUndervoltage",
    "SubSettingAbout",
    "SubSettingLimit",
    "Warning",
    "Error",
    "FaultPhase",
    "MeasurementPhase",
    "HousingEdge",
    "HousingBrightnessRed",
    "HousingBrightnessYellow",
    "PlatformState",
    "UndercurrentEnable",
    "UndercurrentThreshold",
    "UndercurrentFaultType",
    "UndervoltageEnable",
    "UndervoltageThreshold",
    "UndervoltageFaultType",
    "OvervoltageEnable",
    "OvervoltageThreshold",
    "OvervoltageFaultType",
    "MeasurementVoltage",
    "MeasurementCurrent",
    "MeasurementActivePower",
    "MeasurementApparentPower",
    "MeasurementReactivePower",
    "PlatformVersion",
    "HardwareIDControllerBoard",
    "HardwareIDPowerBoard",
    "HardwareIDDisplayBoard",
    "OverloadReset",
    "HousingType",
    "SerialNumber",
    "ArticleNumber",
    "ArticleIndex",
    "ProductionWeek",
    "ProductionYear",
    "ProductionDay",
    "SettingChanged",
    "LoadAsymmetryEnable",
    "LoadAsymmetryThreshold",
    "LoadAsymmetryFaultType",
    "MaxCount",
};

} // namespace

QString modelValueName(ModelValueID id)
{
    const auto index = static_cast<std::size_t>(id);
    if (index >= Names.size())
        return QStringLiteral("Unknown");
    return QString::fromLatin1(Names[index]);
}

} // namespace Model::Interfaces
