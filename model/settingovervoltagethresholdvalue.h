#pragma once

#include "model/modeldisplayvalue.h"

namespace Model::Database::Setting {

// Overvoltage limit, in volts.
class OvervoltageThresholdValue final : public Interfaces::ModelDisplayValue<float>
{
public:
    OvervoltageThresholdValue(Application& application, Registry& registry)
        : ModelDisplayValue(Interfaces::ModelValueID::OvervoltageThreshold, 253.0f, 0.0f, 600.0f,
            application, registry)
    {
    }

    using ModelDisplayValue::toString;
    // Volts are shown and stepped in whole numbers.
    [[nodiscard]] QString toString(const float& value) const override
    {
        return Interfaces::ModelValueFormat::cutDecimals(value, 0);
    }
    [[nodiscard]] float previous(const float& value) const override
    {
        return Interfaces::ModelValueFormat::stepUp(value, 1.0f, getMinimum(), getMaximum());
    }
    [[nodiscard]] float next(const float& value) const override
    {
        return Interfaces::ModelValueFormat::stepDown(value, 1.0f, getMinimum(), getMaximum());
    }
};

} // namespace Model::Database::Setting
