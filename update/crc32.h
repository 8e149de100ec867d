#pragma once

#include <array>
#include <cstdint>

namespace Utilities {

// Standard reflected CRC-32 (polynomial 0xEDB88320) used by the frames and the
// firmware block transfer.
class CRC32
{
public:
    CRC32() = default;

    // The start value is taken as it is; callers pass 0xFFFFFFFF for the standard CRC-32.
    [[nodiscard]] std::uint32_t calculateChecksum(
        const std::uint8_t* data, std::uint32_t length, std::uint32_t crc) const;

    static const std::array<std::uint32_t, 256> m_crc32Table;
};

} // namespace Utilities
