#include "framework/eventsubject.h"

#include "framework/baseevent.h"
#include "framework/eventobserver.h"

namespace Utilities::Events {

void EventSubject::registerObserver(EventObserver& observer)
{
    m_observers.appendUnique(&observer);
}

void EventSubject::unregisterObserver(EventObserver& observer)
{
    m_observers.remove(&observer);
}

void EventSubject::sendEvent(EventClass eventClass, BaseEvent& event)
{
    // By index: an observer may unregister itself from inside notify().
    for (std::size_t i = 0; i < m_observers.size(); ++i) {
        EventObserver* observer = m_observers[i];
        if (observer->eventClass == eventClass && (observer->eventMask & event.type) != 0)
            observer->notify(eventClass, event);
    }
}

} // namespace Utilities::Events
