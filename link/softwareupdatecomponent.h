#pragma once

#include "framework/abstractcomponent.h"

namespace Component::R58 {

// Placeholder component for software updates under its own ID; it does nothing.
class SoftwareUpdateComponent : public Interfaces::AbstractComponent
{
public:
    SoftwareUpdateComponent() : AbstractComponent(Interfaces::ComponentID::SoftwareUpdate) { }

protected:
    void performStartup() override { }
    void performShutdown() override { }
};

} // namespace Component::R58
