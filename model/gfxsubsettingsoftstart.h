#pragma once

#include "model/modeldisplayvalue.h"

namespace Model::Database::GFX {

// Position in the softstart sub-menu of the device display.
class SubSettingSoftstart final
    : public Interfaces::ModelDisplayValue<Interfaces::ModelTypes::GFX::SoftstartSubSetting>
{
public:
    SubSettingSoftstart(Application& application, Registry& registry)
        : ModelDisplayValue(Interfaces::ModelValueID::SubSettingSoftstart,
            Interfaces::ModelTypes::GFX::SoftstartSubSetting::Enable,
            Interfaces::ModelTypes::GFX::SoftstartSubSetting::Back,
            Interfaces::ModelTypes::GFX::SoftstartSubSetting::MinVoltage, application, registry)
    {
    }
};

} // namespace Model::Database::GFX
