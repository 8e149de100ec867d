#pragma once

#include "model/modeldisplayvalue.h"

namespace Model::Database::Setting {

// Whether the undervoltage limit is watched.
class UndervoltageEnableValue final : public Interfaces::ModelDisplayValue<bool>
{
public:
    UndervoltageEnableValue(Application& application, Registry& registry)
        : ModelDisplayValue(
            Interfaces::ModelValueID::UndervoltageEnable, false, false, true, application, registry)
    {
    }
};

} // namespace Model::Database::Setting
