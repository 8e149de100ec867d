// The device settings file as imported, and what an export of it reads back as, both in
// memory through the same reader and writer the files use.

#include "config/settings.h"
#include "fuzzsupport.h"

#include <cstdint>

using Application::R58::Settings;
using Application::R58::ThresholdSettings;

namespace {

bool sameExceptThreshold(const ThresholdSettings& a, const ThresholdSettings& b)
{
    return a.getEnable() == b.getEnable() && a.getFaultType() == b.getFaultType();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    Fuzz::ensureApplication();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Settings settings;
    // A copy, as a file read gives: Qt's parser may rely on the terminating zero.
    settings.loadData(QByteArray(reinterpret_cast<const char*>(data), int(size)));
    FUZZ_CHECK(settings.getLoadedCount() >= 0 && settings.getLoadedCount() <= 12);
    (void)Settings::cutToTwoDecimals(settings.getNominalCurrent());

    // An export holds every setting; all but the cut numbers come back as they were.
    Settings reread;
    reread.loadData(settings.toData());
    FUZZ_CHECK(reread.getLoadedCount() == 12);
    FUZZ_CHECK(reread.getTripClass() == settings.getTripClass());
    FUZZ_CHECK(reread.getOverloadReset() == settings.getOverloadReset());
    FUZZ_CHECK(
        sameExceptThreshold(reread.getUndercurrentSettings(), settings.getUndercurrentSettings()));
    FUZZ_CHECK(
        sameExceptThreshold(reread.getUndervoltageSettings(), settings.getUndervoltageSettings()));
    FUZZ_CHECK(
        sameExceptThreshold(reread.getOvervoltageSettings(), settings.getOvervoltageSettings()));
    return 0;
}
