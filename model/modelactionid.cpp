#include "model/modelactionid.h"

#include <QString>

#include <array>

namespace Model::Interfaces {

namespace {

// Indexed by identifier; the count marker is not an action and has no name.
constexpr std::array<const char*, 13> Names = {
    "ResetError",
    "StartVoltageMeasurement",
    "StartCurrentMeasurement",
    "StartPowerMeasurement",
    "StopMeasurement",
    "FactoryReset",
    "MotorLeftOn",
    "MotorRightOn",
    "MotorStop",
    "MaintenanceSet",
    "MaintenanceReset",
    "StartDisplayUpdate",
    "StopDisplayUpdate",
};

} // namespace

QString modelActionName(ModelActionID id)
{
    const auto index = static_cast<std::size_t>(id);
    if (index >= Names.size())
        return QStringLiteral("Unknown");
    return QString::fromLatin1(Names[index]);
}

} // namespace Model::Interfaces
