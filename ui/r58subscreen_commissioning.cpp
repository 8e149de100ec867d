// What a technician keeps of a device on site: the commissioning report (what the screen knows
// of the device, saved as PDF or printed for the customer), the backups of its settings taken
// before anything replaces them, and their restoring through the comparison of an import.

#include "config/config.h"
#include "config/settings.h"
#include "config/settingscomparison.h"
#include "config/useraccount.h"
#include "model/modeldatabase.h"
#include "model/modelinformation.h"
#include "ui/commissioningreport.h"
#include "ui/r58subscreen.h"
#include "ui/reportdialog.h"
#include "ui_r58subscreen_about.h"
#include "ui_r58subscreen_configuration.h"
#include "ui_r58subscreen_data.h"
#include "ui_r58subscreen_information.h"

#include <QDateTime>
#include <QDialogButtonBox>
#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QListWidget>
#include <QLocale>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QVBoxLayout>


using Application::R58::Settings;
using Application::R58::SettingsBackups;
using Application::R58::UserAccount;

namespace {

// A blank label (the screen's placeholder for "not reported yet") reads as a dash on paper.
QString shown(const QString& text)
{
    const QString trimmed = text.trimmed();
    return trimmed.isEmpty() ? QStringLiteral("–") : trimmed;
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
        return QStringLiteral("–");
    }
}

} // namespace

void R58SubScreen::setupReport()
{
    // A row below the settings file buttons: comparing and restoring are imports looked at
    // first, the report is the paper form of what an export writes. The layout takes the
    // buttons in.
    auto* row = new QHBoxLayout;
    row->setSpacing(m_uiConfiguration->horizontalLayoutSettingsFile->spacing());
    const auto add = [&](const QString& text, const char* name, void (R58SubScreen::*slot)()) {
        auto* button = new QPushButton(text);
        button->setObjectName(QLatin1String(name));
        button->setMinimumSize(m_uiConfiguration->pushButtonImport->minimumSize());
        row->addWidget(button);
        connect(button, &QPushButton::clicked, this, slot);
    };
    add(tr("COMPARE"), "pushButtonCompare", &R58SubScreen::handleCompareSettings);
    add(tr("RESTORE…"), "pushButtonRestore", &R58SubScreen::handleRestoreSettings);
    add(tr("REPORT…"), "pushButtonReport", &R58SubScreen::handleReport);
    row->addStretch(1);
    auto* grid = m_uiConfiguration->gridLayoutConfiguration;
    grid->addLayout(row, grid->rowCount(), 0, 1, grid->columnCount());
}

int R58SubScreen::runDialog(QDialog& dialog)
{
    return m_dialogRunner ? m_dialogRunner(dialog) : dialog.exec();
}

bool R58SubScreen::backUpSettings(SettingsBackups::Reason reason)
{
    // Not through the settings object: it may hold a file about to be sent.
    const Settings current = deviceSettings();
    const QString serial
        = getModelDatabase()->getInformation().getSerialNumberValue().toString().trimmed();
    QString error;
    if (!SettingsBackups().save(current, serial, reason, &error).isEmpty())
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
                                "with the device before anything is sent."),
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
    CommissioningReport report;
    report.title = tr("Commissioning report");
    report.header = {
        {tr("Tool"), QStringLiteral("VELOR®R58 VizorevAvuv")},
        {tr("Tool version"), m_uiAbout->labelAboutVersion->text()},
        {tr("Date and time"),
            QLocale().toString(QDateTime::currentDateTime(), QLocale::LongFormat)},
        {tr("Role"), roleName(getUserAccount()->getUser())},
        {tr("Site"), shown(fields.site)},
        {tr("Motor"), shown(fields.motor)},
        {tr("Technician"), shown(fields.technician)},
    };

    const auto* info = m_uiInformation;
    const QString fault
        = (info->labelFaultInfo->text() + QLatin1Char(' ') + info->labelFaultCode->text())
              .simplified();
    report.sections.append({tr("Device"),
        {
            {tr("Product"), shown(info->labelProductName->text())},
            {tr("Article number"), shown(info->labelArticleNumber->text())},
            {tr("Serial number"), shown(info->labelSerialNumber->text())},
            {tr("Software version"), shown(info->labelSoftwareVersion->text())},
            {tr("Hardware revision"), shown(info->labelHardwareRevision->text())},
            {tr("Fault and warning state"), fault.isEmpty() ? tr("No fault, no warning") : fault},
        }});

    // From the device model: the device's values, not what a field may hold while being typed.
    auto& settings = getModelDatabase()->getSettings();
    // Written as an import's comparison writes them.
    using Text = ::Application::R58::SettingsComparison;
    report.sections.append({tr("Protection settings: general"),
        {
            {tr("Nominal current"),
                Text::numberText(settings.getNominalCurrentValue().getValue(), "A")},
            {tr("Trip class"), Text::tripClassText(settings.getTripClassValue().getValue())},
            {tr("Automatic reset"), Text::onOffText(settings.getOverloadResetValue().getValue())},
            {tr("Softstart"), Text::onOffText(settings.getSoftstartEnableValue().getValue())},
        }});
    const auto limit = [&](const QString& title, const auto& enable, const auto& threshold,
                           const auto& fault, const char* unit) {
        report.sections.append({title,
            {{tr("Enabled"), Text::onOffText(enable.getValue())},
                {tr("Threshold"), Text::numberText(threshold.getValue(), unit)},
                {tr("Fault type"), Text::faultTypeText(fault.getValue())}}});
    };
    limit(tr("Protection settings: undercurrent"), settings.getUndercurrentEnableValue(),
        settings.getUndercurrentThresholdValue(), settings.getUndercurrentFaultValue(), "A");
    limit(tr("Protection settings: undervoltage"), settings.getUndervoltageEnableValue(),
        settings.getUndervoltageThresholdValue(), settings.getUndervoltageFaultValue(), "V");
    limit(tr("Protection settings: overvoltage"), settings.getOvervoltageEnableValue(),
        settings.getOvervoltageThresholdValue(), settings.getOvervoltageFaultValue(), "V");
    // Only devices whose software knows it have the load asymmetry protection.
    if (!m_uiConfiguration->pushButtonAsymmetrySettings->isHidden()) {
        limit(tr("Protection settings: load asymmetry"), settings.getLoadAsymmetryEnableValue(),
            settings.getLoadAsymmetryThresholdValue(), settings.getLoadAsymmetryFaultValue(), "A");
    }

    // The snapshot is what the Data page shows now; values never streamed stay dashes.
    const auto* data = m_uiData;
    QList<CommissioningReport::Row> measured;
    for (const auto& [caption, value] : std::initializer_list<std::pair<QLabel*, QLabel*>> {
             {data->labelVoltageText_L1_N, data->labelVoltage_L1_N},
             {data->labelVoltageText_L2_N, data->labelVoltage_L2_N},
             {data->labelVoltageText_L3_N, data->labelVoltage_L3_N},
             {data->labelCurrentText_L1, data->labelCurrent_L1},
             {data->labelCurrentText_L2, data->labelCurrent_L2},
             {data->labelCurrentText_L3, data->labelCurrent_L3},
             {data->labelActivePowerText, data->labelActivePower},
             {data->labelReactivePowerText, data->labelReactivePower},
             {data->labelApparentPowerText, data->labelApparentPower}}) {
        measured.append({caption->text(), shown(value->text())});
    }
    report.sections.append({tr("Measured values"), measured});

    report.notesTitle = tr("Notes");
    report.notes = shown(fields.notes);
    return report;
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
    const QString serial = m_uiInformation->labelSerialNumber->text().trimmed();
    const QString suggested = QDir(getConfig()->getSettingsDir())
                                  .filePath(tr("Commissioning %1 %2.pdf")
                                                .arg(serial.isEmpty() ? tr("R58") : serial,
                                                    QDate::currentDate().toString(Qt::ISODate)));
    const QString path = askFileName(
        FileDialogMode::Save, tr("Save commissioning report"), suggested, tr("PDF Files (*.pdf)"));
    if (path.isEmpty())
        return;
    if (!report.writePdf(path)) {
        showSettingsMessage(
            tr("The report could not be written to %1.").arg(QDir::toNativeSeparators(path)), true);
        return;
    }
    showSettingsMessage(tr("Report written to %1.").arg(QDir::toNativeSeparators(path)), false);
}
