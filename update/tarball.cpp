#include "update/tarball.h"

#include <cstdint>
#include <cstring>
#include <limits>

namespace Utilities {

namespace {

constexpr int NameOffset = 0;
constexpr int NameLength = 100;
constexpr int SizeOffset = 124;
constexpr int SizeLength = 12;
constexpr int MagicOffset = 257;
constexpr int MagicLength = 5;

// Reads the octal size field: leading blanks skipped, digits up to the first
// non-octal character. Returns -1 when the value does not fit 32 signed bits.
std::int64_t readOctalSize(const char* field)
{
    int i = 0;
    while (i < SizeLength && (field[i] == ' ' || field[i] == '\t'))
        ++i;
    std::int64_t value = 0;
    for (; i < SizeLength && field[i] >= '0' && field[i] <= '7'; ++i) {
        value = value * 8 + (field[i] - '0');
        if (value > std::numeric_limits<std::int32_t>::max())
            return -1;
    }
    return value;
}

} // namespace

const char Tarball::m_magicNumber[6] = "ustar";

Tarball::Tarball(const char* data, int size) : m_data(data), m_size(data ? size : 0)
{
    parse();
}

bool Tarball::isTarball() const
{
    if (m_size < MagicOffset + MagicLength)
        return false;
    return std::memcmp(m_data + MagicOffset, m_magicNumber, MagicLength) == 0;
}

bool Tarball::parse()
{
    m_files = {};
    m_nextFile = 0;
    m_damaged = false;
    if (!isTarball())
        return false;

    std::int64_t header = 0;
    while (header + BlockSize <= m_size) {
        const char* block = m_data + header;
        const std::int64_t size = readOctalSize(block + SizeOffset);
        if (size < 0) {
            // Everything after a size we cannot believe is guesswork.
            m_damaged = true;
            break;
        }
        const std::int64_t dataOffset = header + BlockSize;
        const auto nameLength = static_cast<int>(strnlen(block + NameOffset, NameLength));

        if (size != 0 && nameLength != 0 && m_nextFile < m_files.size()) {
            if (dataOffset + size > m_size) {
                m_damaged = true;
                break;
            }
            TarballFile& file = m_files[m_nextFile++];
            file.name = QByteArray(block + NameOffset, nameLength);
            file.size = static_cast<std::int32_t>(size);
            file.data = m_data + dataOffset;
            file.dataOffset = static_cast<std::int32_t>(dataOffset);
        }
        header = dataOffset + (size + BlockSize - 1) / BlockSize * BlockSize;
    }
    return true;
}

bool Tarball::fileExists(const QByteArray& name) const
{
    return getFile(name) != nullptr;
}

const TarballFile* Tarball::getFile(const QByteArray& name) const
{
    for (std::size_t i = 0; i < m_nextFile; ++i) {
        if (m_files[i].name == name)
            return &m_files[i];
    }
    return nullptr;
}

} // namespace Utilities
