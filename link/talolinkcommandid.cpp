#include "link/talolinkcommandid.h"

#include <QString>

#include <array>

namespace Component::Interfaces {

namespace {

constexpr std::array<const char*, 47> Names = {
    "Reset",
    "JumpToBootloader",
    "JumpToApplication",
    "GetSWVersion",
    "GetHALVersion",
    "GetName",
    "SetModelValue",
    "GetModelValue",
    "FireModelAction",
    "ApplicationUpdate",
    "BootloaderUpdate",
    "Memblock",
    "EraseSW",
    "InitEEPROM",
    "DumpEEPROM",
    "InitUserArea",
    "ExternalFlashGetDeviceID",
    "MainButtonSetLED",
    "PhaseCtrlSetRelay",
    "PhaseCtrlSetMosfet",
    "PhaseCtrlGetFailureStatus",
    "PhaseCtrlResetPhase",
    "PhaseCtrlGetReadyStatus",
    "MeasurementSetStaticOffset",
    "MeasurementSetGainOffset",
    "MeasurementGetWaveform",
    "StateMachineGetState",
    "StateMachineResetError",
    "AnalogSignalsSetRelay",
    "FanSetDutyCycle",
    "GetTemperature",
    "GetAuxVoltage",
    "GetSupplyVoltage",
    "GetSupplyState",
    "GetThermalCapacity",
    "SetThermalCapacity",
    "DisplayTestMode",
    "MeasurementGetRMSValue",
    "AnalogSignalsGetInputStatus",
    "GetButtonStatus",
    "MosfetMonitorGetState",
    "MeasurementGetStaticOffset",
    "MeasurementGetGainOffset",
    "MeasurementGetMovingAverageValue",
    "DeviceProtectionGetDCProtection",
    "DeviceProtectionSetDCProtection",
    "MaxCount",
};

} // namespace

QString commandName(TaloLinkCommandID id)
{
    const auto index = static_cast<std::size_t>(id);
    if (index >= Names.size())
        return QStringLiteral("Unknown");
    return QString::fromLatin1(Names[index]);
}

} // namespace Component::Interfaces
