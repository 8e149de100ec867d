#pragma once

#include <cstdint>

namespace Component::Interfaces {

// Identifies a service within an application.
enum class ServiceID : std::uint32_t {
    TaloLinkTerminal = 0,
    UpdateControl = 1,
    MainApplication = 3,
    PackageUpdate = 12,
};

} // namespace Component::Interfaces
