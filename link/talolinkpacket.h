#pragma once

#include "framework/staticvector.h"
#include "link/talolinkcommandid.h"

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>

namespace Component::Interfaces {

// One TaloLink frame: marker "702#", length, command, terminals, up to three
// length-prefixed arguments and a CRC-32, all little-endian.
class TaloLinkPacket
{
public:
    enum class Terminal : std::uint8_t {
        Platform = 0,
        Display = 1,
        Host = 2,
    };

    // One argument. The bytes are not owned: for a received packet they live in
    // `raw`, for a packet built for sending in the caller's data.
    struct Arg
    {
        // No member initialisers: the enclosing class uses Arg{} before it is complete.
        const std::uint8_t* data;
        std::uint16_t length;
    };
    static constexpr std::size_t MaxArgs = 3;
    using ArgList = Utilities::Container::StaticVector<Arg, MaxArgs>;

    static constexpr std::uint32_t Coding = 0x23323037u; // "702#" read little-endian
    static constexpr int HeaderSize = 11;
    static constexpr int MinimumSize = 15;
    static constexpr int MaximumSize = 1536;

    // Builds the wire bytes of a frame; empty when the arguments would not fit a frame.
    [[nodiscard]] static QByteArray build(
        TaloLinkCommandID command, Terminal source, Terminal destination, const ArgList& args = {});
    // Decodes a block that holds exactly one frame. Arguments whose declared
    // length would reach into the checksum end the list; a block shorter than a
    // frame gives a packet with length 0.
    [[nodiscard]] static TaloLinkPacket decode(const std::uint8_t* block, std::size_t size);
    [[nodiscard]] static TaloLinkPacket decode(const QByteArray& block);

    [[nodiscard]] static QString terminalName(Terminal terminal);
    // The one-line log form, e.g. "GetName: Host -> Display, Coding: 0x23323037, ...".
    [[nodiscard]] QString toString() const;
    // Whether the carried checksum matches the CRC-32 of the bytes before it.
    [[nodiscard]] bool isChecksumValid() const;

    // Copies share `raw` (implicitly shared and never detached), so the
    // argument pointers stay valid in every copy.
    QByteArray raw;
    std::uint32_t coding = 0;
    std::uint16_t length = 0;
    TaloLinkCommandID command = TaloLinkCommandID::Reset;
    Terminal source = Terminal::Host;
    Terminal destination = Terminal::Platform;
    std::uint8_t argCount = 0;
    ArgList args;
    std::uint32_t checksum = 0;
};

} // namespace Component::Interfaces
