#pragma once

#include "framework/componentid.h"
#include "framework/eventsubject.h"
#include "framework/noncopyable.h"
#include "framework/runstate.h"

namespace Component::Interfaces {

// A leaf object that does one job for the services that hold it.
class AbstractComponent : public Utilities::Events::EventSubject, private Utilities::NonCopyable
{
public:
    explicit AbstractComponent(ComponentID id) : m_id(id) { }
    ~AbstractComponent() override = default;

    // Starts a component that is not running; a stopped one can start again.
    virtual void startup();
    // Stops a running component; does nothing otherwise.
    virtual void shutdown();

    [[nodiscard]] ComponentID getID() const { return m_id; }
    [[nodiscard]] bool isRunning() const { return m_state == RunState::Running; }
    [[nodiscard]] RunState getState() const { return m_state; }

protected:
    virtual void performStartup() = 0;
    virtual void performShutdown() = 0;

private:
    ComponentID m_id;
    RunState m_state = RunState::Created;
};

} // namespace Component::Interfaces
