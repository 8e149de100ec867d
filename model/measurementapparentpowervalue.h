#pragma once

#include "model/modeldisplayvalue.h"

#include <algorithm>

namespace Model::Database::Measurement {

// Measured apparent power, in volt-amperes.
class ApparentPowerValue final : public Interfaces::ModelDisplayValue<float>
{
public:
    ApparentPowerValue(Application& application, Registry& registry)
        : ModelDisplayValue(Interfaces::ModelValueID::MeasurementApparentPower, 0.0f, 0.0f, 9999.0f,
            application, registry)
    {
    }

    using ModelDisplayValue::toString;
    // Shown in thousands (kilowatts from watts) with two decimals, cut.
    [[nodiscard]] QString toString(const float& value) const override
    {
        return Interfaces::ModelValueFormat::cutDecimals(
            std::min(value / 1000.0f, getMaximum() / 1000.0f), 2);
    }
    // Steps in whole watts.
    [[nodiscard]] float previous(const float& value) const override
    {
        return Interfaces::ModelValueFormat::stepTruncatedDown(value, getMinimum(), getMaximum());
    }
    [[nodiscard]] float next(const float& value) const override
    {
        return Interfaces::ModelValueFormat::stepTruncatedUp(value, getMinimum(), getMaximum());
    }
};

} // namespace Model::Database::Measurement
