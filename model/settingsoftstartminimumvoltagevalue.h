#pragma once

#include "model/modeldisplayvalue.h"

namespace Model::Database::Setting {

// Voltage the softstart ramp begins at, in percent.
class SoftstartMinimumVoltageValue final : public Interfaces::ModelDisplayValue<std::uint8_t>
{
public:
    SoftstartMinimumVoltageValue(Application& application, Registry& registry)
        : ModelDisplayValue(
            Interfaces::ModelValueID::SoftstartMinVoltage, 50, 0, 100, application, registry)
    {
    }
};

} // namespace Model::Database::Setting
