#pragma once

#include <cstdint>

namespace Utilities::Events {

// Base of all events. The type is a bit value matched against an observer's mask.
class BaseEvent
{
public:
    explicit BaseEvent(std::uint32_t eventType) : type(eventType) { }
    virtual ~BaseEvent() = default;

    std::uint32_t type = 0;
};

} // namespace Utilities::Events
