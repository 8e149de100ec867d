#pragma once

#include "model/modeldisplayvalue.h"

namespace Model::Database::GFX {

// Position in the settings menu of the device display.
class SettingValue final
    : public Interfaces::ModelDisplayValue<Interfaces::ModelTypes::GFX::Setting>
{
public:
    SettingValue(Application& application, Registry& registry)
        : ModelDisplayValue(Interfaces::ModelValueID::Settings,
            Interfaces::ModelTypes::GFX::Setting::TripClass,
            Interfaces::ModelTypes::GFX::Setting::Back, Interfaces::ModelTypes::GFX::Setting::About,
            application, registry)
    {
    }
};

} // namespace Model::Database::GFX
