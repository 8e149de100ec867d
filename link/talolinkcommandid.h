#pragma once

#include <cstdint>

class QString;

namespace Component::Interfaces {

// Command codes of TaloLink frames; the same code asks and answers.
enum class TaloLinkCommandID : std::uint16_t {
    Reset = 0,
    JumpToBootloader = 1,
    JumpToApplication = 2,
    GetSWVersion = 3,
    GetHALVersion = 4,
    GetName = 5,
    SetModelValue = 6,
    GetModelValue = 7,
    FireModelAction = 8,
    ApplicationUpdate = 9,
    BootloaderUpdate = 10,
    Memblock = 11,
    EraseSW = 12,
    InitEEPROM = 13,
    DumpEEPROM = 14,
    InitUserArea = 15,
    ExternalFlashGetDeviceID = 16,
    MainButtonSetLED = 17,
    PhaseCtrlSetRelay = 18,
    PhaseCtrlSetMosfet = 19,
    PhaseCtrlGetFailureStatus = 20,
    PhaseCtrlResetPhase = 21,
    PhaseCtrlGetReadyStatus = 22,
    MeasurementSetStaticOffset = 23,
    MeasurementSetGainOffset = 24,
    MeasurementGetWaveform = 25,
    StateMachineGetState = 26,
    StateMachineResetError = 27,
    AnalogSignalsSetRelay = 28,
    FanSetDutyCycle = 29,
    GetTemperature = 30,
    GetAuxVoltage = 31,
    GetSupplyVoltage = 32,
    GetSupplyState = 33,
    GetThermalCapacity = 34,
    SetThermalCapacity = 35,
    DisplayTestMode = 36,
    MeasurementGetRMSValue = 37,
    AnalogSignalsGetInputStatus = 38,
    GetButtonStatus = 39,
    MosfetMonitorGetState = 40,
    MeasurementGetStaticOffset = 41,
    MeasurementGetGainOffset = 42,
    MeasurementGetMovingAverageValue = 43,
    DeviceProtectionGetDCProtection = 44,
    DeviceProtectionSetDCProtection = 45,
    MaxCount = 46,
};

// The log name of a code; "Unknown" for numbers without one.
[[nodiscard]] QString commandName(TaloLinkCommandID id);

} // namespace Component::Interfaces
