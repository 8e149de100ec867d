#pragma once

#include "model/modeldisplayvalue.h"

namespace Model::Database::Setting {

// How a load asymmetry is treated.
class LoadAsymmetryFaultValue final
    : public Interfaces::ModelDisplayValue<Interfaces::ModelTypes::Settings::FaultType>
{
public:
    LoadAsymmetryFaultValue(Application& application, Registry& registry)
        : ModelDisplayValue(Interfaces::ModelValueID::LoadAsymmetryFaultType,
            Interfaces::ModelTypes::Settings::FaultType::Warning,
            Interfaces::ModelTypes::Settings::FaultType::Warning,
            Interfaces::ModelTypes::Settings::FaultType::Error, application, registry)
    {
    }
};

} // namespace Model::Database::Setting
