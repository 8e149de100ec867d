#pragma once

#include "link/talolinkpacket.h"

#include <QByteArray>

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>

namespace Component::Interfaces {

// Cuts a received byte stream into checked TaloLink frames. It owns no thread
// and no lock: the terminal service appends bytes and runs steps under its own
// mutex, and validated frames go to the packet handler from inside step().
class TaloLinkReassembler
{
public:
    enum class State : std::uint32_t {
        Idle = 0, // bytes are stored but not parsed
        Sync = 1, // looking for the "702#" marker
        Header = 2, // marker found, waiting for the length field
        Body = 3, // waiting for the whole frame
    };

    static constexpr std::size_t BufferSize = std::size_t(TaloLinkPacket::MaximumSize);

    using PacketHandler = std::function<void(const TaloLinkPacket&)>;

    explicit TaloLinkReassembler(PacketHandler handler = {});

    void setPacketHandler(PacketHandler handler) { m_handler = std::move(handler); }

    [[nodiscard]] State getState() const { return m_state; }
    // Idle stops parsing; any other state restarts it at the next marker,
    // since Header and Body only make sense for the bytes that led to them.
    void setState(State state);

    // Stores bytes behind the unread ones; when the buffer is full the oldest
    // unread byte gives way. Returns how many unread bytes were dropped.
    std::size_t append(const std::uint8_t* data, std::size_t size);
    std::size_t append(const QByteArray& data);

    // One receive step: at most one state transition, marker test, header check
    // or frame check. Returns false when it could do nothing (state Idle or too
    // few bytes for the current state), so the caller should wait for bytes.
    bool step();
    // Steps until a step makes no progress; returns the number of frames delivered.
    std::size_t run();

    // Drops every unread byte and starts looking for a marker again (unless Idle).
    void clear();

    [[nodiscard]] std::size_t getFillLevel() const { return m_fill; }
    [[nodiscard]] bool isEmpty() const { return m_fill == 0; }
    [[nodiscard]] std::size_t getReadPosition() const { return m_readPosition; }
    [[nodiscard]] std::size_t getWritePosition() const { return m_writePosition; }
    [[nodiscard]] std::uint16_t getExpectedLength() const { return m_expectedLength; }
    // Frames passed to the handler since construction.
    [[nodiscard]] std::size_t getDeliveredCount() const { return m_delivered; }

private:
    [[nodiscard]] std::uint8_t peek(std::size_t offset) const;
    void consume(std::size_t count);
    void copyOut(std::uint8_t* out, std::size_t count) const;

    PacketHandler m_handler;
    State m_state = State::Idle;
    std::array<std::uint8_t, BufferSize> m_buffer {};
    std::size_t m_readPosition = 0;
    std::size_t m_writePosition = 0;
    // Needed besides the positions: equal positions mean either empty or full.
    std::size_t m_fill = 0;
    std::uint16_t m_expectedLength = 0;
    std::size_t m_delivered = 0;
    // Linear copy of a frame that may lie across the ring's end; kept here so a
    // step does not allocate for it.
    std::array<std::uint8_t, BufferSize> m_frame {};
};

} // namespace Component::Interfaces
