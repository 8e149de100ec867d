// The decoding of service command answers into log lines.
//
// Input: command code (2 bytes, little-endian), argument count (1 byte, taken
// modulo 4), then each argument as a length byte and that many bytes; the last
// argument is cut where the input ends. Each argument gets a buffer of exactly
// its own size, so the sanitizer sees any read past it.

#include "fuzzsupport.h"
#include "link/terminalresponseformatter.h"

#include <cstdint>
#include <vector>

using Component::Interfaces::TaloLinkCommandID;
using Component::Interfaces::TaloLinkPacket;
using Service::R58::TerminalResponseFormatter;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 3)
        return 0;
    TaloLinkPacket packet;
    packet.command = TaloLinkCommandID(std::uint16_t(data[0] | data[1] << 8));
    packet.argCount = data[2] % 4;
    std::size_t offset = 3;

    std::vector<std::vector<std::uint8_t>> buffers;
    for (int i = 0; i < packet.argCount && offset < size; ++i) {
        std::size_t length = data[offset++];
        if (length > size - offset)
            length = size - offset;
        buffers.emplace_back(data + offset, data + offset + length);
        offset += length;
    }
    for (const auto& buffer : buffers)
        packet.args.append(
            {buffer.empty() ? nullptr : buffer.data(), std::uint16_t(buffer.size())});

    const auto line = TerminalResponseFormatter::format(packet);
    if (line)
        FUZZ_CHECK(TerminalResponseFormatter::handles(packet.command));
    return 0;
}
