#include "ui/settingsform.h"

#include "config/settingsmapper.h"
#include "ui/windowfit.h"
#include "ui_r58subscreen_configuration.h"

#include <QLabel>
#include <QStyle>

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
    // The fields of every group of settings stand in one column.
    Application::R58::alignColumn({form.gridLayoutGeneralSettings, form.gridLayoutUndercurrentSettings,
                                      form.gridLayoutUndervoltageSettings,
                                      form.gridLayoutOvervoltageSettings, form.gridLayoutAsymmetrySettings},
        0);
}

QWidget* settingWidget(Ui::R58SubScreenConfiguration& form, SettingKey key)
{
    switch (key) {
    case SettingKey::TripClass:
        return form.comboBoxTripClass;
    case SettingKey::NominalCurrent:
        return form.doubleSpinBoxNominalCurrent;
    case SettingKey::OverloadReset:
        return form.checkBoxAutoReset;
    case SettingKey::Softstart:
        return form.checkBoxSoftstart;
    case SettingKey::UndercurrentEnable:
        return form.checkBoxUndercurrentEnable;
    case SettingKey::UndercurrentThreshold:
        return form.doubleSpinBoxUndercurrentThreshold;
    case SettingKey::UndercurrentFaultType:
        return form.comboBoxUndercurrentFaultType;
    case SettingKey::UndervoltageEnable:
        return form.checkBoxUndervoltageEnable;
    case SettingKey::UndervoltageThreshold:
        return form.doubleSpinBoxUndervoltageThreshold;
    case SettingKey::UndervoltageFaultType:
        return form.comboBoxUndervoltageFaultType;
    case SettingKey::OvervoltageEnable:
        return form.checkBoxOvervoltageEnable;
    case SettingKey::OvervoltageThreshold:
        return form.doubleSpinBoxOvervoltageThreshold;
    case SettingKey::OvervoltageFaultType:
        return form.comboBoxOvervoltageFaultType;
    case SettingKey::AsymmetryEnable:
        return form.checkBoxAsymmetryEnable;
    case SettingKey::AsymmetryThreshold:
        return form.doubleSpinBoxAsymmetryThreshold;
    case SettingKey::AsymmetryFaultType:
        return form.comboBoxAsymmetryFaultType;
    }
    return nullptr;
}

void markOutside(QWidget* widget, const QString& note)
{
    const bool outside = !note.isEmpty();
    widget->setToolTip(note);
    if (widget->property("outsideField").toBool() == outside)
        return;
    widget->setProperty("outsideField", outside);
    // The style sheet marks the field by that property; it must be told it changed.
    widget->style()->unpolish(widget);
    widget->style()->polish(widget);
}
