#pragma once

#include "framework/abstractservice.h"
#include "link/talolinkcommand.h"
#include "link/talolinkreassembler.h"

#include <array>

namespace Component::Interfaces {

// The receiving side of a TaloLink line: reassembles frames from the stored
// bytes and dispatches each checked frame by its command code.
class AbstractTaloLinkTerminal : public AbstractService
{
public:
    static constexpr std::size_t DispatchTableSize
        = static_cast<std::size_t>(TaloLinkCommandID::MaxCount);

    AbstractTaloLinkTerminal();
    ~AbstractTaloLinkTerminal() override = default;

    // Logs and dispatches one checked frame.
    virtual void handlePacketInternal(const TaloLinkPacket& packet) = 0;

protected:
    // Parsing starts at start-up and stops at shut-down; bytes are stored in both cases.
    void performStartup() override;
    void performShutdown() override;
    // One receive step.
    void performRun() override;

    // Fills the next free dispatch entry; returns false when the table is full.
    bool addCommand(TaloLinkCommandID command, TaloLinkCommand::Handler handler);
    // The handler of the first entry with this code, or null.
    [[nodiscard]] const TaloLinkCommand::Handler* findHandler(TaloLinkCommandID command) const;

    TaloLinkReassembler m_reassembler;

private:
    std::array<TaloLinkCommand, DispatchTableSize> m_commands;
    std::size_t m_commandCount = 0;
};

} // namespace Component::Interfaces
