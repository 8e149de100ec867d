#pragma once

#include <cstdint>

namespace Utilities::Events {

// The family an event belongs to; an observer accepts exactly one family.
enum class EventClass : std::uint32_t {
    ModelValueEvents = 24,
    ModelActionEvents = 25,
};

} // namespace Utilities::Events
