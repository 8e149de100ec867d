#pragma once

#include "model/modeldisplayvalue.h"

namespace Model::Database::Setting {

// How an undervoltage is treated.
class UndervoltageFaultValue final
    : public Interfaces::ModelDisplayValue<Interfaces::ModelTypes::Settings::FaultType>
{
public:
    UndervoltageFaultValue(Application& application, Registry& registry)
        : ModelDisplayValue(Interfaces::ModelValueID::UndervoltageFaultType,
            Interfaces::ModelTypes::Settings::FaultType::Warning,
            Interfaces::ModelTypes::Settings::FaultType::Warning,
            Interfaces::ModelTypes::Settings::FaultType::Error, application, registry)
    {
    }
};

} // namespace Model::Database::Setting
