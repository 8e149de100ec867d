#pragma once

#include "model/modeldisplayvalue.h"

namespace Model::Database::Information {

// Serial number of the device; any 32-bit number, shown as a signed one like
// the device itself shows it.
class SerialNumberValue final : public Interfaces::ModelDisplayValue<std::uint32_t>
{
public:
    SerialNumberValue(Application& application, Registry& registry)
        : ModelDisplayValue(
            Interfaces::ModelValueID::SerialNumber, 0, 0, 0xFFFFFFFFu, application, registry)
    {
    }
};

} // namespace Model::Database::Information
