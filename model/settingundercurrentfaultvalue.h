#pragma once

#include "model/modeldisplayvalue.h"

namespace Model::Database::Setting {

// How an undercurrent is treated.
class UndercurrentFaultValue final
    : public Interfaces::ModelDisplayValue<Interfaces::ModelTypes::Settings::FaultType>
{
public:
    UndercurrentFaultValue(Application& application, Registry& registry)
        : ModelDisplayValue(Interfaces::ModelValueID::UndercurrentFaultType,
            Interfaces::ModelTypes::Settings::FaultType::Warning,
            Interfaces::ModelTypes::Settings::FaultType::Warning,
            Interfaces::ModelTypes::Settings::FaultType::Error, application, registry)
    {
    }
};

} // namespace Model::Database::Setting
