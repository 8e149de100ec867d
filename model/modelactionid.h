#pragma once

#include <cstdint>

class QString;

namespace Model::Interfaces {

// Numbers of the device's model actions; they travel on the wire.
enum class ModelActionID : std::uint16_t {
    ResetError = 0,
    StartVoltageMeasurement = 1,
    StartCurrentMeasurement = 2,
    StartPowerMeasurement = 3,
    StopMeasurement = 4,
    FactoryReset = 5,
    MotorLeftOn = 6,
    MotorRightOn = 7,
    MotorStop = 8,
    MaintenanceSet = 9,
    MaintenanceReset = 10,
    StartDisplayUpdate = 11,
    StopDisplayUpdate = 12,
    MaxCount = 13,
};

// The enumerator name for 0 to 12; "Unknown" for any other number.
[[nodiscard]] QString modelActionName(ModelActionID id);

} // namespace Model::Interfaces
