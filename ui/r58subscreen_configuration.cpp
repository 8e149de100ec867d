// The device screen's configuration page: every protection setting mirrored both ways between
// its widget and the device, export and import of settings files, and the factory reset.

#include "config/config.h"
#include "config/settings.h"
#include "link/talolinkterminalservice.h"
#include "model/modeldatabase.h"
#include "ui/r58subscreen.h"
#include "ui/userfeatures.h"
#include "ui_r58subscreen_configuration.h"
#include "ui_r58subscreen_control.h"

#include <QDir>
#include <QPixmap>
#include <QStyle>

#include <cmath>

using Application::R58::Settings;
using Application::R58::ThresholdSettings;
using Application::R58::UserFeatures;
using Service::R58::TaloLinkTerminalService;
using TripClass = Model::Interfaces::ModelTypes::Settings::TripClass;
using FaultType = Model::Interfaces::ModelTypes::Settings::FaultType;

const std::array<const char*, 8> R58SubScreen::m_tripClasses {
    "2E", "3E", "5", "10A", "10", "20", "30", "40E"};

namespace {

// The nominal current is shown with one decimal; closer than this it counts as unchanged.
constexpr double NominalCurrentTolerance = 0.05; // amperes

// Stores a setting in the model and sends it to the device.
template <typename Value, typename T> void writeSetting(Value& value, const T& newValue)
{
    value.setValue(newValue);
    value.transmit();
}

bool within(float value, float minimum, float maximum)
{
    // Written so that NaN fails.
    return value >= minimum && value <= maximum;
}

} // namespace

void R58SubScreen::setupConfigurationPage()
{
    auto* form = m_uiConfiguration;
    connect(form->doubleSpinBoxNominalCurrent, qOverload<double>(&QDoubleSpinBox::valueChanged),
        this, &R58SubScreen::handleNominalCurrent);
    connect(form->comboBoxTripClass, qOverload<int>(&QComboBox::currentIndexChanged), this,
        &R58SubScreen::handleTripClass);
    connect(form->checkBoxAutoReset, &QCheckBox::stateChanged, this,
        [this](int state) { handleOverloadReset(state == Qt::Checked); });
    for (QCheckBox* box : {form->checkBoxSoftstart, m_uiControl->checkBoxControlSoftstart}) {
        connect(box, &QCheckBox::stateChanged, this,
            [this](int state) { handleSoftstart(state == Qt::Checked); });
    }

    connect(form->checkBoxUndercurrentEnable, &QCheckBox::toggled, this,
        &R58SubScreen::handleUndercurrentEnable);
    connect(form->checkBoxUndervoltageEnable, &QCheckBox::toggled, this,
        &R58SubScreen::handleUndervoltageEnable);
    connect(form->checkBoxOvervoltageEnable, &QCheckBox::toggled, this,
        &R58SubScreen::handleOvervoltageEnable);
    connect(form->checkBoxAsymmetryEnable, &QCheckBox::toggled, this,
        &R58SubScreen::handleAsymmetryEnable);

    const auto spinChanged = qOverload<double>(&QDoubleSpinBox::valueChanged);
    connect(form->doubleSpinBoxUndercurrentThreshold, spinChanged, this,
        &R58SubScreen::handleUndercurrentThreshold);
    connect(form->doubleSpinBoxUndervoltageThreshold, spinChanged, this,
        &R58SubScreen::handleUndervoltageThreshold);
    connect(form->doubleSpinBoxOvervoltageThreshold, spinChanged, this,
        &R58SubScreen::handleOvervoltageThreshold);
    connect(form->doubleSpinBoxAsymmetryThreshold, spinChanged, this,
        &R58SubScreen::handleAsymmetryThreshold);

    const auto indexChanged = qOverload<int>(&QComboBox::currentIndexChanged);
    connect(form->comboBoxUndercurrentFaultType, indexChanged, this,
        &R58SubScreen::handleUndercurrentFaultType);
    connect(form->comboBoxUndervoltageFaultType, indexChanged, this,
        &R58SubScreen::handleUndervoltageFaultType);
    connect(form->comboBoxOvervoltageFaultType, indexChanged, this,
        &R58SubScreen::handleOvervoltageFaultType);
    connect(form->comboBoxAsymmetryFaultType, indexChanged, this,
        &R58SubScreen::handleAsymmetryFaultType);

    connect(
        form->pushButtonExport, &QPushButton::clicked, this, &R58SubScreen::handleExportSettings);
    connect(
        form->pushButtonImport, &QPushButton::clicked, this, &R58SubScreen::handleImportSettings);
    connect(form->pushButtonFactoryReset, &QPushButton::clicked, this,
        &R58SubScreen::handleFactoryReset);

    TaloLinkTerminalService* service = getTerminalService().data();
    using S = TaloLinkTerminalService;
    connect(
        service, &S::nominalCurrentModelValue, this, &R58SubScreen::handleNominalCurrentModelValue);
    connect(service, &S::nominalCurrentMaxModelValue, this,
        &R58SubScreen::handleNominalCurrentMaxModelValue);
    connect(service, &S::tripClassModelValue, this, &R58SubScreen::handleTripClassModelValue);
    connect(service, &S::tripClassMaxModelValue, this, &R58SubScreen::handleTripClassMaxModelValue);
    connect(service, &S::softstartEnableModelValue, this,
        &R58SubScreen::handleSoftstartEnableModelValue);
    connect(
        service, &S::overloadResetModelValue, this, &R58SubScreen::handleOverloadResetModelValue);
    connect(service, &S::undercurrentThresholdModelValue, this,
        &R58SubScreen::handleUndercurrentThresholdModelValue);
    connect(service, &S::undercurrentFaultTypeModelValue, this,
        &R58SubScreen::handleUndercurrentFaultTypeModelValue);
    connect(service, &S::undercurrentEnableModelValue, this,
        &R58SubScreen::handleUndercurrentEnableModelValue);
    connect(service, &S::undervoltageThresholdModelValue, this,
        &R58SubScreen::handleUndervoltageThresholdModelValue);
    connect(service, &S::undervoltageFaultTypeModelValue, this,
        &R58SubScreen::handleUndervoltageFaultTypeModelValue);
    connect(service, &S::undervoltageEnableModelValue, this,
        &R58SubScreen::handleUndervoltageEnableModelValue);
    connect(service, &S::overvoltageThresholdModelValue, this,
        &R58SubScreen::handleOvervoltageThresholdModelValue);
    connect(service, &S::overvoltageFaultTypeModelValue, this,
        &R58SubScreen::handleOvervoltageFaultTypeModelValue);
    connect(service, &S::overvoltageEnableModelValue, this,
        &R58SubScreen::handleOvervoltageEnableModelValue);
    connect(service, &S::loadAsymmetryThresholdModelValue, this,
        &R58SubScreen::handleAsymmetryThresholdModelValue);
    connect(service, &S::loadAsymmetryFaultTypeModelValue, this,
        &R58SubScreen::handleAsymmetryFaultTypeModelValue);
    connect(service, &S::loadAsymmetryEnableModelValue, this,
        &R58SubScreen::handleAsymmetryEnableModelValue);
}

// ---- Widget to device: unchanged values are not sent, so a report never echoes back.

void R58SubScreen::handleNominalCurrent(double value)
{
    auto& setting = getModelDatabase()->getSettings().getNominalCurrentValue();
    if (std::fabs(double(setting.getValue()) - value) < NominalCurrentTolerance)
        return;
    writeSetting(setting, float(value));
}

void R58SubScreen::handleTripClass(int index)
{
    if (index < 0)
        return;
    auto& setting = getModelDatabase()->getSettings().getTripClassValue();
    const auto tripClass = TripClass(index);
    if (setting.getValue() == tripClass)
        return;
    writeSetting(setting, tripClass);
}

void R58SubScreen::handleOverloadReset(bool on)
{
    auto& setting = getModelDatabase()->getSettings().getOverloadResetValue();
    if (setting.getValue() == on)
        return;
    writeSetting(setting, on);
}

void R58SubScreen::handleSoftstart(bool on)
{
    if (!UserFeatures(getUserAccount()).hasFeature(UserFeatures::SoftstartSetting))
        return;
    auto& setting = getModelDatabase()->getSettings().getSoftstartEnableValue();
    if (setting.getValue() == on)
        return;
    writeSetting(setting, on);
    loadSoftstartImage();
}

namespace {

template <typename Value> void writeEnable(Value& setting, bool on)
{
    if (setting.getValue() != on)
        writeSetting(setting, on);
}

template <typename Value> void writeThreshold(Value& setting, double value)
{
    // Exact: the spin box shows what the device holds, so only a user's change differs.
    if (setting.getValue() != float(value))
        writeSetting(setting, float(value));
}

template <typename Value> void writeFaultType(Value& setting, int index)
{
    if (index < 0)
        return;
    if (setting.getValue() != FaultType(index))
        writeSetting(setting, FaultType(index));
}

} // namespace

void R58SubScreen::handleUndercurrentEnable(bool on)
{
    writeEnable(getModelDatabase()->getSettings().getUndercurrentEnableValue(), on);
}

void R58SubScreen::handleUndercurrentThreshold(double value)
{
    writeThreshold(getModelDatabase()->getSettings().getUndercurrentThresholdValue(), value);
}

void R58SubScreen::handleUndercurrentFaultType(int index)
{
    writeFaultType(getModelDatabase()->getSettings().getUndercurrentFaultValue(), index);
}

void R58SubScreen::handleUndervoltageEnable(bool on)
{
    writeEnable(getModelDatabase()->getSettings().getUndervoltageEnableValue(), on);
}

void R58SubScreen::handleUndervoltageThreshold(double value)
{
    writeThreshold(getModelDatabase()->getSettings().getUndervoltageThresholdValue(), value);
}

void R58SubScreen::handleUndervoltageFaultType(int index)
{
    writeFaultType(getModelDatabase()->getSettings().getUndervoltageFaultValue(), index);
}

void R58SubScreen::handleOvervoltageEnable(bool on)
{
    writeEnable(getModelDatabase()->getSettings().getOvervoltageEnableValue(), on);
}

void R58SubScreen::handleOvervoltageThreshold(double value)
{
    writeThreshold(getModelDatabase()->getSettings().getOvervoltageThresholdValue(), value);
}

void R58SubScreen::handleOvervoltageFaultType(int index)
{
    writeFaultType(getModelDatabase()->getSettings().getOvervoltageFaultValue(), index);
}

void R58SubScreen::handleAsymmetryEnable(bool on)
{
    writeEnable(getModelDatabase()->getSettings().getLoadAsymmetryEnableValue(), on);
}

void R58SubScreen::handleAsymmetryThreshold(double value)
{
    writeThreshold(getModelDatabase()->getSettings().getLoadAsymmetryThresholdValue(), value);
}

void R58SubScreen::handleAsymmetryFaultType(int index)
{
    writeFaultType(getModelDatabase()->getSettings().getLoadAsymmetryFaultValue(), index);
}

// ---- Device to widget.

void R58SubScreen::handleNominalCurrentModelValue()
{
    auto& settings = getModelDatabase()->getSettings();
    const float nominal = settings.getNominalCurrentValue().getValue();
    // No threshold may exceed the nominal current, neither in the model nor on screen.
    settings.getUndercurrentThresholdValue().setMaximum(nominal);
    settings.getUndercurrentThresholdValue().refreshNeighbours();
    settings.getLoadAsymmetryThresholdValue().setMaximum(nominal);
    settings.getLoadAsymmetryThresholdValue().refreshNeighbours();
    m_uiConfiguration->doubleSpinBoxNominalCurrent->setValue(double(nominal));
    m_uiConfiguration->doubleSpinBoxAsymmetryThreshold->setMaximum(double(nominal));
    m_uiConfiguration->doubleSpinBoxUndercurrentThreshold->setMaximum(double(nominal));
}

void R58SubScreen::handleNominalCurrentMaxModelValue()
{
    auto& settings = getModelDatabase()->getSettings();
    const float maximum = settings.getMaxNominalCurrentValue().getValue();
    settings.getNominalCurrentValue().setMaximum(maximum);
    settings.getNominalCurrentValue().refreshNeighbours();
    m_uiConfiguration->doubleSpinBoxNominalCurrent->setMaximum(double(maximum));
}

void R58SubScreen::handleTripClassModelValue()
{
    m_uiConfiguration->comboBoxTripClass->setCurrentIndex(
        int(getModelDatabase()->getSettings().getTripClassValue().getValue()));
}

void R58SubScreen::handleTripClassMaxModelValue()
{
    auto& settings = getModelDatabase()->getSettings();
    const TripClass maximum = settings.getMaxTripClassValue().getValue();
    settings.getTripClassValue().setMaximum(maximum);
    settings.getTripClassValue().refreshNeighbours();

    QComboBox* list = m_uiConfiguration->comboBoxTripClass;
    const int entries = int(maximum) + 1;
    while (list->count() > entries)
        list->removeItem(list->count() - 1);
    for (int index = list->count(); index < entries; ++index) {
        list->addItem(index < int(m_tripClasses.size()) ? QString::fromLatin1(m_tripClasses[index])
                                                        : QString());
    }
}

void R58SubScreen::handleSoftstartEnableModelValue()
{
    const bool on = getModelDatabase()->getSettings().getSoftstartEnableValue().getValue();
    m_uiConfiguration->checkBoxSoftstart->setChecked(on);
    m_uiControl->checkBoxControlSoftstart->setChecked(on);
    loadSoftstartImage();
}

void R58SubScreen::handleOverloadResetModelValue()
{
    m_uiConfiguration->checkBoxAutoReset->setChecked(
        getModelDatabase()->getSettings().getOverloadResetValue().getValue());
}

void R58SubScreen::handleUndercurrentThresholdModelValue()
{
    m_uiConfiguration->doubleSpinBoxUndercurrentThreshold->setValue(
        double(getModelDatabase()->getSettings().getUndercurrentThresholdValue().getValue()));
}

void R58SubScreen::handleUndercurrentFaultTypeModelValue()
{
    m_uiConfiguration->comboBoxUndercurrentFaultType->setCurrentIndex(
        int(getModelDatabase()->getSettings().getUndercurrentFaultValue().getValue()));
}

void R58SubScreen::handleUndercurrentEnableModelValue()
{
    m_uiConfiguration->checkBoxUndercurrentEnable->setChecked(
        getModelDatabase()->getSettings().getUndercurrentEnableValue().getValue());
}

void R58SubScreen::handleUndervoltageThresholdModelValue()
{
    m_uiConfiguration->doubleSpinBoxUndervoltageThreshold->setValue(
        double(getModelDatabase()->getSettings().getUndervoltageThresholdValue().getValue()));
}

void R58SubScreen::handleUndervoltageFaultTypeModelValue()
{
    m_uiConfiguration->comboBoxUndervoltageFaultType->setCurrentIndex(
        int(getModelDatabase()->getSettings().getUndervoltageFaultValue().getValue()));
}

void R58SubScreen::handleUndervoltageEnableModelValue()
{
    m_uiConfiguration->checkBoxUndervoltageEnable->setChecked(
        getModelDatabase()->getSettings().getUndervoltageEnableValue().getValue());
}

void R58SubScreen::handleOvervoltageThresholdModelValue()
{
    m_uiConfiguration->doubleSpinBoxOvervoltageThreshold->setValue(
        double(getModelDatabase()->getSettings().getOvervoltageThresholdValue().getValue()));
}

void R58SubScreen::handleOvervoltageFaultTypeModelValue()
{
    m_uiConfiguration->comboBoxOvervoltageFaultType->setCurrentIndex(
        int(getModelDatabase()->getSettings().getOvervoltageFaultValue().getValue()));
}

void R58SubScreen::handleOvervoltageEnableModelValue()
{
    m_uiConfiguration->checkBoxOvervoltageEnable->setChecked(
        getModelDatabase()->getSettings().getOvervoltageEnableValue().getValue());
}

void R58SubScreen::handleAsymmetryThresholdModelValue()
{
    m_uiConfiguration->doubleSpinBoxAsymmetryThreshold->setValue(
        double(getModelDatabase()->getSettings().getLoadAsymmetryThresholdValue().getValue()));
}

void R58SubScreen::handleAsymmetryFaultTypeModelValue()
{
    m_uiConfiguration->comboBoxAsymmetryFaultType->setCurrentIndex(
        int(getModelDatabase()->getSettings().getLoadAsymmetryFaultValue().getValue()));
}

void R58SubScreen::handleAsymmetryEnableModelValue()
{
    m_uiConfiguration->checkBoxAsymmetryEnable->setChecked(
        getModelDatabase()->getSettings().getLoadAsymmetryEnableValue().getValue());
}

void R58SubScreen::loadSoftstartImage()
{
    if (!getModelDatabase()->getSettings().getSoftstartEnableValue().getValue())
        m_uiControl->labelControlMotor->setPixmap(QPixmap(QStringLiteral(":/images/motor.png")));
}

// ---- Files and factory reset.

void R58SubScreen::copyModelToSettings()
{
    auto& model = getModelDatabase()->getSettings();
    Settings& file = *getSettings();
    file.setTripClass(model.getTripClassValue().getValue());
    file.setNominalCurrent(model.getNominalCurrentValue().getValue());
    file.setOverloadReset(model.getOverloadResetValue().getValue());
    file.getUndercurrentSettings().setEnable(model.getUndercurrentEnableValue().getValue());
    file.getUndercurrentSettings().setThreshold(model.getUndercurrentThresholdValue().getValue());
    file.getUndercurrentSettings().setFaultType(model.getUndercurrentFaultValue().getValue());
    file.getUndervoltageSettings().setEnable(model.getUndervoltageEnableValue().getValue());
    file.getUndervoltageSettings().setThreshold(model.getUndervoltageThresholdValue().getValue());
    file.getUndervoltageSettings().setFaultType(model.getUndervoltageFaultValue().getValue());
    file.getOvervoltageSettings().setEnable(model.getOvervoltageEnableValue().getValue());
    file.getOvervoltageSettings().setThreshold(model.getOvervoltageThresholdValue().getValue());
    file.getOvervoltageSettings().setFaultType(model.getOvervoltageFaultValue().getValue());
}

void R58SubScreen::handleExportSettings()
{
    const QString path = askFileName(FileDialogMode::Save, tr("Export settings"),
        getConfig()->getSettingsDir(), tr("JSON Files (*.json)"));
    if (path.isEmpty())
        return;
    copyModelToSettings();
    if (!getSettings()->save(path)) {
        showSettingsMessage(
            tr("The settings could not be written to %1.").arg(QDir::toNativeSeparators(path)),
            true);
        return;
    }
    rememberSettingsDir(path, tr("Settings exported to %1.").arg(QDir::toNativeSeparators(path)));
}

void R58SubScreen::handleImportSettings()
{
    const QString path = askFileName(FileDialogMode::Open, tr("Import settings"),
        getConfig()->getSettingsDir(), tr("JSON Files (*.json)"));
    if (path.isEmpty())
        return;
    const QString name = QDir::toNativeSeparators(path);
    // A file that lacks a setting leaves it as the device has it, not as an earlier file had it.
    copyModelToSettings();
    if (!getSettings()->load(path)) {
        showSettingsMessage(
            tr("%1 could not be read. Nothing was sent to the device.").arg(name), true);
        return;
    }
    if (getSettings()->getLoadedCount() == 0) {
        showSettingsMessage(
            tr("%1 holds no device settings. Nothing was sent to the device.").arg(name), true);
        return;
    }
    const QString wrong = checkImportedSettings();
    if (!wrong.isEmpty()) {
        showSettingsMessage(tr("%1: %2 Nothing was sent to the device.").arg(name, wrong), true);
        return;
    }
    sendImportedSettings();
    rememberSettingsDir(path, tr("Settings imported from %1.").arg(name));
}

QString R58SubScreen::checkImportedSettings()
{
    auto& model = getModelDatabase()->getSettings();
    Settings& file = *getSettings();
    const auto outOfRange = [](const QString& field, const QString& value, const QString& minimum,
                                const QString& maximum) {
        return tr("%1 %2 is outside %3 to %4.").arg(field, value, minimum, maximum);
    };

    const auto& tripClass = model.getTripClassValue();
    if (int(file.getTripClass()) < int(tripClass.getMinimum())
        || int(file.getTripClass()) > int(tripClass.getMaximum())) {
        return outOfRange(tr("Trip Class"), QString::number(int(file.getTripClass())),
            tripClass.toString(tripClass.getMinimum()), tripClass.toString(tripClass.getMaximum()));
    }

    const auto& nominal = model.getNominalCurrentValue();
    const float current = file.getNominalCurrent();
    if (!within(current, nominal.getMinimum(), nominal.getMaximum())) {
        return outOfRange(tr("Nominal Current (A)"), QString::number(double(current)),
            QString::number(double(nominal.getMinimum())),
            QString::number(double(nominal.getMaximum())));
    }

    struct Threshold
    {
        QString field;
        const ThresholdSettings& settings;
        float minimum;
        float maximum;
    };
    // The undercurrent limit follows the nominal current the same file brings along.
    const Threshold thresholds[] {
        {tr("Undercurrent threshold (A)"), file.getUndercurrentSettings(),
            model.getUndercurrentThresholdValue().getMinimum(), current},
        {tr("Undervoltage threshold (V)"), file.getUndervoltageSettings(),
            model.getUndervoltageThresholdValue().getMinimum(),
            model.getUndervoltageThresholdValue().getMaximum()},
        {tr("Overvoltage threshold (V)"), file.getOvervoltageSettings(),
            model.getOvervoltageThresholdValue().getMinimum(),
            model.getOvervoltageThresholdValue().getMaximum()},
    };
    const auto& faultRange = model.getUndercurrentFaultValue();
    for (const Threshold& threshold : thresholds) {
        if (!within(threshold.settings.getThreshold(), threshold.minimum, threshold.maximum)) {
            return outOfRange(threshold.field,
                QString::number(double(threshold.settings.getThreshold())),
                QString::number(double(threshold.minimum)),
                QString::number(double(threshold.maximum)));
        }
        const int faultType = int(threshold.settings.getFaultType());
        if (faultType < int(faultRange.getMinimum()) || faultType > int(faultRange.getMaximum())) {
            return outOfRange(tr("Fault Type"), QString::number(faultType),
                QString::number(int(faultRange.getMinimum())),
                QString::number(int(faultRange.getMaximum())));
        }
    }
    return {};
}

void R58SubScreen::sendImportedSettings()
{
    // All twelve, changed or not: the file is what the user wants the device to hold.
    auto& model = getModelDatabase()->getSettings();
    Settings& file = *getSettings();
    writeSetting(model.getTripClassValue(), file.getTripClass());
    writeSetting(model.getNominalCurrentValue(), file.getNominalCurrent());
    writeSetting(model.getOverloadResetValue(), file.getOverloadReset());
    writeSetting(model.getUndercurrentEnableValue(), file.getUndercurrentSettings().getEnable());
    writeSetting(
        model.getUndercurrentThresholdValue(), file.getUndercurrentSettings().getThreshold());
    writeSetting(model.getUndercurrentFaultValue(), file.getUndercurrentSettings().getFaultType());
    writeSetting(model.getUndervoltageEnableValue(), file.getUndervoltageSettings().getEnable());
    writeSetting(
        model.getUndervoltageThresholdValue(), file.getUndervoltageSettings().getThreshold());
    writeSetting(model.getUndervoltageFaultValue(), file.getUndervoltageSettings().getFaultType());
    writeSetting(model.getOvervoltageEnableValue(), file.getOvervoltageSettings().getEnable());
    writeSetting(
        model.getOvervoltageThresholdValue(), file.getOvervoltageSettings().getThreshold());
    writeSetting(model.getOvervoltageFaultValue(), file.getOvervoltageSettings().getFaultType());
}

void R58SubScreen::handleFactoryReset()
{
    fireAction(Model::Interfaces::ModelActionID::FactoryReset);
    // Ask for the settings again, so every widget shows what the device holds after the reset
    // even if the device does not report its new values by itself.
    getModelDatabase()->getSettings().init();
    showSettingsMessage(tr("The device was reset to its factory settings."), false);
}

void R58SubScreen::rememberSettingsDir(const QString& path, const QString& done)
{
    getConfig()->setSettingsDir(path);
    if (getConfig()->save()) {
        showSettingsMessage(done, false);
        return;
    }
    // The settings file itself is fine; only the folder for next time is not kept.
    showSettingsMessage(done + QLatin1Char(' ')
            + tr("The folder could not be remembered for next time: %1 could not be written.")
                  .arg(QDir::toNativeSeparators(getConfig()->getFilePath())),
        true);
}

void R58SubScreen::showSettingsMessage(const QString& text, bool failure)
{
    QLabel* label = m_uiConfiguration->labelSettingsMessage;
    label->setText(text);
    label->setProperty("failure", failure);
    // The style sheet colours the message by that property; it must be told it changed.
    label->style()->unpolish(label);
    label->style()->polish(label);
}
