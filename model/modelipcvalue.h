#pragma once

#include "framework/abstractapplication.h"
#include "model/modelipcvalueobserver.h"
#include "model/modellink.h"
#include "model/modelvalue.h"
#include "model/modelvaluecodec.h"

namespace Model::Interfaces {

// A model value that talks to the device through the application's TaloLink
// components and is found by identifier through the registry it joins.
template <typename T> class ModelIPCValue : public ModelValue<T>
{
public:
    using Application = Component::Interfaces::AbstractApplication;
    using Registry = ModelIPCValueObserver;

    ModelIPCValue(
        ModelValueID id, const T& defaultValue, Application& application, Registry& registry)
        : ModelValue<T>(id, defaultValue),
          m_application(application),
          m_registry(registry),
          m_secondaryLink(
              findLink(application, Component::Interfaces::ComponentID::TaloLinkSecondary)),
          m_usbLink(findLink(application, Component::Interfaces::ComponentID::TaloLinkUSB))
    {
        // The registry keeps a plain pointer: the value leaves it in the destructor.
        m_registry.registerValue(*this);
    }
    ~ModelIPCValue() override { m_registry.unregisterValue(*this); }

    void init() override { }

    void transmit() override
    {
        for (Component::R58::TaloLinkComponent* link : {m_secondaryLink, m_usbLink}) {
            if (link)
                ModelValueCodec::send(*link, this->getID(), this->getValue());
        }
    }

    void receive(const std::uint8_t* data, std::uint64_t length) override
    {
        this->setValue(ModelValueCodec::decode<T>(data, length));
    }

    [[nodiscard]] QString toString() const override { return QString(); }

    [[nodiscard]] Application& getApplication() const { return m_application; }

protected:
    // Asks each present link for the value, the secondary one first.
    void request()
    {
        for (Component::R58::TaloLinkComponent* link : {m_secondaryLink, m_usbLink}) {
            if (link)
                link->getModelValue(this->getID());
        }
    }

private:
    Application& m_application;
    Registry& m_registry;
    Component::R58::TaloLinkComponent* m_secondaryLink;
    Component::R58::TaloLinkComponent* m_usbLink;
};

} // namespace Model::Interfaces
