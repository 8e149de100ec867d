#pragma once

#include "model/modeldisplayvalue.h"

namespace Model::Database::HousingLighting {

// Brightness of the red housing light, in percent.
class BrightnessRedValue final : public Interfaces::ModelDisplayValue<std::uint8_t>
{
public:
    BrightnessRedValue(Application& application, Registry& registry)
        : ModelDisplayValue(
            Interfaces::ModelValueID::HousingBrightnessRed, 0, 0, 100, application, registry)
    {
    }
};

} // namespace Model::Database::HousingLighting
