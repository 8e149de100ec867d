#pragma once

#include "model/modeldisplayvalue.h"

namespace Model::Database::Measurement {

// Measured current, in amperes.
class CurrentValue final : public Interfaces::ModelDisplayValue<float>
{
public:
    CurrentValue(Application& application, Registry& registry)
        : ModelDisplayValue(
            Interfaces::ModelValueID::MeasurementCurrent, 0.0f, 0.0f, 100.0f, application, registry)
    {
    }
};

} // namespace Model::Database::Measurement
