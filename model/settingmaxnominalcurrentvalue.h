#pragma once

#include "model/modeldisplayvalue.h"

namespace Model::Database::Setting {

// Highest nominal current the device allows, in amperes.
class MaxNominalCurrentValue final : public Interfaces::ModelDisplayValue<float>
{
public:
    MaxNominalCurrentValue(Application& application, Registry& registry)
        : ModelDisplayValue(
            Interfaces::ModelValueID::NominalCurrentMax, 9.9f, 0.1f, 9.9f, application, registry)
    {
    }
};

} // namespace Model::Database::Setting
