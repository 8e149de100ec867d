#pragma once

#include "link/talolinkpacket.h"

#include <QByteArray>

#include <optional>

namespace Service::R58 {

// Turns the answer to a service command into its line for the service log.
// Answers with fewer or shorter arguments than their line needs give no line:
// nothing is ever read past the received bytes.
class TerminalResponseFormatter
{
public:
    using Packet = Component::Interfaces::TaloLinkPacket;

    [[nodiscard]] static std::optional<QByteArray> format(const Packet& packet);

    // Whether `format` knows the packet's command.
    [[nodiscard]] static bool handles(Component::Interfaces::TaloLinkCommandID command);
};

} // namespace Service::R58
