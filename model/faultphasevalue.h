#pragma once

#include "model/modeldisplayvalue.h"

namespace Model::Database::Fault {

// The phase the reported fault concerns.
class PhaseValue final : public Interfaces::ModelDisplayValue<Interfaces::ModelTypes::Fault::Phase>
{
public:
    PhaseValue(Application& application, Registry& registry)
        : ModelDisplayValue(Interfaces::ModelValueID::FaultPhase,
            Interfaces::ModelTypes::Fault::Phase::L1, Interfaces::ModelTypes::Fault::Phase::L1,
            Interfaces::ModelTypes::Fault::Phase::AllPhases, application, registry)
    {
    }
};

} // namespace Model::Database::Fault
