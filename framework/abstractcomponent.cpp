#include "framework/abstractcomponent.h"

namespace Component::Interfaces {

void AbstractComponent::startup()
{
    if (m_state == RunState::Running)
        return;
    performStartup();
    m_state = RunState::Running;
}

void AbstractComponent::shutdown()
{
    if (m_state != RunState::Running)
        return;
    performShutdown();
    m_state = RunState::Stopped;
}

} // namespace Component::Interfaces
