#pragma once

#include "model/modeldisplayvalue.h"

namespace Model::Database::HousingLighting {

// Brightness of the yellow housing light, in percent.
class BrightnessYellowValue final : public Interfaces::ModelDisplayValue<std::uint8_t>
{
public:
    BrightnessYellowValue(Application& application, Registry& registry)
        : ModelDisplayValue(
            Interfaces::ModelValueID::HousingBrightnessYellow, 0, 0, 100, application, registry)
    {
    }
};

} // namespace Model::Database::HousingLighting
