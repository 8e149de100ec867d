// The frame decoder and the frame's log text, given any block of bytes (the
// terminal service decodes every frame it logs as sent, whatever its size).

#include "fuzzsupport.h"
#include "link/talolinkpacket.h"

#include <cstdint>

using Component::Interfaces::TaloLinkPacket;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const TaloLinkPacket packet = TaloLinkPacket::decode(data, size);
    const QString text = packet.toString();
    FUZZ_CHECK(!text.isEmpty());
    const bool intact = packet.isChecksumValid();
    if (size < std::size_t(TaloLinkPacket::MinimumSize)) {
        FUZZ_CHECK(packet.length == 0 && packet.args.empty() && !intact);
        return 0;
    }

    // Every argument lies in the decoded copy, before the checksum.
    const auto* begin = reinterpret_cast<const std::uint8_t*>(packet.raw.constData());
    const auto* checksum = begin + packet.raw.size() - 4;
    FUZZ_CHECK(packet.args.size() <= packet.argCount);
    for (const TaloLinkPacket::Arg& arg : packet.args)
        FUZZ_CHECK(arg.data >= begin + TaloLinkPacket::HeaderSize + 2
            && arg.data + arg.length <= checksum);

    // What was decoded builds a frame that decodes to the same arguments.
    const QByteArray rebuilt
        = TaloLinkPacket::build(packet.command, packet.source, packet.destination, packet.args);
    FUZZ_CHECK(!rebuilt.isEmpty());
    const TaloLinkPacket again = TaloLinkPacket::decode(rebuilt);
    FUZZ_CHECK(again.isChecksumValid());
    FUZZ_CHECK(again.length == rebuilt.size() && again.command == packet.command);
    FUZZ_CHECK(again.argCount == packet.args.size() && again.args.size() == packet.args.size());
    for (std::size_t i = 0; i < packet.args.size(); ++i) {
        FUZZ_CHECK(again.args[i].length == packet.args[i].length);
        FUZZ_CHECK(std::equal(
            again.args[i].data, again.args[i].data + again.args[i].length, packet.args[i].data));
    }
    // A well-formed frame comes back byte for byte.
    std::size_t used = std::size_t(TaloLinkPacket::MinimumSize);
    for (const TaloLinkPacket::Arg& arg : packet.args)
        used += 2 + arg.length;
    if (intact && packet.coding == TaloLinkPacket::Coding && packet.length == size
        && packet.argCount == packet.args.size() && used == size)
        FUZZ_CHECK(rebuilt == packet.raw);
    return 0;
}
