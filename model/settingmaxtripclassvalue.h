#pragma once

#include "model/modeldisplayvalue.h"

namespace Model::Database::Setting {

// Highest trip class the device allows.
class MaxTripClassValue final
    : public Interfaces::ModelDisplayValue<Interfaces::ModelTypes::Settings::TripClass>
{
public:
    MaxTripClassValue(Application& application, Registry& registry)
        : ModelDisplayValue(Interfaces::ModelValueID::TripClassMax,
            Interfaces::ModelTypes::Settings::TripClass::Class40E,
            Interfaces::ModelTypes::Settings::TripClass::Class2E,
            Interfaces::ModelTypes::Settings::TripClass::Class40E, application, registry)
    {
    }
};

} // namespace Model::Database::Setting
