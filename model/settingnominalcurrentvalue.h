#pragma once

#include "model/modeldisplayvalue.h"

namespace Model::Database::Setting {

// Nominal current of the motor, in amperes; the screens narrow its maximum to
// the device's highest nominal current.
class NominalCurrentValue final : public Interfaces::ModelDisplayValue<float>
{
public:
    NominalCurrentValue(Application& application, Registry& registry)
        : ModelDisplayValue(
            Interfaces::ModelValueID::NominalCurrent, 1.0f, 0.1f, 9.9f, application, registry)
    {
    }
};

} // namespace Model::Database::Setting
