#pragma once

#include "model/modelaction.h"

namespace Component::Interfaces {
class AbstractApplication;
}

namespace Component::R58 {
class TaloLinkComponent;
}

namespace Model::Interfaces {

class ModelIPCActionObserver;

// A model action sent to the device through the application's TaloLink
// components; it joins the action registry for its lifetime.
class ModelIPCAction : public ModelAction
{
public:
    using Application = Component::Interfaces::AbstractApplication;
    using Registry = ModelIPCActionObserver;

    ModelIPCAction(ModelActionID id, Application& application, Registry& registry);
    ~ModelIPCAction() override;

    void init() override { }
    // The host has nothing of its own to do for any action of this device.
    void execute() override { }
    // Sends the action through each present link, the secondary one first.
    void fire() override;

    [[nodiscard]] Application& getApplication() const { return m_application; }

private:
    Application& m_application;
    Registry& m_registry;
    Component::R58::TaloLinkComponent* m_secondaryLink;
    Component::R58::TaloLinkComponent* m_usbLink;
};

} // namespace Model::Interfaces
