#pragma once

#include "model/modeldisplayvalue.h"

namespace Model::Database::Operation {

// Thermal capacity used, in percent.
class CapacityValue final : public Interfaces::ModelDisplayValue<std::uint8_t>
{
public:
    CapacityValue(Application& application, Registry& registry)
        : ModelDisplayValue(
            Interfaces::ModelValueID::CapacityIndicator, 0, 0, 100, application, registry)
    {
    }
};

} // namespace Model::Database::Operation
