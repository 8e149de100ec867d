#include "config/settingscomparison.h"

#include "config/settings.h"

#include <QCoreApplication>
#include <QLocale>

#include <algorithm>
#include <cmath>

namespace Application::R58 {

namespace {

// Hundredths, as the file keeps a number; NaN never equals anything and so counts as changed.
double hundredths(float value)
{
    return std::round(double(value) * 100.0);
}

} // namespace

QString SettingsComparison::numberText(float value, const char* unit)
{
    return QStringLiteral("%1 %2").arg(
        QLocale().toString(hundredths(value) / 100.0, 'g', 6), QLatin1String(unit));
}

QString SettingsComparison::onOffText(bool on)
{
    return on ? QCoreApplication::translate("SettingsComparison", "On")
              : QCoreApplication::translate("SettingsComparison", "Off");
}

QString SettingsComparison::faultTypeText(Model::Interfaces::ModelTypes::Settings::FaultType type)
{
    using FaultType = Model::Interfaces::ModelTypes::Settings::FaultType;
    switch (type) {
    case FaultType::Warning:
        return QCoreApplication::translate("SettingsComparison", "Warning");
    case FaultType::Error:
        return QCoreApplication::translate("SettingsComparison", "Error");
    }
    return QString::number(int(type));
}

QString SettingsComparison::tripClassText(Settings::TripClass value)
{
    const QString text = Model::Interfaces::ModelTypes::toString(value);
    return text.isEmpty() ? QString::number(int(value)) : text;
}

SettingsComparison::SettingsComparison(const Settings& device, const Settings& file)
{
    const Settings& d = device;
    const Settings& f = file;
    const auto add = [this](Key key, const QString& label, const QString& deviceText,
                         const QString& fileText, bool changed) {
        m_rows.append({key, label, deviceText, fileText, changed});
    };
    add(Key::TripClass, QCoreApplication::translate("SettingsComparison", "Trip class"),
        tripClassText(d.getTripClass()), tripClassText(f.getTripClass()),
        d.getTripClass() != f.getTripClass());
    add(Key::NominalCurrent, QCoreApplication::translate("SettingsComparison", "Nominal current"),
        numberText(d.getNominalCurrent(), "A"), numberText(f.getNominalCurrent(), "A"),
        hundredths(d.getNominalCurrent()) != hundredths(f.getNominalCurrent()));
    add(Key::OverloadReset, QCoreApplication::translate("SettingsComparison", "Automatic reset"),
        onOffText(d.getOverloadReset()), onOffText(f.getOverloadReset()),
        d.getOverloadReset() != f.getOverloadReset());

    struct Group
    {
        const ThresholdSettings& device;
        const ThresholdSettings& file;
        QString name;
        const char* unit;
        Key first;
    };
    const Group groups[] {
        {d.getUndercurrentSettings(), f.getUndercurrentSettings(),
            QCoreApplication::translate("SettingsComparison", "Undercurrent"), "A",
            Key::UndercurrentEnable},
        {d.getUndervoltageSettings(), f.getUndervoltageSettings(),
            QCoreApplication::translate("SettingsComparison", "Undervoltage"), "V",
            Key::UndervoltageEnable},
        {d.getOvervoltageSettings(), f.getOvervoltageSettings(),
            QCoreApplication::translate("SettingsComparison", "Overvoltage"), "V",
            Key::OvervoltageEnable},
    };
    for (const Group& group : groups) {
        const auto key = [&group](int offset) { return Key(int(group.first) + offset); };
        const QString prefix = group.name + QStringLiteral(": ");
        add(key(0), prefix + QCoreApplication::translate("SettingsComparison", "enabled"),
            onOffText(group.device.getEnable()), onOffText(group.file.getEnable()),
            group.device.getEnable() != group.file.getEnable());
        add(key(1), prefix + QCoreApplication::translate("SettingsComparison", "threshold"),
            numberText(group.device.getThreshold(), group.unit),
            numberText(group.file.getThreshold(), group.unit),
            hundredths(group.device.getThreshold()) != hundredths(group.file.getThreshold()));
        add(key(2), prefix + QCoreApplication::translate("SettingsComparison", "fault type"),
            faultTypeText(group.device.getFaultType()), faultTypeText(group.file.getFaultType()),
            group.device.getFaultType() != group.file.getFaultType());
    }
}

int SettingsComparison::getChangedCount() const
{
    return int(
        std::count_if(m_rows.begin(), m_rows.end(), [](const Row& row) { return row.changed; }));
}

bool SettingsComparison::isChanged(Key key) const
{
    return std::any_of(m_rows.begin(), m_rows.end(),
        [key](const Row& row) { return row.key == key && row.changed; });
}

} // namespace Application::R58
