#pragma once

#include <QByteArray>

#include <cstdint>

namespace Utilities {

// One file found in an archive; its data points into the archive buffer.
struct TarballFile
{
    QByteArray name;
    std::int32_t size = 0;
    const char* data = nullptr;
    std::int32_t dataOffset = 0;
};

} // namespace Utilities
