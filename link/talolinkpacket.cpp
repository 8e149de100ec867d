#include "link/talolinkpacket.h"

#include "update/crc32.h"

#include <cstring>

namespace Component::Interfaces {

namespace {

void put16(std::uint8_t* out, std::uint16_t value)
{
    out[0] = std::uint8_t(value & 0xFFu);
    out[1] = std::uint8_t(value >> 8);
}

void put32(std::uint8_t* out, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out[i] = std::uint8_t(value >> (8 * i));
}

std::uint16_t get16(const std::uint8_t* in)
{
    return std::uint16_t(in[0] | (in[1] << 8));
}

std::uint32_t get32(const std::uint8_t* in)
{
    return std::uint32_t(in[0]) | std::uint32_t(in[1]) << 8 | std::uint32_t(in[2]) << 16
        | std::uint32_t(in[3]) << 24;
}

std::uint32_t crcOf(const std::uint8_t* data, std::size_t size)
{
    return Utilities::CRC32().calculateChecksum(data, std::uint32_t(size), 0xFFFFFFFFu);
}

} // namespace

QByteArray TaloLinkPacket::build(
    TaloLinkCommandID command, Terminal source, Terminal destination, const ArgList& args)
{
    std::size_t total = MinimumSize;
    for (const Arg& arg : args)
        total += 2 + arg.length;
    if (total > 0xFFFFu)
        return {};

    QByteArray frame(int(total), '\0');
    auto* out = reinterpret_cast<std::uint8_t*>(frame.data());
    put32(out, Coding);
    put16(out + 4, std::uint16_t(total));
    put16(out + 6, std::uint16_t(command));
    out[8] = std::uint8_t(source);
    out[9] = std::uint8_t(destination);
    out[10] = std::uint8_t(args.size());
    std::size_t offset = HeaderSize;
    for (const Arg& arg : args) {
        put16(out + offset, arg.length);
        offset += 2;
        if (arg.length != 0)
            std::memcpy(out + offset, arg.data, arg.length);
        offset += arg.length;
    }
    put32(out + offset, crcOf(out, offset));
    return frame;
}

TaloLinkPacket TaloLinkPacket::decode(const std::uint8_t* block, std::size_t size)
{
    TaloLinkPacket packet;
    if (block == nullptr || size < std::size_t(MinimumSize))
        return packet;

    packet.raw = QByteArray(reinterpret_cast<const char*>(block), int(size));
    const auto* in = reinterpret_cast<const std::uint8_t*>(packet.raw.constData());
    packet.coding = get32(in);
    packet.length = get16(in + 4);
    packet.command = TaloLinkCommandID(get16(in + 6));
    packet.source = Terminal(in[8]);
    packet.destination = Terminal(in[9]);
    packet.argCount = in[10];
    packet.checksum = get32(in + size - 4);

    const std::size_t argumentsEnd = size - 4;
    std::size_t offset = HeaderSize;
    for (int i = 0; i < packet.argCount && !packet.args.full(); ++i) {
        if (offset + 2 > argumentsEnd)
            break;
        const std::uint16_t length = get16(in + offset);
        if (offset + 2 + length > argumentsEnd)
            break;
        packet.args.append(Arg {in + offset + 2, length});
        offset += 2 + length;
    }
    return packet;
}

TaloLinkPacket TaloLinkPacket::decode(const QByteArray& block)
{
    return decode(
        reinterpret_cast<const std::uint8_t*>(block.constData()), std::size_t(block.size()));
}

QString TaloLinkPacket::terminalName(Terminal terminal)
{
    switch (terminal) {
    case Terminal::Platform:
        return QStringLiteral("Platform");
    case Terminal::Display:
        return QStringLiteral("Display");
    case Terminal::Host:
        return QStringLiteral("Host");
    }
    return QStringLiteral("Unknown");
}

QString TaloLinkPacket::toString() const
{
    QString text = commandName(command);
    text += QStringLiteral(": ") + terminalName(source) + QStringLiteral(" -> ")
        + terminalName(destination);
    text += QStringLiteral(", Coding: 0x") + QString::number(coding, 16);
    text += QStringLiteral(", Length: ") + QString::number(length) + QStringLiteral("bytes");
    text += QStringLiteral(", ArgCount: ") + QString::number(argCount);
    for (const Arg& arg : args) {
        text += QStringLiteral(" { ");
        for (std::uint16_t i = 0; i < arg.length; ++i)
            text += QStringLiteral("0x") + QString::number(arg.data[i], 16) + QLatin1Char(' ');
        text += QStringLiteral("} ");
    }
    text += QStringLiteral(", Checksum: 0x") + QString::number(checksum, 16);
    return text;
}

bool TaloLinkPacket::isChecksumValid() const
{
    if (raw.size() < MinimumSize)
        return false;
    const auto* in = reinterpret_cast<const std::uint8_t*>(raw.constData());
    return crcOf(in, std::size_t(raw.size()) - 4) == checksum;
}

} // namespace Component::Interfaces
