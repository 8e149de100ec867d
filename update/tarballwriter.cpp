#include "update/tarballwriter.h"

#include <array>
#include <cstring>

namespace Utilities {

namespace {

constexpr int ModeOffset = 100;
constexpr int UidOffset = 108;
constexpr int GidOffset = 116;
constexpr int SizeOffset = 124;
constexpr int MtimeOffset = 136;
constexpr int ChecksumOffset = 148;
constexpr int ChecksumLength = 8;
constexpr int TypeOffset = 156;
constexpr int MagicOffset = 257;
constexpr int UnameOffset = 265;
constexpr int GnameOffset = 297;

// An octal number of width - 1 digits followed by NUL, as ustar numeric fields are.
void putOctal(char* field, int width, std::uint64_t value)
{
    field[width - 1] = '\0';
    for (int i = width - 2; i >= 0; --i) {
        field[i] = char('0' + (value & 7u));
        value >>= 3;
    }
}

} // namespace

TarballWriter::TarballWriter(std::int64_t modificationTime)
    : m_modificationTime(modificationTime < 0 ? 0 : modificationTime)
{
}

bool TarballWriter::addFile(const QByteArray& name, const QByteArray& data)
{
    if (name.isEmpty() || name.size() > MaxNameLength || name.contains('\0'))
        return false;

    // Built in a plain array: GCC cannot follow QByteArray's storage and warns.
    std::array<char, BlockSize> header {};
    char* h = header.data();
    std::memcpy(h, name.constData(), std::size_t(name.size()));
    putOctal(h + ModeOffset, 8, 0644);
    putOctal(h + UidOffset, 8, 0);
    putOctal(h + GidOffset, 8, 0);
    putOctal(h + SizeOffset, 12, std::uint64_t(data.size()));
    putOctal(h + MtimeOffset, 12, std::uint64_t(m_modificationTime));
    h[TypeOffset] = '0';
    std::memcpy(h + MagicOffset,
        "ustar\0"
        "00",
        8);
    std::memcpy(h + UnameOffset, "r58", 3);
    std::memcpy(h + GnameOffset, "r58", 3);

    // The checksum is summed with its own field taken as blanks, then written as
    // six octal digits, NUL and blank.
    std::memset(h + ChecksumOffset, ' ', ChecksumLength);
    std::uint32_t sum = 0;
    for (char c : header)
        sum += std::uint8_t(c);
    putOctal(h + ChecksumOffset, 7, sum);
    h[ChecksumOffset + 7] = ' ';

    m_archive.append(header.data(), BlockSize);
    m_archive.append(data);
    const int rest = data.size() % BlockSize;
    if (rest != 0)
        m_archive.append(QByteArray(BlockSize - rest, '\0'));
    return true;
}

QByteArray TarballWriter::getArchive() const
{
    return m_archive + QByteArray(2 * BlockSize, '\0');
}

} // namespace Utilities
