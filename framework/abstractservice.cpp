#include "framework/abstractservice.h"

#include "framework/abstractcomponent.h"
#include "model/modelvalueevent.h"

namespace Component::Interfaces {

using Utilities::Events::BaseEvent;
using Utilities::Events::EventClass;

AbstractService::AbstractService(ServiceID id)
    : EventObserver(EventClass::ModelValueEvents, 0xFFFFFFFFu), m_id(id)
{
}

void AbstractService::notify(EventClass eventClass, BaseEvent& event)
{
    if (eventClass != EventClass::ModelValueEvents
        || event.type != static_cast<std::uint32_t>(Model::Interfaces::ModelValueEvent::Update))
        return;
    // Events of this class are always value events.
    auto& valueEvent = static_cast<Model::Interfaces::ModelValueEvent&>(event);
    onValueEvent(valueEvent.id, event);
}

void AbstractService::addComponent(AbstractComponent& component)
{
    m_components.appendUnique(&component);
}

AbstractComponent* AbstractService::getComponent(ComponentID id) const
{
    for (AbstractComponent* component : m_components) {
        if (component->getID() == id)
            return component;
    }
    return nullptr;
}

void AbstractService::startup()
{
    startupComponents();
    performStartup();
    m_state = RunState::Running;
}

void AbstractService::shutdown()
{
    m_state = RunState::Stopped;
    performShutdown();
    shutdownComponents();
}

void AbstractService::startupComponents()
{
    for (AbstractComponent* component : m_components)
        component->startup();
}

void AbstractService::shutdownComponents()
{
    for (AbstractComponent* component : m_components)
        component->shutdown();
}

void AbstractService::run()
{
    if (m_state == RunState::Running)
        performRun();
}

void AbstractService::onValueEvent(Model::Interfaces::ModelValueID /*id*/, BaseEvent& /*event*/)
{
}

} // namespace Component::Interfaces
