#pragma once

namespace Application::R58::UiConstants {

// How long the connect screen waits for the first port poll before it checks for a device.
constexpr int ConnectCheckDelay = 1000; // milliseconds
// Side of the empty icon every device tab carries; it sets the tab's height.
constexpr int TabIconSize = 48; // pixels

} // namespace Application::R58::UiConstants
