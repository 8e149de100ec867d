#pragma once

#include "model/modeldisplayvalue.h"

namespace Model::Database::Setting {

// Whether the overvoltage limit is watched.
class OvervoltageEnableValue final : public Interfaces::ModelDisplayValue<bool>
{
public:
    OvervoltageEnableValue(Application& application, Registry& registry)
        : ModelDisplayValue(
            Interfaces::ModelValueID::OvervoltageEnable, false, false, true, application, registry)
    {
    }
};

} // namespace Model::Database::Setting
