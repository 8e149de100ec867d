#pragma once

#include "model/modeldisplayvalue.h"

namespace Model::Database::Information {

// Production year; 0 until the device reports it, and 9999 covers both a
// two-digit and a four-digit year.
class ProductionYearValue final : public Interfaces::ModelDisplayValue<std::uint16_t>
{
public:
    ProductionYearValue(Application& application, Registry& registry)
        : ModelDisplayValue(
            Interfaces::ModelValueID::ProductionYear, 0, 0, 9999, application, registry)
    {
    }
};

} // namespace Model::Database::Information
