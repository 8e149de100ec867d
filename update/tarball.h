#pragma once

#include "update/tarballfile.h"

#include <array>
#include <cstddef>

namespace Utilities {

// Reads a ustar archive held whole in memory. The buffer is neither copied nor
// owned: it must outlive the Tarball and every file record taken from it.
class Tarball
{
public:
    static constexpr int MaxFiles = 5;
    static constexpr int BlockSize = 512;
    static const char m_magicNumber[6];

    Tarball(const char* data, int size);
    virtual ~Tarball() = default;

    // False when the magic check fails. A truncated archive stops at its last
    // complete header; a file whose data would pass the end is not recorded.
    bool parse();
    [[nodiscard]] bool isTarball() const;
    [[nodiscard]] bool fileExists(const QByteArray& name) const;
    [[nodiscard]] const TarballFile* getFile(const QByteArray& name) const;
    [[nodiscard]] const std::array<TarballFile, MaxFiles>& getAllFiles() const { return m_files; }
    // True when parsing stopped at a header that could not be trusted.
    [[nodiscard]] bool isDamaged() const { return m_damaged; }

private:
    const char* m_data;
    int m_size;
    std::array<TarballFile, MaxFiles> m_files {};
    std::size_t m_nextFile = 0;
    bool m_damaged = false;
};

} // namespace Utilities
