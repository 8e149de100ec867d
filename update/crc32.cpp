#include "update/crc32.h"

namespace Utilities {

namespace {

constexpr std::uint32_t Polynomial = 0xEDB88320u;

constexpr std::array<std::uint32_t, 256> makeTable()
{
    std::array<std::uint32_t, 256> table {};
    for (std::uint32_t i = 0; i < 256; ++i) {
        std::uint32_t entry = i;
        for (int bit = 0; bit < 8; ++bit)
            entry = (entry & 1u) ? (entry >> 1) ^ Polynomial : entry >> 1;
        table[i] = entry;
    }
    return table;
}

} // namespace

const std::array<std::uint32_t, 256> CRC32::m_crc32Table = makeTable();

std::uint32_t CRC32::calculateChecksum(
    const std::uint8_t* data, std::uint32_t length, std::uint32_t crc) const
{
    for (std::uint32_t i = 0; i < length; ++i)
        crc = (crc >> 8) ^ m_crc32Table[(data[i] ^ crc) & 0xFFu];
    return ~crc;
}

} // namespace Utilities
