#pragma once

#include <cstdint>

namespace Component::Interfaces {

// Life cycle of services and components.
enum class RunState : std::uint32_t {
    Created = 0,
    Running = 1,
    Stopped = 2,
};

} // namespace Component::Interfaces
