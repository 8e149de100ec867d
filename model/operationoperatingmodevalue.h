#pragma once

#include "model/modeldisplayvalue.h"

namespace Model::Database::Operation {

// What the motor is doing.
class OperatingModeValue final
    : public Interfaces::ModelDisplayValue<Interfaces::ModelTypes::Operation::Mode>
{
public:
    OperatingModeValue(Application& application, Registry& registry)
        : ModelDisplayValue(Interfaces::ModelValueID::OperatingMode,
            Interfaces::ModelTypes::Operation::Mode::Idle,
            Interfaces::ModelTypes::Operation::Mode::Idle,
            Interfaces::ModelTypes::Operation::Mode::SafetyStop, application, registry)
    {
    }
};

} // namespace Model::Database::Operation
