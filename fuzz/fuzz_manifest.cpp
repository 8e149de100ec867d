// The package manifest ("version.json") and its version texts.

#include "fuzzsupport.h"
#include "update/versionparser.h"

#include <cstdint>

using Service::R58::VersionParser;

namespace {

bool same(const VersionParser::Image& a, const VersionParser::Image& b)
{
    return a.getPath() == b.getPath() && a.getVersionString() == b.getVersionString()
        && a.getVersion() == b.getVersion();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), int(size));
    (void)VersionParser::Image::convertVersion(QString::fromUtf8(bytes));

    VersionParser parser(bytes);
    const bool found = parser.parse();
    const VersionParser::Image images[]
        = {parser.getPlatformBootloaderImage(), parser.getPlatformApplicationImage(),
            parser.getDisplayBootloaderImage(), parser.getDisplayApplicationImage()};
    for (const VersionParser::Image& image : images) {
        FUZZ_CHECK(
            image.getVersion() == VersionParser::Image::convertVersion(image.getVersionString()));
        if (!found)
            FUZZ_CHECK(image.getPath().isEmpty() && image.getVersion() == 0);
    }

    // A second parse starts from nothing, so it finds the same.
    FUZZ_CHECK(parser.parse() == found);
    FUZZ_CHECK(same(images[0], parser.getPlatformBootloaderImage()));
    FUZZ_CHECK(same(images[1], parser.getPlatformApplicationImage()));
    FUZZ_CHECK(same(images[2], parser.getDisplayBootloaderImage()));
    FUZZ_CHECK(same(images[3], parser.getDisplayApplicationImage()));
    return 0;
}
