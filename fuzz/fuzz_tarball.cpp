// The tar reader over whole update packages.

#include "fuzzsupport.h"
#include "update/tarball.h"

#include <climits>
#include <cstdint>

namespace {
// Keeps the reads of the file data from being optimised away.
volatile unsigned g_sink = 0;
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size > std::size_t(INT_MAX))
        return 0;
    const auto* bytes = reinterpret_cast<const char*>(data);
    Utilities::Tarball tarball(bytes, int(size));
    const bool isTar = tarball.isTarball();
    FUZZ_CHECK(tarball.parse() == isTar);

    unsigned sum = 0;
    for (const Utilities::TarballFile& file : tarball.getAllFiles()) {
        if (file.data == nullptr)
            continue;
        FUZZ_CHECK(isTar);
        FUZZ_CHECK(file.size > 0 && file.dataOffset >= Utilities::Tarball::BlockSize);
        FUZZ_CHECK(file.data == bytes + file.dataOffset);
        FUZZ_CHECK(std::size_t(file.dataOffset) + std::size_t(file.size) <= size);
        // Reads every byte the record claims, so the sanitizer sees a wrong one.
        for (std::int32_t i = 0; i < file.size; ++i)
            sum += std::uint8_t(file.data[i]);
        const Utilities::TarballFile* found = tarball.getFile(file.name);
        FUZZ_CHECK(found != nullptr && found->name == file.name);
        FUZZ_CHECK(tarball.fileExists(file.name));
    }
    g_sink = sum;
    return 0;
}
