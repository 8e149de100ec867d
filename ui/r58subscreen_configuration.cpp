// The device screen's configuration page: every protection setting mirrored both ways between
// its widget and the device, export and import of settings files, and the factory reset.

#include "config/config.h"
#include "config/settings.h"
#include "config/settingsbackups.h"
#include "config/settingscomparison.h"
#include "link/serialport.h"
#include "link/talolinkterminalservice.h"
#include "link/talolinkusbcomponent.h"
#include "model/modeldatabase.h"
#include "ui/comparedialog.h"
#include "ui/r58subscreen.h"
#include "ui/userfeatures.h"
#include "ui/wheelguard.h"
#include "ui_r58subscreen_configuration.h"
#include "ui_r58subscreen_control.h"

#include <QDir>
#include <QPixmap>
#include <QSignalBlocker>
#include <QStyle>

#include <algorithm>
#include <cmath>

using Application::R58::Settings;
using Application::R58::SettingsBackups;
using Application::R58::SettingsComparison;
using Application::R58::ThresholdSettings;
using Application::R58::UserFeatures;
using Service::R58::TaloLinkTerminalService;
using TripClass = Model::Interfaces::ModelTypes::Settings::TripClass;
using FaultType = Model::Interfaces::ModelTypes::Settings::FaultType;

const std::array<const char*, 8> R58SubScreen::m_tripClasses {
    "2E", "3E", "5", "10A", "10", "20", "30", "40E"};

namespace {

// The nominal current is shown with one decimal; closer than this it counts as unchanged.
constexpr double NominalCurrentTolerance = 0.05; // amperes, at one decimal

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

// What a spin box offers the user: its own range and decimals, with the maximum the device
// sets. Kept on the field, because a device value outside it widens the field for a while.
struct FieldRange
{
    double minimum = 0.0;
    double maximum = 0.0;
    int decimals = 0;
};

const char* const FieldMinimum = "fieldMinimum";
const char* const FieldMaximum = "fieldMaximum";
const char* const FieldDecimals = "fieldDecimals";
// Set while a field or list shows a device value it does not offer; the style sheet marks it.
const char* const OutsideField = "outsideField";

// A device value needs no more decimals than this to be shown as it is (milliamperes).
constexpr int MaxShownDecimals = 3;

FieldRange fieldRange(const QDoubleSpinBox* field)
{
    return {field->property(FieldMinimum).toDouble(), field->property(FieldMaximum).toDouble(),
        field->property(FieldDecimals).toInt()};
}

void keepFieldRange(QDoubleSpinBox* field)
{
    field->setProperty(FieldMinimum, field->minimum());
    field->setProperty(FieldMaximum, field->maximum());
    field->setProperty(FieldDecimals, field->decimals());
}

// Equal up to what a float holds: a float's nearest double has digits a field never shows.
bool sameNumber(double a, double b)
{
    return std::fabs(a - b) <= 1e-6 * std::max(1.0, std::fabs(b));
}

int decimalsToShow(double value, int fewest)
{
    int decimals = fewest;
    while (decimals < MaxShownDecimals) {
        const double scale = std::pow(10.0, decimals);
        if (sameNumber(std::round(value * scale) / scale, value))
            break;
        ++decimals;
    }
    return decimals;
}

void markOutside(QWidget* widget, const QString& note)
{
    const bool outside = !note.isEmpty();
    widget->setToolTip(note);
    if (widget->property(OutsideField).toBool() == outside)
        return;
    widget->setProperty(OutsideField, outside);
    // The style sheet marks the field by that property; it must be told it changed.
    widget->style()->unpolish(widget);
    widget->style()->polish(widget);
}

// Sends a user's new value unless the device holds it already; when it cannot be sent, the
// widget shows the device's value again.
template <typename Value, typename T, typename Admit, typename Reshow>
void editSetting(Value& setting, const T& value, Admit admit, Reshow reshow)
{
    if (setting.getValue() == value)
        return;
    if (!admit()) {
        reshow();
        return;
    }
    writeSetting(setting, value);
}

QString number(double value)
{
    return QString::number(value, 'g', 7);
}

} // namespace

void R58SubScreen::setupConfigurationPage()
{
    auto* form = m_uiConfiguration;
    auto* wheelGuard = new WheelGuard(this);
    for (QDoubleSpinBox* field : {form->doubleSpinBoxNominalCurrent,
             form->doubleSpinBoxUndercurrentThreshold, form->doubleSpinBoxUndervoltageThreshold,
             form->doubleSpinBoxOvervoltageThreshold, form->doubleSpinBoxAsymmetryThreshold}) {
        // A typed value is sent once, when committed (Enter or leaving the field), not as the
        // digits come: "250" would otherwise send 2 V and 25 V first. Arrows still send at once.
        field->setKeyboardTracking(false);
        keepFieldRange(field);
        wheelGuard->guard(field);
    }
    for (QComboBox* list : {form->comboBoxTripClass, form->comboBoxUndercurrentFaultType,
             form->comboBoxUndervoltageFaultType, form->comboBoxOvervoltageFaultType,
             form->comboBoxAsymmetryFaultType})
        wheelGuard->guard(list);
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

// ---- Widget to device: each runs on a user's act only (reports fill the widgets silently), and
// unchanged values are not sent.

bool R58SubScreen::isConnected() const
{
    const auto& link = getUSBComponent();
    return link && link->getSerialPort() && link->getSerialPort()->isOpen();
}

bool R58SubScreen::admitEdit()
{
    if (isConnected())
        return true;
    showSettingsMessage(tr("The device is not connected. Nothing was sent to the device."), true);
    return false;
}

bool R58SubScreen::admitEdit(
    QDoubleSpinBox* field, const QString& caption, double value, double deviceValue)
{
    const FieldRange range = fieldRange(field);
    // Reachable only while the field shows a device value outside what it offers.
    const bool inside = (value >= range.minimum || sameNumber(value, range.minimum))
        && (value <= range.maximum || sameNumber(value, range.maximum));
    if (inside && admitEdit())
        return true;
    if (!inside) {
        showSettingsMessage(
            tr("%1: %2 is outside %3 to %4. Nothing was sent to the device.")
                .arg(caption, number(value), number(range.minimum), number(range.maximum)),
            true);
    }
    showDeviceValue(field, deviceValue);
    return false;
}

void R58SubScreen::handleNominalCurrent(double value)
{
    auto& setting = getModelDatabase()->getSettings().getNominalCurrentValue();
    QDoubleSpinBox* field = m_uiConfiguration->doubleSpinBoxNominalCurrent;
    // Half the last shown digit: a field widened for a device value with more decimals tells
    // apart what its usual one decimal would not.
    const double tolerance = NominalCurrentTolerance * std::pow(10.0, 1 - field->decimals());
    if (std::fabs(double(setting.getValue()) - value) < tolerance)
        return;
    if (!admitEdit(field, tr("Nominal Current (A)"), value, double(setting.getValue())))
        return;
    writeSetting(setting, float(value));
    lowerThresholdsTo(float(value));
}

void R58SubScreen::lowerThresholdsTo(float nominalCurrent)
{
    auto& settings = getModelDatabase()->getSettings();
    QStringList lowered;
    const auto lower = [&](auto& threshold, const QString& caption) {
        if (threshold.getValue() > nominalCurrent) {
            writeSetting(threshold, nominalCurrent);
            lowered << tr("%1 lowered to %2.").arg(caption, number(double(nominalCurrent)));
        }
    };
    lower(settings.getUndercurrentThresholdValue(), tr("Undercurrent threshold (A)"));
    // A device without the load asymmetry protection is not sent its threshold.
    if (!m_uiConfiguration->pushButtonAsymmetrySettings->isHidden())
        lower(settings.getLoadAsymmetryThresholdValue(), tr("Load asymmetry threshold (A)"));
    if (!lowered.isEmpty()) {
        showSettingsMessage(tr("No threshold may exceed the nominal current: %1")
                                .arg(lowered.join(QLatin1Char(' '))),
            false);
    }
}

void R58SubScreen::handleTripClass(int index)
{
    if (index < 0)
        return;
    editSetting(
        getModelDatabase()->getSettings().getTripClassValue(), TripClass(index),
        [this] { return admitEdit(); }, [this] { handleTripClassModelValue(); });
}

void R58SubScreen::handleOverloadReset(bool on)
{
    editSetting(
        getModelDatabase()->getSettings().getOverloadResetValue(), on,
        [this] { return admitEdit(); }, [this] { handleOverloadResetModelValue(); });
}

void R58SubScreen::handleSoftstart(bool on)
{
    if (!UserFeatures(getUserAccount()).hasFeature(UserFeatures::SoftstartSetting))
        return;
    auto& setting = getModelDatabase()->getSettings().getSoftstartEnableValue();
    if (setting.getValue() == on)
        return;
    if (!admitEdit()) {
        handleSoftstartEnableModelValue();
        return;
    }
    writeSetting(setting, on);
    loadSoftstartImage();
}

void R58SubScreen::handleUndercurrentEnable(bool on)
{
    editSetting(
        getModelDatabase()->getSettings().getUndercurrentEnableValue(), on,
        [this] { return admitEdit(); }, [this] { handleUndercurrentEnableModelValue(); });
}

void R58SubScreen::handleUndercurrentThreshold(double value)
{
    auto& setting = getModelDatabase()->getSettings().getUndercurrentThresholdValue();
    // Exact: the field shows what the device holds, so only a user's change differs.
    if (setting.getValue() != float(value)
        && admitEdit(m_uiConfiguration->doubleSpinBoxUndercurrentThreshold,
            tr("Undercurrent threshold (A)"), value, double(setting.getValue())))
        writeSetting(setting, float(value));
}

void R58SubScreen::handleUndercurrentFaultType(int index)
{
    if (index >= 0) {
        editSetting(
            getModelDatabase()->getSettings().getUndercurrentFaultValue(), FaultType(index),
            [this] { return admitEdit(); }, [this] { handleUndercurrentFaultTypeModelValue(); });
    }
}

void R58SubScreen::handleUndervoltageEnable(bool on)
{
    editSetting(
        getModelDatabase()->getSettings().getUndervoltageEnableValue(), on,
        [this] { return admitEdit(); }, [this] { handleUndervoltageEnableModelValue(); });
}

void R58SubScreen::handleUndervoltageThreshold(double value)
{
    auto& setting = getModelDatabase()->getSettings().getUndervoltageThresholdValue();
    // Exact: the field shows what the device holds, so only a user's change differs.
    if (setting.getValue() != float(value)
        && admitEdit(m_uiConfiguration->doubleSpinBoxUndervoltageThreshold,
            tr("Undervoltage threshold (V)"), value, double(setting.getValue())))
        writeSetting(setting, float(value));
}

void R58SubScreen::handleUndervoltageFaultType(int index)
{
    if (index >= 0) {
        editSetting(
            getModelDatabase()->getSettings().getUndervoltageFaultValue(), FaultType(index),
            [this] { return admitEdit(); }, [this] { handleUndervoltageFaultTypeModelValue(); });
    }
}

void R58SubScreen::handleOvervoltageEnable(bool on)
{
    editSetting(
        getModelDatabase()->getSettings().getOvervoltageEnableValue(), on,
        [this] { return admitEdit(); }, [this] { handleOvervoltageEnableModelValue(); });
}

void R58SubScreen::handleOvervoltageThreshold(double value)
{
    auto& setting = getModelDatabase()->getSettings().getOvervoltageThresholdValue();
    // Exact: the field shows what the device holds, so only a user's change differs.
    if (setting.getValue() != float(value)
        && admitEdit(m_uiConfiguration->doubleSpinBoxOvervoltageThreshold,
            tr("Overvoltage threshold (V)"), value, double(setting.getValue())))
        writeSetting(setting, float(value));
}

void R58SubScreen::handleOvervoltageFaultType(int index)
{
    if (index >= 0) {
        editSetting(
            getModelDatabase()->getSettings().getOvervoltageFaultValue(), FaultType(index),
            [this] { return admitEdit(); }, [this] { handleOvervoltageFaultTypeModelValue(); });
    }
}

void R58SubScreen::handleAsymmetryEnable(bool on)
{
    editSetting(
        getModelDatabase()->getSettings().getLoadAsymmetryEnableValue(), on,
        [this] { return admitEdit(); }, [this] { handleAsymmetryEnableModelValue(); });
}

void R58SubScreen::handleAsymmetryThreshold(double value)
{
    auto& setting = getModelDatabase()->getSettings().getLoadAsymmetryThresholdValue();
    // Exact: the field shows what the device holds, so only a user's change differs.
    if (setting.getValue() != float(value)
        && admitEdit(m_uiConfiguration->doubleSpinBoxAsymmetryThreshold,
            tr("Load asymmetry threshold (A)"), value, double(setting.getValue())))
        writeSetting(setting, float(value));
}

void R58SubScreen::handleAsymmetryFaultType(int index)
{
    if (index >= 0) {
        editSetting(
            getModelDatabase()->getSettings().getLoadAsymmetryFaultValue(), FaultType(index),
            [this] { return admitEdit(); }, [this] { handleAsymmetryFaultTypeModelValue(); });
    }
}

// ---- Device to widget: what the device reports is shown as it is and never sent back, so no
// widget signal may run while a report is shown.

void R58SubScreen::showDeviceValue(QDoubleSpinBox* field, double value)
{
    if (!std::isfinite(value)) {
        markOutside(field, tr("The device holds %1, which this field cannot show.").arg(value));
        return;
    }
    const FieldRange range = fieldRange(field);
    const QSignalBlocker blocker(field);
    field->setDecimals(decimalsToShow(value, range.decimals));
    field->setRange(std::min(range.minimum, value), std::max(range.maximum, value));
    field->setValue(value);
    const bool inside = value >= range.minimum && value <= range.maximum;
    markOutside(field,
        inside ? QString()
               : tr("The device holds %1, outside %2 to %3 that this field offers. It is shown "
                    "as it is and not sent back.")
                     .arg(number(value), number(range.minimum), number(range.maximum)));
}

void R58SubScreen::showDeviceIndex(QComboBox* list, int index)
{
    const QSignalBlocker blocker(list);
    const bool offered = index >= 0 && index < list->count();
    // A value the list does not offer shows as no entry rather than as another one.
    list->setCurrentIndex(offered ? index : -1);
    markOutside(list,
        offered ? QString()
                : tr("The device holds the value %1, which this list does not offer.").arg(index));
}

void R58SubScreen::handleNominalCurrentModelValue()
{
    auto& settings = getModelDatabase()->getSettings();
    const float nominal = settings.getNominalCurrentValue().getValue();
    // No threshold may exceed the nominal current, neither in the model nor in the fields. One
    // that does already is shown as the device holds it: only the user changes a setting.
    settings.getUndercurrentThresholdValue().setMaximum(nominal);
    settings.getUndercurrentThresholdValue().refreshNeighbours();
    settings.getLoadAsymmetryThresholdValue().setMaximum(nominal);
    settings.getLoadAsymmetryThresholdValue().refreshNeighbours();
    showDeviceValue(m_uiConfiguration->doubleSpinBoxNominalCurrent, double(nominal));
    for (QDoubleSpinBox* field : {m_uiConfiguration->doubleSpinBoxAsymmetryThreshold,
             m_uiConfiguration->doubleSpinBoxUndercurrentThreshold})
        field->setProperty(FieldMaximum, double(nominal));
    handleAsymmetryThresholdModelValue();
    handleUndercurrentThresholdModelValue();
}

void R58SubScreen::handleNominalCurrentMaxModelValue()
{
    auto& settings = getModelDatabase()->getSettings();
    const float maximum = settings.getMaxNominalCurrentValue().getValue();
    settings.getNominalCurrentValue().setMaximum(maximum);
    settings.getNominalCurrentValue().refreshNeighbours();
    m_uiConfiguration->doubleSpinBoxNominalCurrent->setProperty(FieldMaximum, double(maximum));
    showDeviceValue(m_uiConfiguration->doubleSpinBoxNominalCurrent,
        double(settings.getNominalCurrentValue().getValue()));
}

void R58SubScreen::handleTripClassModelValue()
{
    showDeviceIndex(m_uiConfiguration->comboBoxTripClass,
        int(getModelDatabase()->getSettings().getTripClassValue().getValue()));
}

void R58SubScreen::handleTripClassMaxModelValue()
{
    auto& settings = getModelDatabase()->getSettings();
    const TripClass maximum = settings.getMaxTripClassValue().getValue();
    settings.getTripClassValue().setMaximum(maximum);
    settings.getTripClassValue().refreshNeighbours();

    QComboBox* list = m_uiConfiguration->comboBoxTripClass;
    {
        const QSignalBlocker blocker(list);
        const int entries = int(maximum) + 1;
        while (list->count() > entries)
            list->removeItem(list->count() - 1);
        for (int index = list->count(); index < entries; ++index) {
            list->addItem(index < int(m_tripClasses.size())
                    ? QString::fromLatin1(m_tripClasses[index])
                    : QString());
        }
    }
    // Removing the shown entry moves the list to another one; it must show the device's again.
    handleTripClassModelValue();
}

void R58SubScreen::handleSoftstartEnableModelValue()
{
    const bool on = getModelDatabase()->getSettings().getSoftstartEnableValue().getValue();
    for (QCheckBox* box :
        {m_uiConfiguration->checkBoxSoftstart, m_uiControl->checkBoxControlSoftstart}) {
        const QSignalBlocker blocker(box);
        box->setChecked(on);
    }
    loadSoftstartImage();
}

void R58SubScreen::handleOverloadResetModelValue()
{
    const QSignalBlocker blocker(m_uiConfiguration->checkBoxAutoReset);
    m_uiConfiguration->checkBoxAutoReset->setChecked(
        getModelDatabase()->getSettings().getOverloadResetValue().getValue());
}

void R58SubScreen::handleUndercurrentThresholdModelValue()
{
    showDeviceValue(m_uiConfiguration->doubleSpinBoxUndercurrentThreshold,
        double(getModelDatabase()->getSettings().getUndercurrentThresholdValue().getValue()));
}

void R58SubScreen::handleUndercurrentFaultTypeModelValue()
{
    showDeviceIndex(m_uiConfiguration->comboBoxUndercurrentFaultType,
        int(getModelDatabase()->getSettings().getUndercurrentFaultValue().getValue()));
}

void R58SubScreen::handleUndercurrentEnableModelValue()
{
    const QSignalBlocker blocker(m_uiConfiguration->checkBoxUndercurrentEnable);
    m_uiConfiguration->checkBoxUndercurrentEnable->setChecked(
        getModelDatabase()->getSettings().getUndercurrentEnableValue().getValue());
}

void R58SubScreen::handleUndervoltageThresholdModelValue()
{
    showDeviceValue(m_uiConfiguration->doubleSpinBoxUndervoltageThreshold,
        double(getModelDatabase()->getSettings().getUndervoltageThresholdValue().getValue()));
}

void R58SubScreen::handleUndervoltageFaultTypeModelValue()
{
    showDeviceIndex(m_uiConfiguration->comboBoxUndervoltageFaultType,
        int(getModelDatabase()->getSettings().getUndervoltageFaultValue().getValue()));
}

void R58SubScreen::handleUndervoltageEnableModelValue()
{
    const QSignalBlocker blocker(m_uiConfiguration->checkBoxUndervoltageEnable);
    m_uiConfiguration->checkBoxUndervoltageEnable->setChecked(
        getModelDatabase()->getSettings().getUndervoltageEnableValue().getValue());
}

void R58SubScreen::handleOvervoltageThresholdModelValue()
{
    showDeviceValue(m_uiConfiguration->doubleSpinBoxOvervoltageThreshold,
        double(getModelDatabase()->getSettings().getOvervoltageThresholdValue().getValue()));
}

void R58SubScreen::handleOvervoltageFaultTypeModelValue()
{
    showDeviceIndex(m_uiConfiguration->comboBoxOvervoltageFaultType,
        int(getModelDatabase()->getSettings().getOvervoltageFaultValue().getValue()));
}

void R58SubScreen::handleOvervoltageEnableModelValue()
{
    const QSignalBlocker blocker(m_uiConfiguration->checkBoxOvervoltageEnable);
    m_uiConfiguration->checkBoxOvervoltageEnable->setChecked(
        getModelDatabase()->getSettings().getOvervoltageEnableValue().getValue());
}

void R58SubScreen::handleAsymmetryThresholdModelValue()
{
    showDeviceValue(m_uiConfiguration->doubleSpinBoxAsymmetryThreshold,
        double(getModelDatabase()->getSettings().getLoadAsymmetryThresholdValue().getValue()));
}

void R58SubScreen::handleAsymmetryFaultTypeModelValue()
{
    showDeviceIndex(m_uiConfiguration->comboBoxAsymmetryFaultType,
        int(getModelDatabase()->getSettings().getLoadAsymmetryFaultValue().getValue()));
}

void R58SubScreen::handleAsymmetryEnableModelValue()
{
    const QSignalBlocker blocker(m_uiConfiguration->checkBoxAsymmetryEnable);
    m_uiConfiguration->checkBoxAsymmetryEnable->setChecked(
        getModelDatabase()->getSettings().getLoadAsymmetryEnableValue().getValue());
}

void R58SubScreen::loadSoftstartImage()
{
    if (!getModelDatabase()->getSettings().getSoftstartEnableValue().getValue())
        m_uiControl->labelControlMotor->setPixmap(QPixmap(QStringLiteral(":/images/motor.png")));
}

// ---- Files and factory reset.

Settings R58SubScreen::deviceSettings()
{
    auto& model = getModelDatabase()->getSettings();
    Settings settings;
    settings.setTripClass(model.getTripClassValue().getValue());
    settings.setNominalCurrent(model.getNominalCurrentValue().getValue());
    settings.setOverloadReset(model.getOverloadResetValue().getValue());
    auto& under = settings.getUndercurrentSettings();
    under.setEnable(model.getUndercurrentEnableValue().getValue());
    under.setThreshold(model.getUndercurrentThresholdValue().getValue());
    under.setFaultType(model.getUndercurrentFaultValue().getValue());
    auto& low = settings.getUndervoltageSettings();
    low.setEnable(model.getUndervoltageEnableValue().getValue());
    low.setThreshold(model.getUndervoltageThresholdValue().getValue());
    low.setFaultType(model.getUndervoltageFaultValue().getValue());
    auto& high = settings.getOvervoltageSettings();
    high.setEnable(model.getOvervoltageEnableValue().getValue());
    high.setThreshold(model.getOvervoltageThresholdValue().getValue());
    high.setFaultType(model.getOvervoltageFaultValue().getValue());
    return settings;
}

void R58SubScreen::copyModelToSettings()
{
    *getSettings() = deviceSettings();
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
    if (!path.isEmpty())
        compareSettingsFile(path, true);
}

void R58SubScreen::handleCompareSettings()
{
    const QString path = askFileName(FileDialogMode::Open, tr("Compare settings"),
        getConfig()->getSettingsDir(), tr("JSON Files (*.json)"));
    if (!path.isEmpty())
        compareSettingsFile(path, false);
}

void R58SubScreen::compareSettingsFile(const QString& path, bool import)
{
    const QString name = QDir::toNativeSeparators(path);
    // A file that lacks a setting leaves it as the device has it, not as an earlier file had it.
    const Settings device = deviceSettings();
    *getSettings() = device;
    if (!getSettings()->load(path)) {
        showSettingsMessage(
            tr("%1 could not be read. Nothing was sent to the device.").arg(name), true);
        return;
    }
    const auto& refusedKeys = getSettings()->getRefusedKeys();
    if (getSettings()->getLoadedCount() == 0 && refusedKeys.isEmpty()) {
        showSettingsMessage(
            tr("%1 holds no device settings. Nothing was sent to the device.").arg(name), true);
        return;
    }
    // Checked before anything is offered: a number cut to fit its field would be another
    // setting, and a value out of range is one the device must not get.
    QStringList refusals;
    QString refusal;
    for (const auto& refused : refusedKeys)
        refusals << tr("\"%1\" holds %2, which is no value of that setting.")
                        .arg(refused.key, number(refused.number));
    if (!refusedKeys.isEmpty()) {
        refusal = tr("%1: \"%2\" holds %3, which is no value of that setting. Nothing "
                     "was sent to the device.")
                      .arg(name, refusedKeys.first().key, number(refusedKeys.first().number));
    } else if (const QString wrong = checkImportedSettings(); !wrong.isEmpty()) {
        refusals << wrong;
        refusal = tr("%1: %2 Nothing was sent to the device.").arg(name, wrong);
    }

    const SettingsComparison comparison(device, *getSettings());
    CompareDialog dialog(comparison, path, refusals, isConnected(),
        import ? CompareDialog::Mode::Import : CompareDialog::Mode::Compare, this);
    const bool applied = runDialog(dialog) == QDialog::Accepted && dialog.canApply();
    if (!import)
        return;
    if (!refusal.isEmpty()) {
        showSettingsMessage(refusal, true);
        return;
    }
    // The model mirrors the device: it takes the file's values only when they can be sent.
    if (!isConnected()) {
        showSettingsMessage(
            tr("%1 was not imported: the device is not connected. Nothing was sent to the device.")
                .arg(name),
            true);
        return;
    }
    if (comparison.getChangedCount() == 0) {
        rememberSettingsDir(path,
            tr("%1 holds the device's settings: nothing to change, nothing was sent.").arg(name));
        return;
    }
    if (!applied) {
        showSettingsMessage(
            tr("The import of %1 was cancelled. Nothing was sent to the device.").arg(name), false);
        return;
    }
    if (!backUpSettings(SettingsBackups::Reason::Import)) {
        showSettingsMessage(tr("%1 was not imported: the device's settings could not be backed "
                               "up. Nothing was sent to the device.")
                                .arg(name),
            true);
        return;
    }
    sendImportedSettings(comparison);
    const QString done = tr("Settings imported from %1: %2 of them changed.")
                             .arg(name)
                             .arg(comparison.getChangedCount());
    addImportToHistory(done);
    rememberSettingsDir(path, done);
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

    // The lower limits are those the fields offer (0.1 A, 1 V), above the model's zero.
    const auto minimumOf
        = [](const QDoubleSpinBox* field) { return float(fieldRange(field).minimum); };
    const auto* form = m_uiConfiguration;
    const auto& nominal = model.getNominalCurrentValue();
    const float current = file.getNominalCurrent();
    const float nominalMinimum = minimumOf(form->doubleSpinBoxNominalCurrent);
    if (!within(current, nominalMinimum, nominal.getMaximum())) {
        return outOfRange(tr("Nominal Current (A)"), QString::number(double(current)),
            QString::number(double(nominalMinimum)), QString::number(double(nominal.getMaximum())));
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
            minimumOf(form->doubleSpinBoxUndercurrentThreshold), current},
        {tr("Undervoltage threshold (V)"), file.getUndervoltageSettings(),
            minimumOf(form->doubleSpinBoxUndervoltageThreshold),
            model.getUndervoltageThresholdValue().getMaximum()},
        {tr("Overvoltage threshold (V)"), file.getOvervoltageSettings(),
            minimumOf(form->doubleSpinBoxOvervoltageThreshold),
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

void R58SubScreen::sendImportedSettings(const SettingsComparison& comparison)
{
    // Only what the user saw change: what the device holds already is not written again.
    auto& model = getModelDatabase()->getSettings();
    Settings& file = *getSettings();
    using Key = SettingsComparison::Key;
    const auto send = [&comparison](Key key, auto& value, const auto& newValue) {
        if (comparison.isChanged(key))
            writeSetting(value, newValue);
    };
    send(Key::TripClass, model.getTripClassValue(), file.getTripClass());
    send(Key::NominalCurrent, model.getNominalCurrentValue(), file.getNominalCurrent());
    send(Key::OverloadReset, model.getOverloadResetValue(), file.getOverloadReset());
    const auto& under = file.getUndercurrentSettings();
    send(Key::UndercurrentEnable, model.getUndercurrentEnableValue(), under.getEnable());
    send(Key::UndercurrentThreshold, model.getUndercurrentThresholdValue(), under.getThreshold());
    send(Key::UndercurrentFaultType, model.getUndercurrentFaultValue(), under.getFaultType());
    const auto& low = file.getUndervoltageSettings();
    send(Key::UndervoltageEnable, model.getUndervoltageEnableValue(), low.getEnable());
    send(Key::UndervoltageThreshold, model.getUndervoltageThresholdValue(), low.getThreshold());
    send(Key::UndervoltageFaultType, model.getUndervoltageFaultValue(), low.getFaultType());
    const auto& high = file.getOvervoltageSettings();
    send(Key::OvervoltageEnable, model.getOvervoltageEnableValue(), high.getEnable());
    send(Key::OvervoltageThreshold, model.getOvervoltageThresholdValue(), high.getThreshold());
    send(Key::OvervoltageFaultType, model.getOvervoltageFaultValue(), high.getFaultType());
}

void R58SubScreen::handleFactoryReset()
{
    if (!isConnected()) {
        showSettingsMessage(
            tr("The device is not connected. Nothing was sent to the device."), true);
        return;
    }
    if (!backUpSettings(SettingsBackups::Reason::FactoryReset)) {
        showSettingsMessage(tr("The factory reset was not sent: the device's settings could not "
                               "be backed up."),
            true);
        return;
    }
    fireAction(Model::Interfaces::ModelActionID::FactoryReset);
    // Ask for the settings again, so every widget shows what the device holds after the reset
    // even if the device does not report its new values by itself.
    getModelDatabase()->getSettings().init();
    addFactoryResetToHistory(tr("The factory reset was sent to the device."));
    showSettingsMessage(tr("The factory reset was sent to the device."), false);
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
