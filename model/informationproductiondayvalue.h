#pragma once

#include "model/modeldisplayvalue.h"

namespace Model::Database::Information {

// Production day; 0 until the device reports it, and 31 covers both a day of
// the week and a day of the month.
class ProductionDayValue final : public Interfaces::ModelDisplayValue<std::uint8_t>
{
public:
    ProductionDayValue(Application& application, Registry& registry)
        : ModelDisplayValue(
            Interfaces::ModelValueID::ProductionDay, 0, 0, 31, application, registry)
    {
    }
};

} // namespace Model::Database::Information
