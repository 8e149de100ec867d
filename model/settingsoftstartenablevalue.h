#pragma once

#include "model/modeldisplayvalue.h"

namespace Model::Database::Setting {

// Whether the motor starts softly.
class SoftstartEnableValue final : public Interfaces::ModelDisplayValue<bool>
{
public:
    SoftstartEnableValue(Application& application, Registry& registry)
        : ModelDisplayValue(
            Interfaces::ModelValueID::SoftstartEnable, false, false, true, application, registry)
    {
    }
};

} // namespace Model::Database::Setting
