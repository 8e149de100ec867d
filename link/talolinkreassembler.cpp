#include "link/talolinkreassembler.h"

#include <algorithm>
#include <cstddef>
#include <utility>

namespace Component::Interfaces {

namespace {

constexpr std::uint8_t Marker[4] = {'7', '0', '2', '#'};
constexpr std::size_t LengthOffset = 4;

} // namespace

TaloLinkReassembler::TaloLinkReassembler(PacketHandler handler) : m_handler(std::move(handler))
{
}

void TaloLinkReassembler::setState(State state)
{
    // Header and Body only make sense for the bytes that led to them.
    m_state = state == State::Idle ? State::Idle : State::Sync;
    m_expectedLength = 0;
}

std::size_t TaloLinkReassembler::append(const std::uint8_t* data, std::size_t size)
{
    // The usual case, bytes that fit: copied in at most two pieces around the ring's end.
    if (size <= BufferSize - m_fill) {
        const std::size_t first = std::min(size, BufferSize - m_writePosition);
        std::copy_n(data, first, m_buffer.begin() + std::ptrdiff_t(m_writePosition));
        std::copy_n(data + first, size - first, m_buffer.begin());
        m_writePosition = (m_writePosition + size) % BufferSize;
        m_fill += size;
        return 0;
    }
    std::size_t dropped = 0;
    for (std::size_t i = 0; i < size; ++i) {
        if (m_fill == BufferSize) {
            consume(1);
            ++dropped;
        }
        m_buffer[m_writePosition] = data[i];
        m_writePosition = (m_writePosition + 1) % BufferSize;
        ++m_fill;
    }
    // The frame being parsed lost its first bytes: its header and length no
    // longer describe what is at the read position, so look for the next
    // marker instead of cutting a block out of the middle of later frames.
    if (dropped != 0 && (m_state == State::Header || m_state == State::Body)) {
        m_state = State::Sync;
        m_expectedLength = 0;
    }
    return dropped;
}

std::size_t TaloLinkReassembler::append(const QByteArray& data)
{
    return append(
        reinterpret_cast<const std::uint8_t*>(data.constData()), std::size_t(data.size()));
}

bool TaloLinkReassembler::step()
{
    if (m_fill == 0 || m_state == State::Idle)
        return false;

    switch (m_state) {
    case State::Idle:
        return false;
    case State::Sync:
        if (m_fill < sizeof Marker)
            return false;
        for (std::size_t i = 0; i < sizeof Marker; ++i) {
            if (peek(i) != Marker[i]) {
                consume(1);
                return true;
            }
        }
        m_state = State::Header;
        return true;
    case State::Header: {
        if (m_fill < std::size_t(TaloLinkPacket::HeaderSize))
            return false;
        const std::size_t declared
            = std::size_t(peek(LengthOffset)) | std::size_t(peek(LengthOffset + 1)) << 8;
        const std::size_t expected = declared > BufferSize ? BufferSize : declared;
        if (expected < std::size_t(TaloLinkPacket::MinimumSize)) {
            consume(1);
            m_state = State::Sync;
            return true;
        }
        m_expectedLength = std::uint16_t(expected);
        m_state = State::Body;
        return true;
    }
    case State::Body: {
        const std::size_t length = m_expectedLength;
        if (m_fill < length)
            return false;
        copyOut(m_frame.data(), length);
        consume(length);
        m_state = State::Sync;
        m_expectedLength = 0;
        const TaloLinkPacket packet = TaloLinkPacket::decode(m_frame.data(), length);
        // A declared length above the limit was cut to fit the buffer; such a
        // block is not the frame its sender meant, whatever its last four bytes say.
        if (packet.length == length && packet.isChecksumValid()) {
            ++m_delivered;
            if (m_handler)
                m_handler(packet);
        }
        return true;
    }
    }
    return false;
}

std::size_t TaloLinkReassembler::run()
{
    const std::size_t before = m_delivered;
    while (step()) { }
    return m_delivered - before;
}

void TaloLinkReassembler::clear()
{
    m_readPosition = 0;
    m_writePosition = 0;
    m_fill = 0;
    m_expectedLength = 0;
    if (m_state != State::Idle)
        m_state = State::Sync;
}

std::uint8_t TaloLinkReassembler::peek(std::size_t offset) const
{
    return m_buffer[(m_readPosition + offset) % BufferSize];
}

void TaloLinkReassembler::consume(std::size_t count)
{
    m_readPosition = (m_readPosition + count) % BufferSize;
    m_fill -= count;
    if (m_fill == 0) {
        m_readPosition = 0;
        m_writePosition = 0;
    }
}

void TaloLinkReassembler::copyOut(std::uint8_t* out, std::size_t count) const
{
    const std::size_t first = std::min(count, BufferSize - m_readPosition);
    std::copy_n(m_buffer.begin() + std::ptrdiff_t(m_readPosition), first, out);
    std::copy_n(m_buffer.begin(), count - first, out + first);
}

} // namespace Component::Interfaces
