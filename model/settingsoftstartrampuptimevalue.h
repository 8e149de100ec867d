#pragma once

#include "model/modeldisplayvalue.h"

namespace Model::Database::Setting {

// Softstart ramp-up time, in seconds.
class SoftstartRampUpTimeValue final : public Interfaces::ModelDisplayValue<float>
{
public:
    SoftstartRampUpTimeValue(Application& application, Registry& registry)
        : ModelDisplayValue(
            Interfaces::ModelValueID::SoftstartRampUpTime, 2.0f, 0.0f, 20.0f, application, registry)
    {
    }
};

} // namespace Model::Database::Setting
