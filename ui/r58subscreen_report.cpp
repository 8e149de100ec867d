// The device screen's commissioning report: what the screen knows of the device, gathered into
// a document the technician saves as PDF or prints for the customer.

#include "config/config.h"
#include "config/useraccount.h"
#include "model/modeldatabase.h"
#include "ui/commissioningreport.h"
#include "ui/r58subscreen.h"
#include "ui/reportdialog.h"
#include "ui_r58subscreen_about.h"
#include "ui_r58subscreen_configuration.h"
#include "ui_r58subscreen_data.h"
#include "ui_r58subscreen_information.h"

#include <QDateTime>
#include <QDir>
#include <QLocale>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>

#include <cmath>

using Application::R58::UserAccount;

namespace {

// A blank label (the screen's placeholder for "not reported yet") reads as a dash on paper.
QString shown(const QString& text)
{
    const QString trimmed = text.trimmed();
    return trimmed.isEmpty() ? QStringLiteral("–") : trimmed;
}

// Settings in the reader's number format, to the two decimals the device's settings carry.
QString number(float value, const QString& unit)
{
    const double rounded = std::round(double(value) * 100.0) / 100.0;
    return QStringLiteral("%1 %2").arg(QLocale().toString(rounded, 'g', 6), unit);
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
    // Beside the settings file buttons: the report is the paper form of what they export. The
    // layout takes the button into the page.
    auto* button = new QPushButton(tr("REPORT…"));
    button->setObjectName(QStringLiteral("pushButtonReport"));
    button->setMinimumSize(m_uiConfiguration->pushButtonImport->minimumSize() + QSize(20, 0));
    m_uiConfiguration->horizontalLayoutSettingsFile->insertWidget(
        m_uiConfiguration->horizontalLayoutSettingsFile->indexOf(
            m_uiConfiguration->pushButtonImport)
            + 1,
        button);
    connect(button, &QPushButton::clicked, this, &R58SubScreen::handleReport);
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
    const auto onOff = [](bool on) { return on ? tr("On") : tr("Off"); };
    const auto faultType = [](QComboBox* box, int value) { return shown(box->itemText(value)); };
    const auto* form = m_uiConfiguration;
    const int tripClass = int(settings.getTripClassValue().getValue());
    report.sections.append({tr("Protection settings: general"),
        {
            {tr("Nominal current"),
                number(settings.getNominalCurrentValue().getValue(), QStringLiteral("A"))},
            {tr("Trip class"),
                tripClass < int(m_tripClasses.size())
                    ? QString::fromLatin1(m_tripClasses[std::size_t(tripClass)])
                    : QString::number(tripClass)},
            {tr("Automatic reset"), onOff(settings.getOverloadResetValue().getValue())},
            {tr("Softstart"), onOff(settings.getSoftstartEnableValue().getValue())},
        }});
    const auto limit = [&](const QString& title, bool enabled, float threshold, const QString& unit,
                           QComboBox* box, int type) {
        report.sections.append({title,
            {{tr("Enabled"), onOff(enabled)}, {tr("Threshold"), number(threshold, unit)},
                {tr("Fault type"), faultType(box, type)}}});
    };
    limit(tr("Protection settings: undercurrent"), settings.getUndercurrentEnableValue().getValue(),
        settings.getUndercurrentThresholdValue().getValue(), QStringLiteral("A"),
        form->comboBoxUndercurrentFaultType, int(settings.getUndercurrentFaultValue().getValue()));
    limit(tr("Protection settings: undervoltage"), settings.getUndervoltageEnableValue().getValue(),
        settings.getUndervoltageThresholdValue().getValue(), QStringLiteral("V"),
        form->comboBoxUndervoltageFaultType, int(settings.getUndervoltageFaultValue().getValue()));
    limit(tr("Protection settings: overvoltage"), settings.getOvervoltageEnableValue().getValue(),
        settings.getOvervoltageThresholdValue().getValue(), QStringLiteral("V"),
        form->comboBoxOvervoltageFaultType, int(settings.getOvervoltageFaultValue().getValue()));
    // Only devices whose software knows it have the load asymmetry protection.
    if (!form->pushButtonAsymmetrySettings->isHidden()) {
        limit(tr("Protection settings: load asymmetry"),
            settings.getLoadAsymmetryEnableValue().getValue(),
            settings.getLoadAsymmetryThresholdValue().getValue(), QStringLiteral("A"),
            form->comboBoxAsymmetryFaultType,
            int(settings.getLoadAsymmetryFaultValue().getValue()));
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
    if (dialog.exec() != QDialog::Accepted)
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
