#pragma once

#include "model/modeldisplayvalue.h"

namespace Model::Database::GFX {

// Position in the about sub-menu of the device display.
class SubSettingAbout final
    : public Interfaces::ModelDisplayValue<Interfaces::ModelTypes::GFX::AboutSubSetting>
{
public:
    SubSettingAbout(Application& application, Registry& registry)
        : ModelDisplayValue(Interfaces::ModelValueID::SubSettingAbout,
            Interfaces::ModelTypes::GFX::AboutSubSetting::Hardware,
            Interfaces::ModelTypes::GFX::AboutSubSetting::Back,
            static_cast<Interfaces::ModelTypes::GFX::AboutSubSetting>(3), application, registry)
    {
    }
};

} // namespace Model::Database::GFX
