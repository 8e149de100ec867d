#pragma once

#include "model/modeldisplayvalue.h"

namespace Model::Database::GFX {

// Position in the limit sub-menus of the device display.
class SubSettingLimit final
    : public Interfaces::ModelDisplayValue<Interfaces::ModelTypes::GFX::LimitSubSetting>
{
public:
    SubSettingLimit(Application& application, Registry& registry)
        : ModelDisplayValue(Interfaces::ModelValueID::SubSettingLimit,
            Interfaces::ModelTypes::GFX::LimitSubSetting::Enable,
            Interfaces::ModelTypes::GFX::LimitSubSetting::Back,
            Interfaces::ModelTypes::GFX::LimitSubSetting::Type, application, registry)
    {
    }
};

} // namespace Model::Database::GFX
