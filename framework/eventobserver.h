#pragma once

#include "framework/eventclass.h"

#include <cstdint>

namespace Utilities::Events {

class BaseEvent;

// Receives the events of one class whose type shares a bit with the mask.
class EventObserver
{
public:
    EventObserver(EventClass eventClass, std::uint32_t eventMask)
        : eventClass(eventClass), eventMask(eventMask)
    {
    }
    virtual ~EventObserver() = default;

    virtual void notify(EventClass eventClass, BaseEvent& event) = 0;

    EventClass eventClass;
    std::uint32_t eventMask;
};

} // namespace Utilities::Events
