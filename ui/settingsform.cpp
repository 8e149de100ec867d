#include "ui/settingsform.h"

#include "config/settingsmapper.h"
#include "ui_r58subscreen_configuration.h"

#include <QLabel>

#include <array>
#include <utility>

using Application::R58::SettingKey;
using Application::R58::SettingsMapper;

void nameSettingLabels(Ui::R58SubScreenConfiguration& form)
{
    const std::array<std::pair<QLabel*, SettingKey>, 16> names {{
        {form.labelNominalCurrent, SettingKey::NominalCurrent},
        {form.labelSoftstart, SettingKey::Softstart},
        {form.labelAutoReset, SettingKey::OverloadReset},
        {form.labelTripClass, SettingKey::TripClass},
        {form.labelUndercurrentThreshold, SettingKey::UndercurrentThreshold},
        {form.labelUndercurrentEnable, SettingKey::UndercurrentEnable},
        {form.labelUndercurrentFaultType, SettingKey::UndercurrentFaultType},
        {form.labelUndervoltageThreshold, SettingKey::UndervoltageThreshold},
        {form.labelUndervoltageEnable, SettingKey::UndervoltageEnable},
        {form.labelUndervoltageFaultType, SettingKey::UndervoltageFaultType},
        {form.labelOvervoltageThreshold, SettingKey::OvervoltageThreshold},
        {form.labelOvervoltageEnable, SettingKey::OvervoltageEnable},
        {form.labelOvervoltageFaultType, SettingKey::OvervoltageFaultType},
        {form.labelAsymmetryThreshold, SettingKey::AsymmetryThreshold},
        {form.labelAsymmetryEnable, SettingKey::AsymmetryEnable},
        {form.labelAsymmetryFaultType, SettingKey::AsymmetryFaultType},
    }};
    for (const auto& [label, key] : names) {
        const QString unit = SettingsMapper::unit(key);
        label->setText(unit.isEmpty() ? SettingsMapper::name(key)
                                      : QStringLiteral("%1 (%2)").arg(SettingsMapper::name(key), unit));
    }
}
