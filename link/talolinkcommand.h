#pragma once

#include "link/talolinkpacket.h"

#include <cstdint>
#include <functional>

namespace Component::Interfaces {

// One entry of a terminal's dispatch table: a command code and its handler.
class TaloLinkCommand
{
public:
    using Handler = std::function<void(const TaloLinkPacket&)>;
    static constexpr std::uint16_t NoCommand = 0xFFFF;

    TaloLinkCommand() = default;
    TaloLinkCommand(TaloLinkCommandID command, Handler handler)
        : m_command(static_cast<std::uint16_t>(command)), m_handler(std::move(handler))
    {
    }
    virtual ~TaloLinkCommand() = default;

    [[nodiscard]] bool matches(TaloLinkCommandID command) const
    {
        return m_command == static_cast<std::uint16_t>(command);
    }
    [[nodiscard]] const Handler& getHandler() const { return m_handler; }

private:
    std::uint16_t m_command = NoCommand;
    Handler m_handler;
};

} // namespace Component::Interfaces
