#pragma once

#include <QByteArray>

#include <cstdint>

namespace Utilities {

// Writes a ustar archive in memory, for making update packages.
class TarballWriter
{
public:
    static constexpr int BlockSize = 512;
    static constexpr int MaxNameLength = 100; // the name field; the prefix field is not used

    // Every member gets this modification time (seconds since 1970), so that the
    // same input gives the same archive.
    explicit TarballWriter(std::int64_t modificationTime = 0);

    // A regular file. Refused (false) when the name is empty, longer than the name
    // field or holds a NUL byte, since readers would find it under another name.
    bool addFile(const QByteArray& name, const QByteArray& data);

    // The archive so far with its end marker of two zero blocks.
    [[nodiscard]] QByteArray getArchive() const;

private:
    std::int64_t m_modificationTime;
    QByteArray m_archive;
};

} // namespace Utilities
