#pragma once

#include "model/modeldisplayvalue.h"

namespace Model::Database::Setting {

// Softstart ramp-down time, in seconds.
class SoftstartRampDownTimeValue final : public Interfaces::ModelDisplayValue<float>
{
public:
    SoftstartRampDownTimeValue(Application& application, Registry& registry)
        : ModelDisplayValue(Interfaces::ModelValueID::SoftstartRampDownTime, 2.0f, 0.0f, 20.0f,
            application, registry)
    {
    }
};

} // namespace Model::Database::Setting
