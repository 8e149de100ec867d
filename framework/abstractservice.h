#pragma once

#include "framework/componentid.h"
#include "framework/eventobserver.h"
#include "framework/eventsubject.h"
#include "framework/noncopyable.h"
#include "framework/runstate.h"
#include "framework/serviceid.h"
#include "framework/staticvector.h"

#include <cstdint>

namespace Model::Interfaces {
enum class ModelValueID : std::uint16_t;
}

namespace Component::Interfaces {

class AbstractApplication;
class AbstractComponent;

// An object with a life cycle that uses components and observes model value events.
class AbstractService : public Utilities::Events::EventObserver,
                        public Utilities::Events::EventSubject,
                        private Utilities::NonCopyable
{
public:
    static constexpr int MaxComponents = 26;
    using ComponentList = Utilities::Container::StaticVector<AbstractComponent*, MaxComponents>;

    explicit AbstractService(ServiceID id);
    ~AbstractService() override = default;

    void notify(
        Utilities::Events::EventClass eventClass, Utilities::Events::BaseEvent& event) override;

    [[nodiscard]] ServiceID getID() const { return m_id; }
    [[nodiscard]] AbstractApplication* getParent() const { return m_parent; }
    void setParent(AbstractApplication& parent) { m_parent = &parent; }
    [[nodiscard]] bool isRunning() const { return m_state == RunState::Running; }
    [[nodiscard]] RunState getState() const { return m_state; }

    void addComponent(AbstractComponent& component);
    [[nodiscard]] AbstractComponent* getComponent(ComponentID id) const;
    [[nodiscard]] const ComponentList& getComponents() const { return m_components; }

    // Starts the components, then the service itself; callers start a service once.
    void startup();
    // Marks the service stopped, runs its hook, then stops the components.
    void shutdown();
    void startupComponents();
    void shutdownComponents();
    void start() { m_state = RunState::Running; }
    void stop() { m_state = RunState::Stopped; }
    void run();

protected:
    virtual void performStartup() = 0;
    virtual void performShutdown() = 0;
    virtual void performRun() = 0;
    virtual void onValueEvent(
        Model::Interfaces::ModelValueID id, Utilities::Events::BaseEvent& event);

private:
    ServiceID m_id;
    RunState m_state = RunState::Created;
    AbstractApplication* m_parent = nullptr;
    ComponentList m_components;
};

} // namespace Component::Interfaces
