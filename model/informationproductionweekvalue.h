#pragma once

#include "model/modeldisplayvalue.h"

namespace Model::Database::Information {

// Production week of the year; 0 until the device reports it.
class ProductionWeekValue final : public Interfaces::ModelDisplayValue<std::uint8_t>
{
public:
    ProductionWeekValue(Application& application, Registry& registry)
        : ModelDisplayValue(
            Interfaces::ModelValueID::ProductionWeek, 0, 0, 53, application, registry)
    {
    }
};

} // namespace Model::Database::Information
