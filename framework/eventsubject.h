#pragma once

#include "framework/eventclass.h"
#include "framework/staticvector.h"

namespace Utilities::Events {

class BaseEvent;
class EventObserver;

// Delivers events synchronously, on the caller's thread, to registered observers.
class EventSubject
{
public:
    static constexpr int MaxObservers = 10;

    EventSubject() = default;
    virtual ~EventSubject() = default;

    virtual void registerObserver(EventObserver& observer);
    virtual void unregisterObserver(EventObserver& observer);
    virtual void sendEvent(EventClass eventClass, BaseEvent& event);

    [[nodiscard]] const Container::StaticVector<EventObserver*, MaxObservers>& getObservers() const
    {
        return m_observers;
    }

private:
    Container::StaticVector<EventObserver*, MaxObservers> m_observers;
};

} // namespace Utilities::Events
