#include "link/talolinkcomponent.h"

#include <cstring>

namespace Component::R58 {

using Interfaces::TaloLinkPacket;

namespace {

using Arg = TaloLinkPacket::Arg;

// Little-endian argument buffers; they live on the stack for one call.
struct LE16
{
    explicit LE16(std::uint16_t value) : bytes {std::uint8_t(value), std::uint8_t(value >> 8)} { }
    Arg arg() const { return Arg {bytes, 2}; }
    std::uint8_t bytes[2];
};

struct LE32
{
    explicit LE32(std::uint32_t value)
        : bytes {std::uint8_t(value), std::uint8_t(value >> 8), std::uint8_t(value >> 16),
            std::uint8_t(value >> 24)}
    {
    }
    Arg arg(std::uint16_t length = 4) const { return Arg {bytes, length}; }
    std::uint8_t bytes[4];
};

} // namespace

TaloLinkComponent::TaloLinkComponent(
    Interfaces::ComponentID id, Terminal source, Terminal destination)
    : AbstractComponent(id), m_source(source), m_destination(destination)
{
}

int TaloLinkComponent::reset()
{
    return writeCommand(CommandID::Reset, m_source, m_destination);
}

int TaloLinkComponent::jumpToBootloader(Terminal terminal)
{
    return writeCommand(CommandID::JumpToBootloader, m_source, terminal);
}

int TaloLinkComponent::getPlatformName()
{
    return writeCommand(CommandID::GetName, m_source, Terminal::Platform);
}

int TaloLinkComponent::getDisplayName()
{
    return writeCommand(CommandID::GetName, m_source, Terminal::Display);
}

int TaloLinkComponent::setModelValue(
    Model::Interfaces::ModelValueID id, int value, unsigned long size)
{
    const LE16 idBytes(static_cast<std::uint16_t>(id));
    const LE32 valueBytes(static_cast<std::uint32_t>(value));
    ArgList args;
    args.append(idBytes.arg());
    args.append(valueBytes.arg(std::uint16_t(size > 4 ? 4 : size)));
    return writeCommand(CommandID::SetModelValue, m_source, m_destination, args);
}

int TaloLinkComponent::setModelValue(Model::Interfaces::ModelValueID id, float value)
{
    std::uint32_t bits = 0;
    static_assert(sizeof bits == sizeof value, "IEEE 754 single precision expected");
    std::memcpy(&bits, &value, sizeof bits);
    const LE16 idBytes(static_cast<std::uint16_t>(id));
    const LE32 valueBytes(bits);
    ArgList args;
    args.append(idBytes.arg());
    args.append(valueBytes.arg());
    return writeCommand(CommandID::SetModelValue, m_source, m_destination, args);
}

int TaloLinkComponent::getModelValue(Model::Interfaces::ModelValueID id)
{
    const LE16 idBytes(static_cast<std::uint16_t>(id));
    ArgList args;
    args.append(idBytes.arg());
    return writeCommand(CommandID::GetModelValue, m_source, m_destination, args);
}

int TaloLinkComponent::fireModelAction(Model::Interfaces::ModelActionID id)
{
    const LE16 idBytes(static_cast<std::uint16_t>(id));
    ArgList args;
    args.append(idBytes.arg());
    return writeCommand(CommandID::FireModelAction, m_source, m_destination, args);
}

int TaloLinkComponent::startApplicationUpdate(
    Terminal terminal, unsigned short blockCount, unsigned int crc)
{
    const LE16 countBytes(blockCount);
    const LE32 crcBytes(crc);
    ArgList args;
    args.append(countBytes.arg());
    args.append(crcBytes.arg());
    return writeCommand(CommandID::ApplicationUpdate, m_source, terminal, args);
}

int TaloLinkComponent::sendMemblock(Terminal terminal, unsigned short blockNumber,
    const unsigned char* data, unsigned long size, unsigned int crc)
{
    if (size > TaloLinkPacket::MaximumSize)
        return 0; // no frame could carry it
    const LE16 numberBytes(blockNumber);
    const LE32 crcBytes(crc);
    ArgList args;
    args.append(numberBytes.arg());
    args.append(Arg {data, std::uint16_t(size)});
    args.append(crcBytes.arg());
    return writeCommand(CommandID::Memblock, m_source, terminal, args);
}

int TaloLinkComponent::sendPacket(const TaloLinkPacket& packet)
{
    return writeCommand(packet.command, packet.source, packet.destination, packet.args);
}

int TaloLinkComponent::writeCommand(CommandID command, Terminal source, Terminal destination)
{
    return writeCommand(command, source, destination, ArgList());
}

int TaloLinkComponent::writeCommand(
    CommandID command, Terminal source, Terminal destination, const ArgList& args)
{
    const QByteArray frame = TaloLinkPacket::build(command, source, destination, args);
    if (!frame.isEmpty())
        writeData(reinterpret_cast<const unsigned char*>(frame.constData()),
            static_cast<unsigned long>(frame.size()));
    return 0;
}

int TaloLinkComponent::writeLine(const std::string& text)
{
    return writeData(text + "\r\n");
}

} // namespace Component::R58
