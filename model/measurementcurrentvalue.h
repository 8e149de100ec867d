#pragma once

#include "model/phasedmeasurementvalue.h"

namespace Model::Database::Measurement {

// Measured current, in amperes.
class CurrentValue final : public PhasedMeasurementValue
{
public:
    CurrentValue(Application& application, Registry& registry, const PhaseValue& phase)
        : PhasedMeasurementValue(
            Interfaces::ModelValueID::MeasurementCurrent, 100.0f, application, registry, phase)
    {
    }
};

} // namespace Model::Database::Measurement
