#pragma once

#include "model/modeldisplayvalue.h"

namespace Model::Database::Setting {

// How the device recovers from an overload: true resets automatically, false
// waits for the user.
class OverloadResetValue final : public Interfaces::ModelDisplayValue<bool>
{
public:
    OverloadResetValue(Application& application, Registry& registry)
        : ModelDisplayValue(
            Interfaces::ModelValueID::OverloadReset, false, false, true, application, registry)
    {
    }

    using ModelDisplayValue::toString;
    [[nodiscard]] QString toString(const bool& value) const override
    {
        return value ? QStringLiteral("Automatic") : QStringLiteral("Manual");
    }
};

} // namespace Model::Database::Setting
