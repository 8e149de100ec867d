// The device settings file as imported, and what an export of it reads back as.

#include "config/settings.h"
#include "fuzzsupport.h"

#include <QFile>

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
    const QString imported = Fuzz::scratch().filePath(QStringLiteral("imported.json"));
    const QString exported = Fuzz::scratch().filePath(QStringLiteral("exported.json"));
    {
        QFile file(imported);
        FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        FUZZ_CHECK(file.write(reinterpret_cast<const char*>(data), qint64(size)) == qint64(size));
    }

    Settings settings;
    FUZZ_CHECK(settings.load(imported));
    FUZZ_CHECK(settings.getLoadedCount() >= 0 && settings.getLoadedCount() <= 12);
    (void)Settings::cutToTwoDecimals(settings.getNominalCurrent());

    // An export holds every setting; all but the cut numbers come back as they were.
    FUZZ_CHECK(settings.save(exported));
    Settings reread;
    FUZZ_CHECK(reread.load(exported));
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
