#pragma once

#include "model/modeldisplayvalue.h"

namespace Model::Database::Setting {

// Trip class of the overload protection; the screens narrow its maximum to the
// device's highest trip class.
class TripClassValue final
    : public Interfaces::ModelDisplayValue<Interfaces::ModelTypes::Settings::TripClass>
{
public:
    TripClassValue(Application& application, Registry& registry)
        : ModelDisplayValue(Interfaces::ModelValueID::TripClass,
            Interfaces::ModelTypes::Settings::TripClass::Class2E,
            Interfaces::ModelTypes::Settings::TripClass::Class2E,
            Interfaces::ModelTypes::Settings::TripClass::Class40E, application, registry)
    {
    }
};

} // namespace Model::Database::Setting
