#pragma once

#include "model/modeldisplayvalue.h"

namespace Model::Database::Measurement {

// The phase the measurement display shows.
class PhaseValue final
    : public Interfaces::ModelDisplayValue<Interfaces::ModelTypes::Measurement::Phase>
{
public:
    PhaseValue(Application& application, Registry& registry)
        : ModelDisplayValue(Interfaces::ModelValueID::MeasurementPhase,
            static_cast<Interfaces::ModelTypes::Measurement::Phase>(0),
            static_cast<Interfaces::ModelTypes::Measurement::Phase>(0),
            static_cast<Interfaces::ModelTypes::Measurement::Phase>(3), application, registry)
    {
    }
};

} // namespace Model::Database::Measurement
