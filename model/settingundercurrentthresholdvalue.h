#pragma once

#include "model/modeldisplayvalue.h"

namespace Model::Database::Setting {

// Undercurrent limit, in amperes; the screens narrow its maximum to the nominal
// current.
class UndercurrentThresholdValue final : public Interfaces::ModelDisplayValue<float>
{
public:
    UndercurrentThresholdValue(Application& application, Registry& registry)
        : ModelDisplayValue(Interfaces::ModelValueID::UndercurrentThreshold, 0.1f, 0.0f, 9.9f,
            application, registry)
    {
    }
};

} // namespace Model::Database::Setting
