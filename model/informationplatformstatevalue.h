#pragma once

#include "model/modeldisplayvalue.h"

namespace Model::Database::Information {

// Start-up state of the device's main processor.
class PlatformStateValue final
    : public Interfaces::ModelDisplayValue<Interfaces::ModelTypes::Bootup::PlatformState>
{
public:
    PlatformStateValue(Application& application, Registry& registry)
        : ModelDisplayValue(Interfaces::ModelValueID::PlatformState,
            Interfaces::ModelTypes::Bootup::PlatformState::Startup,
            Interfaces::ModelTypes::Bootup::PlatformState::Startup,
            Interfaces::ModelTypes::Bootup::PlatformState::Run, application, registry)
    {
    }
};

} // namespace Model::Database::Information
