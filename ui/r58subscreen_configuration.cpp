// The device screen's configuration page: every protection setting mirrored both ways between
// its widget and the device, export and import of settings files, and the factory reset.

#include "config/config.h"
#include "config/devicemodel.h"
#include "config/settings.h"
#include "records/settingsbackups.h"
#include "config/settingscomparison.h"
#include "config/settingsmapper.h"
#include "config/useraccount.h"
#include "link/serialport.h"
#include "link/talolinkterminalservice.h"
#include "link/talolinkusbcomponent.h"
#include "model/modeldatabase.h"
#include "model/modelvalueid.h"
#include "records/devicehistory.h"
#include "records/devicesnapshot.h"
#include "records/measurementcapture.h"
#include "records/recordlocations.h"
#include "ui/comparedialog.h"
#include "ui/reportdialog.h"
#include "ui/settingsform.h"
#include "ui/settingseditor.h"
#include "ui/r58subscreen.h"
#include "ui/stylesheet.h"
#include "ui/userfeatures.h"
#include "ui/wheelguard.h"
#include "ui_r58subscreen_configuration.h"
#include "ui_r58subscreen_control.h"
#include "ui_r58subscreen_information.h"

#include <QDate>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QDir>
#include <QHBoxLayout>
#include <QListWidget>
#include <QLocale>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QVBoxLayout>
#include <QPixmap>
#include <QSignalBlocker>
#include <QStyle>

#include <algorithm>
#include <utility>
#include <cmath>

using Application::R58::Settings;
using Records::SettingsBackups;
using Application::R58::SettingsComparison;
using Application::R58::SettingKey;
using Application::R58::SettingsMapper;
using Application::R58::SettingsVerifier;
using Application::R58::UserAccount;
using Records::RecordLocations;
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

// Shows a device's value in its field exactly as it is, without sending anything; a value
// outside what the field offers widens the field for it and is marked.
void showDeviceValue(QDoubleSpinBox* field, double value)
{
    if (!std::isfinite(value)) {
        markOutside(field, R58SubScreen::tr("The device holds %1, which this field cannot show.").arg(value));
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
               : R58SubScreen::tr("The device holds %1, outside %2 to %3 that this field offers. It is shown "
                    "as it is and not sent back.")
                     .arg(number(value), number(range.minimum), number(range.maximum)));
}

void showDeviceIndex(QComboBox* list, int index)
{
    const QSignalBlocker blocker(list);
    const bool offered = index >= 0 && index < list->count();
    // A value the list does not offer shows as no entry rather than as another one.
    list->setCurrentIndex(offered ? index : -1);
    markOutside(list,
        offered ? QString()
                : R58SubScreen::tr("The device holds the value %1, which this list does not offer.").arg(index));
}

QString roleName(UserAccount::User user)
{
    switch (user) {
    case UserAccount::Customer:
        return R58SubScreen::tr("Customer");
    case UserAccount::Supervisor:
        return R58SubScreen::tr("Supervisor");
    case UserAccount::Admin:
        return R58SubScreen::tr("Admin");
    case UserAccount::Demo:
        return R58SubScreen::tr("Demo");
    default:
        return QString();
    }
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

    m_verifier = new SettingsVerifier(*this, this);
    connect(m_verifier, &SettingsVerifier::finished, this, &R58SubScreen::showVerification);

    // A row below the settings file buttons: comparing and restoring are imports looked at
    // first, the report is the paper form of what an export writes.
    auto* row = new QHBoxLayout;
    row->setSpacing(form->horizontalLayoutSettingsFile->spacing());
    const auto add = [&](const QString& text, const char* name, void (R58SubScreen::*slot)()) {
        auto* button = new QPushButton(text);
        button->setObjectName(QLatin1String(name));
        button->setMinimumSize(form->pushButtonImport->minimumSize());
        row->addWidget(button);
        connect(button, &QPushButton::clicked, this, slot);
    };
    add(tr("COMPARE"), "pushButtonCompare", &R58SubScreen::handleCompareSettings);
    add(tr("RESTORE…"), "pushButtonRestore", &R58SubScreen::handleRestoreSettings);
    add(tr("REPORT…"), "pushButtonReport", &R58SubScreen::handleReport);
    row->addStretch(1);
    auto* grid = form->gridLayoutConfiguration;
    grid->addLayout(row, grid->rowCount(), 0, 1, grid->columnCount());
    // The message has a full-width row of its own below the buttons: between them it wrapped
    // into a narrow column and moved them. Two lines are reserved so that nothing a user may
    // click moves when a message comes or goes.
    QLabel* message = form->labelSettingsMessage;
    form->horizontalLayoutSettingsFile->removeWidget(message);
    form->horizontalLayoutSettingsFile->insertStretch(2, 1);
    message->setMinimumHeight(2 * message->fontMetrics().lineSpacing() + 4);
    message->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    grid->addWidget(message, grid->rowCount(), 0, 1, grid->columnCount());

    // One setting, one name: the labels say what the comparison, the report and the history
    // say.
    nameSettingLabels(*form);

    // Without a device, settings are prepared in files of their own: a row of its own, so that
    // the longer texts of other languages crowd no other button.
    if (!getSerialPort()) {
        auto* offline = new QHBoxLayout;
        offline->setSpacing(row->spacing());
        SettingsEditor::addButtons(offline, this, getConfig());
        offline->addStretch(1);
        grid->addLayout(offline, grid->rowCount(), 0, 1, grid->columnCount());
    }

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
    connect(service, &S::undervoltageThresholdModelValue, this, [this] { showDeviceSetting(SettingKey::UndervoltageThreshold); });
    connect(service, &S::undervoltageFaultTypeModelValue, this, [this] { showDeviceSetting(SettingKey::UndervoltageFaultType); });
    connect(service, &S::undervoltageEnableModelValue, this, [this] { showDeviceSetting(SettingKey::UndervoltageEnable); });
    connect(service, &S::overvoltageThresholdModelValue, this, [this] { showDeviceSetting(SettingKey::OvervoltageThreshold); });
    connect(service, &S::overvoltageFaultTypeModelValue, this, [this] { showDeviceSetting(SettingKey::OvervoltageFaultType); });
    connect(service, &S::overvoltageEnableModelValue, this, [this] { showDeviceSetting(SettingKey::OvervoltageEnable); });
    connect(service, &S::loadAsymmetryThresholdModelValue, this, [this] { showDeviceSetting(SettingKey::AsymmetryThreshold); });
    connect(service, &S::loadAsymmetryFaultTypeModelValue, this, [this] { showDeviceSetting(SettingKey::AsymmetryFaultType); });
    connect(service, &S::loadAsymmetryEnableModelValue, this, [this] { showDeviceSetting(SettingKey::AsymmetryEnable); });
}

// ---- Widget to device: each runs on a user's act only (reports fill the widgets silently), and
// unchanged values are not sent.

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
    if (!admitEdit(field, SettingsMapper::name(SettingKey::NominalCurrent), value, double(setting.getValue())))
        return;
    writeSetting(setting, float(value));
    lowerThresholdsTo(float(value));
}

void R58SubScreen::lowerThresholdsTo(float nominalCurrent)
{
    auto& settings = getModelDatabase()->getSettings();
    QStringList lowered;
    const auto lower = [&](auto& threshold, SettingKey key) {
        if (threshold.getValue() > nominalCurrent) {
            writeSetting(threshold, nominalCurrent);
            lowered << tr("%1 lowered to %2.")
                           .arg(SettingsMapper::name(key),
                               SettingsMapper::text(key, double(nominalCurrent)));
        }
    };
    lower(settings.getUndercurrentThresholdValue(), SettingKey::UndercurrentThreshold);
    // A device without the load asymmetry protection is not sent its threshold.
    if (Records::DeviceSnapshot::hasAsymmetryProtection(*this))
        lower(settings.getLoadAsymmetryThresholdValue(), SettingKey::AsymmetryThreshold);
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
            SettingsMapper::name(SettingKey::UndercurrentThreshold), value, double(setting.getValue())))
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
        [this] { return admitEdit(); }, [this] { showDeviceSetting(SettingKey::UndervoltageEnable); });
}

void R58SubScreen::handleUndervoltageThreshold(double value)
{
    auto& setting = getModelDatabase()->getSettings().getUndervoltageThresholdValue();
    // Exact: the field shows what the device holds, so only a user's change differs.
    if (setting.getValue() != float(value)
        && admitEdit(m_uiConfiguration->doubleSpinBoxUndervoltageThreshold,
            SettingsMapper::name(SettingKey::UndervoltageThreshold), value, double(setting.getValue())))
        writeSetting(setting, float(value));
}

void R58SubScreen::handleUndervoltageFaultType(int index)
{
    if (index >= 0) {
        editSetting(
            getModelDatabase()->getSettings().getUndervoltageFaultValue(), FaultType(index),
            [this] { return admitEdit(); }, [this] { showDeviceSetting(SettingKey::UndervoltageFaultType); });
    }
}

void R58SubScreen::handleOvervoltageEnable(bool on)
{
    editSetting(
        getModelDatabase()->getSettings().getOvervoltageEnableValue(), on,
        [this] { return admitEdit(); }, [this] { showDeviceSetting(SettingKey::OvervoltageEnable); });
}

void R58SubScreen::handleOvervoltageThreshold(double value)
{
    auto& setting = getModelDatabase()->getSettings().getOvervoltageThresholdValue();
    // Exact: the field shows what the device holds, so only a user's change differs.
    if (setting.getValue() != float(value)
        && admitEdit(m_uiConfiguration->doubleSpinBoxOvervoltageThreshold,
            SettingsMapper::name(SettingKey::OvervoltageThreshold), value, double(setting.getValue())))
        writeSetting(setting, float(value));
}

void R58SubScreen::handleOvervoltageFaultType(int index)
{
    if (index >= 0) {
        editSetting(
            getModelDatabase()->getSettings().getOvervoltageFaultValue(), FaultType(index),
            [this] { return admitEdit(); }, [this] { showDeviceSetting(SettingKey::OvervoltageFaultType); });
    }
}

void R58SubScreen::handleAsymmetryEnable(bool on)
{
    editSetting(
        getModelDatabase()->getSettings().getLoadAsymmetryEnableValue(), on,
        [this] { return admitEdit(); }, [this] { showDeviceSetting(SettingKey::AsymmetryEnable); });
}

void R58SubScreen::handleAsymmetryThreshold(double value)
{
    auto& setting = getModelDatabase()->getSettings().getLoadAsymmetryThresholdValue();
    // Exact: the field shows what the device holds, so only a user's change differs.
    if (setting.getValue() != float(value)
        && admitEdit(m_uiConfiguration->doubleSpinBoxAsymmetryThreshold,
            SettingsMapper::name(SettingKey::AsymmetryThreshold), value, double(setting.getValue())))
        writeSetting(setting, float(value));
}

void R58SubScreen::handleAsymmetryFaultType(int index)
{
    if (index >= 0) {
        editSetting(
            getModelDatabase()->getSettings().getLoadAsymmetryFaultValue(), FaultType(index),
            [this] { return admitEdit(); }, [this] { showDeviceSetting(SettingKey::AsymmetryFaultType); });
    }
}

// ---- Device to widget: what the device reports is shown as it is and never sent back, so no
// widget signal may run while a report is shown.

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
    showDeviceSetting(SettingKey::AsymmetryThreshold);
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

void R58SubScreen::showDeviceSetting(SettingKey key)
{
    QWidget* widget = settingWidget(*m_uiConfiguration, key);
    const double value = SettingsMapper(getModelDatabase()->getSettings()).deviceValue(key);
    if (auto* field = qobject_cast<QDoubleSpinBox*>(widget)) {
        showDeviceValue(field, value);
    } else if (auto* list = qobject_cast<QComboBox*>(widget)) {
        showDeviceIndex(list, int(value));
    } else if (auto* box = qobject_cast<QCheckBox*>(widget)) {
        const QSignalBlocker blocker(box);
        box->setChecked(value != 0.0);
    }
}

void R58SubScreen::showVerification(const QList<SettingsVerifier::Outcome>& outcomes)
{
    const SettingsAct act = std::exchange(m_settingsAct, SettingsAct());
    if (act.kind == SettingsAct::Kind::Update) {
        // After an update: what differs from the backup taken before it is listed, and
        // restoring it offered.
        QLabel* label = m_uiInformation->labelPackageVersionText;
        if (m_updateBackup.isEmpty())
            return;
        const SettingsMapper mapper(getModelDatabase()->getSettings());
        const Settings now = mapper.deviceSettings(true);
        Settings before = now;
        if (!before.load(m_updateBackup)) {
            label->setText(tr("The settings could not be compared with those before the update: %1 "
                              "could not be read.")
                               .arg(QDir::toNativeSeparators(m_updateBackup)));
            return;
        }
        const SettingsComparison comparison(now, before);
        if (comparison.getChangedCount() == 0) {
            label->setText(tr("Every setting is as it was before the update."));
            return;
        }
        QStringList rows;
        for (const SettingsComparison::Row& row : comparison.getRows()) {
            if (row.changed)
                rows << tr("%1: %2 before, %3 now").arg(row.label, row.fileText, row.deviceText);
        }
        const QString list
            = tr("The update changed these settings:") + QLatin1Char('\n') + rows.join(QLatin1Char('\n'));
        label->setText(list);
        QMessageBox question(QMessageBox::Warning, tr("Settings changed by the update"),
            list + QStringLiteral("\n\n")
                + tr("Restore these from the backup taken before the update? They are compared "
                     "with the device once more before anything is sent."),
            QMessageBox::NoButton, this);
        QPushButton* restore = question.addButton(tr("Restore these…"), QMessageBox::AcceptRole);
        QPushButton* keep = question.addButton(tr("Keep the new values"), QMessageBox::RejectRole);
        question.setDefaultButton(keep);
        (void)runDialog(question);
        if (question.clickedButton() == restore)
            compareSettingsFile(m_updateBackup, true);
        return;
    }
    QStringList failures;
    for (const SettingsVerifier::Outcome& outcome : outcomes) {
        QString note;
        if (!outcome.confirmed()) {
            note = act.kind == SettingsAct::Kind::Reset
                ? tr("%1: the device did not report it after the reset.")
                      .arg(SettingsMapper::name(outcome.key))
                : SettingsVerifier::describeFailures({outcome}).join(QLatin1Char(' '));
            failures << note;
        }
        // Marked until a later write of it is confirmed; a report of the device's value alone
        // does not lift it.
        if (QWidget* widget = settingWidget(*m_uiConfiguration, outcome.key)) {
            const bool notApplied = !note.isEmpty();
            widget->setToolTip(notApplied ? tr("Not applied. %1").arg(note) : QString());
            if (widget->property("notApplied").toBool() != notApplied) {
                widget->setProperty("notApplied", notApplied);
                widget->style()->unpolish(widget);
                widget->style()->polish(widget);
            }
        }
    }
    const int count = int(outcomes.size());
    const int confirmed = count - int(failures.size());
    QString text;
    switch (act.kind) {
    case SettingsAct::Kind::Import:
        text = failures.isEmpty()
            ? tr("Settings imported from %1: all %2 settings confirmed by the device.")
                  .arg(act.text)
                  .arg(count)
            : tr("Settings from %1: %2 of %3 confirmed by the device. Not applied: %4")
                  .arg(act.text)
                  .arg(confirmed)
                  .arg(count)
                  .arg(failures.join(QLatin1Char(' ')));
        m_history->addImport(text);
        break;
    case SettingsAct::Kind::Reset:
        text = failures.isEmpty()
            ? tr("The device was reset to its factory settings; it reports all %1 settings, "
                 "shown here.")
                  .arg(count)
            : tr("The factory reset was sent, but the device did not report every setting "
                 "afterwards. %1")
                  .arg(failures.join(QLatin1Char(' ')));
        m_history->addFactoryReset(text);
        break;
    case SettingsAct::Kind::Update:
    case SettingsAct::Kind::Edit:
        // A confirmed edit needs no word: the field shows it.
        if (failures.isEmpty())
            return;
        text = tr("Not applied by the device: %1").arg(failures.join(QLatin1Char(' ')));
        break;
    }
    showSettingsMessage(text, !failures.isEmpty());
}

bool R58SubScreen::refuseWhileMotorRuns(const QString& act)
{
    if (!isMotorRunning())
        return false;
    QMessageBox question(QMessageBox::Warning, tr("Motor running"),
        tr("The motor is running (%1). %2 waits until it is stopped: the device's protection "
           "stops while it takes new firmware or its factory settings.")
            .arg(getModelDatabase()->getOperation().getOperatingModeValue().toString(), act),
        QMessageBox::Cancel, this);
    QPushButton* stop = question.addButton(tr("Stop the motor"), QMessageBox::AcceptRole);
    question.setDefaultButton(QMessageBox::Cancel);
    (void)runDialog(question);
    if (question.clickedButton() == stop)
        handleIdle();
    return true;
}

void R58SubScreen::loadSoftstartImage()
{
    if (!getModelDatabase()->getSettings().getSoftstartEnableValue().getValue())
        m_uiControl->labelControlMotor->setPixmap(QPixmap(QStringLiteral(":/images/motor.png")));
}

// ---- Files and factory reset.

void R58SubScreen::handleExportSettings()
{
    QString path = askFileName(FileDialogMode::Save, tr("Export settings"),
        RecordLocations::dialogFolder(getConfig()->getSettingsDir()), tr("JSON Files (*.json)"));
    if (path.isEmpty())
        return;
    // The import offers *.json files; a name typed without the suffix must still be found.
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".json");
    const QString name = QDir::toNativeSeparators(path);
    // The backups are the tool's own; an export there could replace one.
    if (RecordLocations::isInBackups(path)) {
        showSettingsMessage(tr("%1 is in the folder of the tool's backups, which only the backups "
                               "are written to. Nothing was exported; choose another folder.")
                                .arg(name),
            true);
        return;
    }
    *getSettings() = SettingsMapper(getModelDatabase()->getSettings()).deviceSettings(false);
    if (!getSettings()->save(path)) {
        showSettingsMessage(tr("The settings could not be written to %1.").arg(name), true);
        return;
    }
    rememberSettingsDir(path, tr("Settings exported to %1.").arg(name));
}

void R58SubScreen::handleImportSettings()
{
    const QString path = askFileName(FileDialogMode::Open, tr("Import settings"),
        RecordLocations::dialogFolder(getConfig()->getSettingsDir()), tr("JSON Files (*.json)"));
    if (!path.isEmpty())
        compareSettingsFile(path, true);
}

void R58SubScreen::handleCompareSettings()
{
    const QString path = askFileName(FileDialogMode::Open, tr("Compare settings"),
        RecordLocations::dialogFolder(getConfig()->getSettingsDir()), tr("JSON Files (*.json)"));
    if (!path.isEmpty())
        compareSettingsFile(path, false);
}

void R58SubScreen::compareSettingsFile(const QString& path, bool import)
{
    const QString name = QDir::toNativeSeparators(path);
    SettingsMapper mapper(getModelDatabase()->getSettings());
    // A file that lacks a setting leaves it as the device has it, not as an earlier file had it.
    // The device's extras take part only when the file brings them (a backup).
    const Settings device = mapper.deviceSettings(true);
    Settings& file = *getSettings();
    file = device;
    file.setSoftstart(std::nullopt);
    file.setLoadAsymmetry(std::nullopt);
    if (!file.load(path)) {
        showSettingsMessage(
            tr("%1 could not be read. Nothing was sent to the device.").arg(name), true);
        return;
    }
    const auto& refusedKeys = file.getRefusedKeys();
    if (file.getLoadedCount() == 0 && refusedKeys.isEmpty()) {
        showSettingsMessage(
            tr("%1 holds no device settings. Nothing was sent to the device.").arg(name), true);
        return;
    }
    // A file prepared at a desk for another model is said so before the comparison, which then
    // shows what this device refuses.
    if (getTerminalService()->hasReported(Model::Interfaces::ModelValueID::ArticleNumber)) {
        const QString notice = ::Application::R58::DeviceModel::mismatch(file.getArticleNumber(),
            static_cast<quint32>(
                getModelDatabase()->getInformation().getArticleNumberValue().getValue()));
        if (!notice.isEmpty()) {
            QMessageBox message(
                QMessageBox::Information, tr("Another device model"), notice, QMessageBox::Ok, this);
            message.setObjectName(QStringLiteral("ModelNotice"));
            (void)runDialog(message);
        }
    }
    // Checked before anything is offered: a number cut to fit its field would be another
    // setting, and a value out of range is one the device must not get.
    QList<SettingsMapper::Refusal> refused;
    // Keys of no setting the mapper knows: said, but shown on no row.
    QStringList unnamed;
    for (const auto& key : refusedKeys) {
        if (const auto setting = SettingsMapper::keyOfFileKey(key.key)) {
            refused << SettingsMapper::notAValue(*setting, key.number);
        } else {
            unnamed << tr("\"%1\" holds %2, which is no value of that setting.")
                           .arg(key.key, number(key.number));
        }
    }
    const bool asymmetry = Records::DeviceSnapshot::hasAsymmetryProtection(*this);
    refused << mapper.refusals(file, asymmetry);
    QStringList refusals;
    for (const auto& refusal : refused)
        refusals << refusal.text;
    refusals << unnamed;
    // A device without the load asymmetry protection is not sent its settings.
    if (!asymmetry)
        file.setLoadAsymmetry(std::nullopt);

    const SettingsComparison comparison(device, file);
    CompareDialog dialog(comparison, path, refused, unnamed, isConnected(),
        import ? CompareDialog::Mode::Import : CompareDialog::Mode::Compare, this);
    const bool applied = runDialog(dialog) == QDialog::Accepted && dialog.canApply();
    if (!import)
        return;
    if (!refusals.isEmpty()) {
        showSettingsMessage(
            tr("%1: %2 Nothing was sent to the device.").arg(name, refusals.join(QLatin1Char(' '))),
            true);
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
    // Only what the user saw change, in sending order: what the device holds already is not
    // written again. Each is read back; the page says "imported" once the device confirmed.
    m_settingsAct = {SettingsAct::Kind::Import, name};
    for (const SettingsComparison::Row& row : comparison.getRows()) {
        if (row.changed)
            mapper.write(row.key, row.fileValue);
    }
    rememberSettingsDir(path,
        tr("%1: %2 settings sent; waiting for the device to confirm them.")
            .arg(name)
            .arg(comparison.getChangedCount()));
}

void R58SubScreen::handleFactoryReset()
{
    if (!isConnected()) {
        showSettingsMessage(
            tr("The device is not connected. Nothing was sent to the device."), true);
        return;
    }
    if (refuseWhileMotorRuns(tr("The factory reset")))
        return;
    const QString serial
        = getModelDatabase()->getInformation().getSerialNumberValue().toString().trimmed();
    QMessageBox question(QMessageBox::Question, tr("Reset to factory settings"),
        tr("Reset the device %1 to its factory settings? Every protection setting returns to "
           "its factory value. A backup of the present settings is taken first.")
            .arg(serial.isEmpty() ? QFileInfo(m_portName).fileName() : serial),
        QMessageBox::Yes | QMessageBox::No, this);
    question.setObjectName(QStringLiteral("FactoryResetQuestion"));
    question.setDefaultButton(QMessageBox::No);
    if (runDialog(question) != QMessageBox::Yes) {
        showSettingsMessage(tr("The factory reset was cancelled. Nothing was sent to the device."),
            false);
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
    // even if the device does not report its new values by itself; the page says the reset is
    // done once every setting has come.
    getModelDatabase()->getSettings().init();
    m_settingsAct = {SettingsAct::Kind::Reset, QString()};
    QList<SettingsVerifier::Outcome> every;
    for (const SettingKey key : SettingsMapper::keys())
        every.append({key, 0.0, std::nullopt, true});
    m_verifier->verify(every, false);
    showSettingsMessage(
        tr("The factory reset was sent; reading the device's settings back…"), false);
}

void R58SubScreen::rememberSettingsDir(const QString& path, const QString& done)
{
    // A restored backup is no folder of the user's: the next export must not start there.
    if (RecordLocations::isInBackups(path)) {
        showSettingsMessage(done, false);
        return;
    }
    getConfig()->setSettingsDir(path);
    const QString warning = saveConfig();
    showSettingsMessage(warning.isEmpty() ? done : done + QLatin1Char(' ') + warning,
        !warning.isEmpty());
}

QString R58SubScreen::saveConfig()
{
    if (getConfig()->save())
        return {};
    // The file the user chose is fine; only the folder for next time is not kept.
    return tr("The folder could not be remembered for next time: %1 could not be written.")
        .arg(QDir::toNativeSeparators(getConfig()->getFilePath()));
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

// ---- Backups, restore and the commissioning report: what a technician keeps of a device.

int R58SubScreen::runDialog(QDialog& dialog)
{
    ::Application::R58::styleDialog(dialog);
    return m_dialogRunner ? m_dialogRunner(dialog) : dialog.exec();
}

bool R58SubScreen::backUpSettings(SettingsBackups::Reason reason)
{
    // Every setting the device has, from its model: the settings object may hold a file about
    // to be sent.
    const Settings current = SettingsMapper(getModelDatabase()->getSettings()).deviceSettings(true);
    const QString serial
        = getModelDatabase()->getInformation().getSerialNumberValue().toString().trimmed();
    QString error;
    m_lastBackup = SettingsBackups().save(current, serial, reason, &error);
    if (!m_lastBackup.isEmpty())
        return true;
    QMessageBox question(QMessageBox::Warning, tr("No backup"),
        tr("The device's settings could not be backed up %1: %2.\n\nGo on without a backup?")
            .arg(SettingsBackups::reasonText(reason), error),
        QMessageBox::Yes | QMessageBox::No, this);
    question.setDefaultButton(QMessageBox::No);
    return runDialog(question) == QMessageBox::Yes;
}

void R58SubScreen::handleRestoreSettings()
{
    const QString serial
        = getModelDatabase()->getInformation().getSerialNumberValue().toString().trimmed();
    const auto backups = SettingsBackups().list(serial);
    if (backups.isEmpty()) {
        showSettingsMessage(tr("There are no backups of this device's settings yet."), false);
        return;
    }
    QDialog dialog(this);
    dialog.setObjectName(QStringLiteral("RestoreDialog"));
    dialog.setWindowTitle(tr("Restore settings"));
    auto* layout = new QVBoxLayout(&dialog);
    auto* intro = new QLabel(tr("Backups of device %1, newest first. The chosen one is compared "
                                "with the device before anything is sent.")
                                 .arg(serial),
        &dialog);
    intro->setWordWrap(true);
    layout->addWidget(intro);
    auto* list = new QListWidget(&dialog);
    list->setObjectName(QStringLiteral("listWidgetBackups"));
    for (const auto& backup : backups) {
        auto* item = new QListWidgetItem(
            QStringLiteral("%1  %2").arg(QLocale().toString(backup.time, QLocale::ShortFormat),
                SettingsBackups::reasonText(backup.reason)));
        item->setData(Qt::UserRole, backup.path);
        list->addItem(item);
    }
    list->setCurrentRow(0);
    layout->addWidget(list);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    buttons->button(QDialogButtonBox::Ok)->setText(tr("Compare…"));
    connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    connect(list, &QListWidget::itemDoubleClicked, &dialog, &QDialog::accept);
    layout->addWidget(buttons);
    dialog.resize(480, 360);
    if (runDialog(dialog) != QDialog::Accepted || !list->currentItem())
        return;
    compareSettingsFile(list->currentItem()->data(Qt::UserRole).toString(), true);
}

CommissioningReport R58SubScreen::makeReport(const CommissioningReport::Fields& fields) const
{
    // From the device's model and link at this moment: a value the device never sent reads
    // "not measured" or "not reported", never as what a page happens to show.
    return Records::DeviceSnapshot::take(*this, m_capture)
        .report(fields, roleName(getUserAccount()->getUser()));
}

void R58SubScreen::handleReport()
{
    ReportDialog dialog(this);
    if (runDialog(dialog) != QDialog::Accepted)
        return;
    const CommissioningReport report = makeReport(dialog.getFields());
    if (dialog.getOutput() == ReportDialog::Output::Printer) {
        QPrinter printer(QPrinter::HighResolution);
        QPrintDialog printDialog(&printer, this);
        if (printDialog.exec() == QDialog::Accepted)
            report.paint(printer);
        return;
    }
    const QString serial
        = getModelDatabase()->getInformation().getSerialNumberValue().toString().trimmed();
    const QString suggested
        = QDir(RecordLocations::dialogFolder(getConfig()->getDocumentsDir()))
              .filePath(tr("Commissioning %1 %2.pdf")
                            .arg(serial.isEmpty() ? tr("R58") : RecordLocations::fileStem(serial),
                                QDate::currentDate().toString(Qt::ISODate)));
    const QString path = askFileName(
        FileDialogMode::Save, tr("Save commissioning report"), suggested, tr("PDF Files (*.pdf)"));
    if (path.isEmpty())
        return;
    const QString name = QDir::toNativeSeparators(path);
    if (RecordLocations::isInBackups(path)) {
        showSettingsMessage(tr("%1 is in the folder of the tool's backups, which only the backups "
                               "are written to. The report was not written; choose another "
                               "folder.")
                                .arg(name),
            true);
        return;
    }
    if (!report.writePdf(path)) {
        showSettingsMessage(tr("The report could not be written to %1.").arg(name), true);
        return;
    }
    getConfig()->setDocumentsDir(path);
    const QString warning = saveConfig();
    showSettingsMessage(tr("Report written to %1.").arg(name)
            + (warning.isEmpty() ? QString() : QLatin1Char(' ') + warning),
        !warning.isEmpty());
}
