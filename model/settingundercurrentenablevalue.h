#pragma once

#include "model/modeldisplayvalue.h"

namespace Model::Database::Setting {

// Whether the undercurrent limit is watched.
class UndercurrentEnableValue final : public Interfaces::ModelDisplayValue<bool>
{
public:
    UndercurrentEnableValue(Application& application, Registry& registry)
        : ModelDisplayValue(
            Interfaces::ModelValueID::UndercurrentEnable, false, false, true, application, registry)
    {
    }
};

} // namespace Model::Database::Setting
