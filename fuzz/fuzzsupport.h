#pragma once

// What the fuzz targets share: a Qt application object, a scratch folder and a
// check that stops the run when a property of the code under test fails.

#include <QCoreApplication>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

namespace Fuzz {

// Some Qt classes (file names, standard paths) want an application object.
inline void ensureApplication()
{
    static int argc = 1;
    static char name[] = "r58_fuzz";
    static char* argv[] = {name, nullptr};
    if (QCoreApplication::instance() == nullptr) {
        static QCoreApplication application(argc, argv);
        QCoreApplication::setOrganizationName(QStringLiteral("VELOR"));
        QCoreApplication::setApplicationName(QStringLiteral("r58_fuzz"));
    }
}

// A folder that lives as long as the fuzzing process.
inline const QTemporaryDir& scratch()
{
    static const QTemporaryDir dir;
    return dir;
}

// A property that must hold for every input; abort() makes libFuzzer keep the input.
#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition);     \
            std::abort();                                                                          \
        }                                                                                          \
    } while (false)

} // namespace Fuzz
