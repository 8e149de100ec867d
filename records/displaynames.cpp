#include "records/displaynames.h"

#include <QCoreApplication>

#include <array>
#include <utility>

namespace Records::DisplayNames {

namespace {

QString translated(const char* text)
{
    return QCoreApplication::translate("Records::DisplayNames", text);
}

} // namespace

QString operatingMode(const QString& deviceWord)
{
    // A stopped motor: "idle" would read as running without load.
    static const std::array<std::pair<const char*, const char*>, 4> Modes {{
        {"Idle", QT_TRANSLATE_NOOP("Records::DisplayNames", "Stopped")},
        {"Forward", QT_TRANSLATE_NOOP("Records::DisplayNames", "Forward")},
        {"Backward", QT_TRANSLATE_NOOP("Records::DisplayNames", "Backward")},
        {"Safety Stop", QT_TRANSLATE_NOOP("Records::DisplayNames", "Safety stop")},
    }};
    for (const auto& [word, name] : Modes) {
        if (deviceWord.trimmed() == QLatin1String(word))
            return translated(name);
    }
    return deviceWord;
}

QString fault(const QString& deviceText)
{
    // Longer names first, so that no name is found inside another. English keeps the device's
    // words.
    static const std::array<std::pair<const char*, const char*>, 15> Faults {{
        {"Undervoltage Supply", QT_TRANSLATE_NOOP("Records::DisplayNames", "Undervoltage Supply")},
        {"Overvoltage Supply", QT_TRANSLATE_NOOP("Records::DisplayNames", "Overvoltage Supply")},
        {"Communication Error", QT_TRANSLATE_NOOP("Records::DisplayNames", "Communication Error")},
        {"Security Clearance", QT_TRANSLATE_NOOP("Records::DisplayNames", "Security Clearance")},
        {"Undervoltage Aux", QT_TRANSLATE_NOOP("Records::DisplayNames", "Undervoltage Aux")},
        {"Overvoltage Aux", QT_TRANSLATE_NOOP("Records::DisplayNames", "Overvoltage Aux")},
        {"Phase Asymmetry", QT_TRANSLATE_NOOP("Records::DisplayNames", "Phase Asymmetry")},
        {"Overtemperature", QT_TRANSLATE_NOOP("Records::DisplayNames", "Overtemperature")},
        {"Short Circuit", QT_TRANSLATE_NOOP("Records::DisplayNames", "Short Circuit")},
        {"Undercurrent", QT_TRANSLATE_NOOP("Records::DisplayNames", "Undercurrent")},
        {"Device Error", QT_TRANSLATE_NOOP("Records::DisplayNames", "Device Error")},
        {"Supply Loss", QT_TRANSLATE_NOOP("Records::DisplayNames", "Supply Loss")},
        {"Phase Loss", QT_TRANSLATE_NOOP("Records::DisplayNames", "Phase Loss")},
        {"Device OK", QT_TRANSLATE_NOOP("Records::DisplayNames", "Device OK")},
        {"Overload", QT_TRANSLATE_NOOP("Records::DisplayNames", "Overload")},
    }};
    for (const auto& [word, name] : Faults) {
        const int at = deviceText.indexOf(QLatin1String(word));
        if (at >= 0)
            return QString(deviceText).replace(at, int(qstrlen(word)), translated(name));
    }
    return deviceText;
}

} // namespace Records::DisplayNames
