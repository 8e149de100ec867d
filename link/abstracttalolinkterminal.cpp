#include "link/abstracttalolinkterminal.h"

namespace Component::Interfaces {

AbstractTaloLinkTerminal::AbstractTaloLinkTerminal()
    : AbstractService(ServiceID::TaloLinkTerminal),
      m_reassembler([this](const TaloLinkPacket& packet) { handlePacketInternal(packet); })
{
}

void AbstractTaloLinkTerminal::performStartup()
{
    m_reassembler.setState(TaloLinkReassembler::State::Sync);
}

void AbstractTaloLinkTerminal::performShutdown()
{
    m_reassembler.setState(TaloLinkReassembler::State::Idle);
}

void AbstractTaloLinkTerminal::performRun()
{
    m_reassembler.step();
}

bool AbstractTaloLinkTerminal::addCommand(
    TaloLinkCommandID command, TaloLinkCommand::Handler handler)
{
    if (m_commandCount == m_commands.size())
        return false;
    m_commands[m_commandCount++] = TaloLinkCommand(command, std::move(handler));
    return true;
}

const TaloLinkCommand::Handler* AbstractTaloLinkTerminal::findHandler(
    TaloLinkCommandID command) const
{
    for (std::size_t i = 0; i < m_commandCount; ++i) {
        if (m_commands[i].matches(command))
            return m_commands[i].getHandler() ? &m_commands[i].getHandler() : nullptr;
    }
    return nullptr;
}

} // namespace Component::Interfaces
