#pragma once

#include "model/modeldisplayvalue.h"

namespace Model::Database::Setting {

// Whether the load asymmetry limit is watched.
class LoadAsymmetryEnableValue final : public Interfaces::ModelDisplayValue<bool>
{
public:
    LoadAsymmetryEnableValue(Application& application, Registry& registry)
        : ModelDisplayValue(Interfaces::ModelValueID::LoadAsymmetryEnable, false, false, true,
            application, registry)
    {
    }
};

} // namespace Model::Database::Setting
