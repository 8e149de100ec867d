#pragma once

#include "model/modeldisplayvalue.h"

namespace Model::Database::Information {

// Firmware version of the device's main processor, one byte per part.
class PlatformVersionValue final : public Interfaces::ModelDisplayValue<std::uint32_t>
{
public:
    PlatformVersionValue(Application& application, Registry& registry)
        : ModelDisplayValue(
            Interfaces::ModelValueID::PlatformVersion, 0, 0, 0xFFFFFFFFu, application, registry)
    {
    }

    using ModelDisplayValue::toString;
    // "V" and the four bytes from the most significant down: V1.2.3.4.
    [[nodiscard]] QString toString(const std::uint32_t& value) const override
    {
        return QStringLiteral("V%1.%2.%3.%4")
            .arg(value >> 24)
            .arg((value >> 16) & 0xFFu)
            .arg((value >> 8) & 0xFFu)
            .arg(value & 0xFFu);
    }
};

} // namespace Model::Database::Information
