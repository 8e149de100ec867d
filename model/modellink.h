#pragma once

#include "framework/abstractapplication.h"
#include "framework/componentid.h"
#include "link/talolinkcomponent.h"

namespace Model::Interfaces {

// The TaloLink component the application holds under `id`, or null when it
// holds none or the component there is not a TaloLink one. Values and actions
// look their links up once, when they are built.
inline Component::R58::TaloLinkComponent* findLink(
    Component::Interfaces::AbstractApplication& application, Component::Interfaces::ComponentID id)
{
    return dynamic_cast<Component::R58::TaloLinkComponent*>(application.getComponent(id));
}

} // namespace Model::Interfaces
