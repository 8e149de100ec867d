#pragma once

#include "model/modeldisplayvalue.h"

namespace Model::Database::Measurement {

// Measured voltage, in volts.
class VoltageValue final : public Interfaces::ModelDisplayValue<float>
{
public:
    VoltageValue(Application& application, Registry& registry)
        : ModelDisplayValue(
            Interfaces::ModelValueID::MeasurementVoltage, 0.0f, 0.0f, 600.0f, application, registry)
    {
    }

    using ModelDisplayValue::toString;
    // Shown in whole volts, rounded and limited to the maximum.
    [[nodiscard]] QString toString(const float& value) const override
    {
        return Interfaces::ModelValueFormat::roundedWhole(value, getMaximum());
    }
};

} // namespace Model::Database::Measurement
