#pragma once

#include "model/modeldisplayvalue.h"

namespace Model::Database::Setting {

// How an overvoltage is treated.
class OvervoltageFaultValue final
    : public Interfaces::ModelDisplayValue<Interfaces::ModelTypes::Settings::FaultType>
{
public:
    OvervoltageFaultValue(Application& application, Registry& registry)
        : ModelDisplayValue(Interfaces::ModelValueID::OvervoltageFaultType,
            Interfaces::ModelTypes::Settings::FaultType::Warning,
            Interfaces::ModelTypes::Settings::FaultType::Warning,
            Interfaces::ModelTypes::Settings::FaultType::Error, application, registry)
    {
    }
};

} // namespace Model::Database::Setting
