#pragma once

#include "model/phasedmeasurementvalue.h"

namespace Model::Database::Measurement {

// Measured voltage, in volts.
class VoltageValue final : public PhasedMeasurementValue
{
public:
    VoltageValue(Application& application, Registry& registry, const PhaseValue& phase)
        : PhasedMeasurementValue(
            Interfaces::ModelValueID::MeasurementVoltage, 600.0f, application, registry, phase)
    {
    }

    using PhasedMeasurementValue::toString;
    // Shown in whole volts, rounded and limited to the maximum.
    [[nodiscard]] QString toString(const float& value) const override
    {
        return Interfaces::ModelValueFormat::roundedWhole(value, getMaximum());
    }
};

} // namespace Model::Database::Measurement
