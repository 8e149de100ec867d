#pragma once

#include <cstdint>

namespace Component::Interfaces {

// Identifies a component; services look their components up by it.
enum class ComponentID : std::uint32_t {
    TaloLinkUSB = 0,
    TaloLinkSecondary = 1,
    SoftwareUpdate = 2,
};

} // namespace Component::Interfaces
