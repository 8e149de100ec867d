// The device screen's information page (identity, status picture, fault texts and codes, the
// motor's state) and the about page with the program's version and legal texts.

#include "link/talolinkterminalservice.h"
#include "config/config.h"
#include "model/modeldatabase.h"
#include "records/devicehistory.h"
#include "records/displaynames.h"
#include "records/devicesnapshot.h"
#include "records/faultstate.h"
#include "records/recordlocations.h"
#include "ui/r58subscreen.h"
#include "ui_r58subscreen.h"
#include "ui_r58subscreen_about.h"
#include "ui_r58subscreen_configuration.h"
#include "ui_r58subscreen_control.h"
#include "ui_r58subscreen_data.h"
#include "ui_r58subscreen_information.h"

#include <QDateTime>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QStyle>
#include <QTreeWidget>
#include <QPixmap>

using Service::R58::TaloLinkTerminalService;
using FaultType = Model::Interfaces::ModelTypes::Fault::Type;
using OperationMode = Model::Interfaces::ModelTypes::Operation::Mode;

namespace {

using Records::DeviceHistory;
using Records::DeviceSnapshot;
using Records::FaultState;
using Variant = Records::DeviceSnapshot::Variant;

constexpr quint32 LineVoltagePlatformVersion = DeviceSnapshot::LineVoltagePlatformVersion;

const Variant* findVariant(quint32 articleNumber)
{
    return DeviceSnapshot::findVariant(articleNumber);
}

void showHistoryEvent(QTreeWidget* list, const Records::Event& event)
{
    // The file keeps English and the device's words; the list shows the program's language.
    const QString text = DeviceHistory::displayText(event);
    auto* item = new QTreeWidgetItem(
        {QDateTime::fromMSecsSinceEpoch(event.time).toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")),
            DeviceHistory::kindText(event.kind), text});
    item->setToolTip(2, text);
    list->insertTopLevelItem(0, item);
}

void showMessage(QLabel* label, const QString& text, bool failure)
{
    label->setText(text);
    label->setProperty("failure", failure);
    label->style()->unpolish(label);
    label->style()->polish(label);
}

const char* const ImpressumText = QT_TRANSLATE_NOOP("R58SubScreen",
    "<h3>Legal notice</h3>"
    "<p><b>Brenvik Antriebstechnik GmbH</b><br/>Werkstraße 12<br/>D-72770 Reutlingen<br/>"
    "Germany</p>"
    "<p>Phone +49 7121 5858-0<br/>service@brenvik.example</p>"
    "<p>Managing directors: A. Brenvik, K. Lund<br/>Register court Stuttgart, HRB 758 58<br/>"
    "VAT ID DE 158 585 858</p>"
    "<p>VELOR® is a registered trademark of Brenvik Antriebstechnik GmbH.</p>");

const char* const PrivacyText = QT_TRANSLATE_NOOP("R58SubScreen",
    "<h3>Privacy</h3>"
    "<p>VizorevAvuv works on this computer only. It sends nothing over the internet and "
    "collects no usage data.</p>"
    "<p>The program keeps its own settings in a file in your user profile: the folders last "
    "used for settings files and firmware, and, if you chose to save them, the digests of role "
    "passwords (never the passwords themselves). Settings files you export hold the protection "
    "settings of a device and nothing about you.</p>"
    "<p>For each device it has been connected to, the program keeps two records on this "
    "computer: an event history (connections, faults and warnings, operating modes, settings "
    "written, imports, factory resets and updates) and backups of the device's settings, taken "
    "before a factory reset, an import or an update replaces them. They are kept in the "
    "folders \"history\" and \"backups\" of %1; delete those folders to remove them. Nothing "
    "else read from a device leaves the screen unless you export, record or report it "
    "yourself.</p>"
    "<p>Questions: privacy@brenvik.example</p>");

} // namespace

void R58SubScreen::setupInformationPage()
{
    // A package's message can be a long sentence: it wraps and never widens the window.
    m_uiInformation->labelPackageVersionText->setWordWrap(true);
    m_uiInformation->labelPackageVersionText->setSizePolicy(
        QSizePolicy::Expanding, QSizePolicy::Preferred);
    m_uiInformation->labelPackageVersionText->setMinimumWidth(0);
    TaloLinkTerminalService* service = getTerminalService().data();
    connect(service, &TaloLinkTerminalService::articleNumberModelValue, this,
        &R58SubScreen::handleArticleNumberModelValue);
    connect(service, &TaloLinkTerminalService::serialNumberModelValue, this,
        &R58SubScreen::handleSerialNumberModelValue);
    connect(service, &TaloLinkTerminalService::platformVersionModelValue, this,
        &R58SubScreen::handlePlatformVersionModelValue);
    connect(service, &TaloLinkTerminalService::hardwareRevisionModelValue, this,
        &R58SubScreen::handleHardwareRevisionModelValue);
    connect(service, &TaloLinkTerminalService::faultTypeModelValue, this,
        &R58SubScreen::handleFaultTypeModelValue);
    // The phase may come after the fault's own value, in the same report.
    connect(service, &TaloLinkTerminalService::faultPhaseModelValue, this,
        &R58SubScreen::handleFaultTypeModelValue);
    connect(service, &TaloLinkTerminalService::operatingModeModelValue, this,
        &R58SubScreen::handleOperatingModeModelValue);

    // The device's history, fed by its link and model; the page shows it newest first.
    m_history = new DeviceHistory(*this, this);
    auto* list = m_uiInformation->treeWidgetHistory;
    list->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    list->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    list->header()->setStretchLastSection(true);
    connect(m_history, &DeviceHistory::eventAdded, this, [this](const Records::Event& event) {
        QTreeWidget* list = m_uiInformation->treeWidgetHistory;
        showHistoryEvent(list, event);
        while (list->topLevelItemCount() > m_history->events().size())
            delete list->takeTopLevelItem(list->topLevelItemCount() - 1);
    });
    const auto showHistory = [this] {
        QTreeWidget* list = m_uiInformation->treeWidgetHistory;
        list->clear();
        for (const Records::Event& event : m_history->events())
            showHistoryEvent(list, event);
    };
    connect(m_history, &DeviceHistory::eventsReplaced, this, showHistory);
    connect(m_history, &DeviceHistory::writeFailed, this, [this](const QString& message) {
        showMessage(m_uiInformation->labelHistoryMessage, message, true);
    });
    connect(m_uiInformation->pushButtonExportHistory, &QPushButton::clicked, this,
        &R58SubScreen::handleExportHistory);
    showHistory();

    // The about page.
    m_uiAbout->textBrowserVizorevAvuvUpdate->setHtml(
        tr("<p><span style=\"font-size:20pt; font-weight:bold; color:#204253;\">VELOR®R58</span> "
           "<span style=\"font-size:20pt; color:#ef7c00;\">VizorevAvuv</span></p>"));
    m_uiAbout->textBrowserImpressum->setHtml(tr(ImpressumText));
    m_uiAbout->textBrowserPrivacy->setHtml(
        tr(PrivacyText).arg(QDir::toNativeSeparators(Records::RecordLocations::root()).toHtmlEscaped()));
}

void R58SubScreen::handleExportHistory()
{
    const QString serial
        = getModelDatabase()->getInformation().getSerialNumberValue().toString().trimmed();
    const QString suggested
        = QDir(Records::RecordLocations::dialogFolder(getConfig()->getDocumentsDir()))
              .filePath(QStringLiteral("r58_history_%1.csv")
                            .arg(Records::RecordLocations::fileStem(serial)));
    const QString path = askFileName(
        FileDialogMode::Save, tr("Export event history"), suggested, tr("CSV files (*.csv)"));
    if (path.isEmpty())
        return;
    QLabel* label = m_uiInformation->labelHistoryMessage;
    const QString name = QDir::toNativeSeparators(path);
    if (!m_history->exportTo(path)) {
        showMessage(label,
            tr("%1 could not be written (%2). Nothing was exported.")
                .arg(name, m_history->errorString()),
            true);
        return;
    }
    getConfig()->setDocumentsDir(path);
    const QString warning = saveConfig();
    showMessage(label,
        tr("Event history exported to %1.").arg(name)
            + (warning.isEmpty() ? QString() : QLatin1Char(' ') + warning),
        !warning.isEmpty());
}

void R58SubScreen::handleArticleNumberModelValue()
{
    auto& information = getModelDatabase()->getInformation();
    const auto articleNumber = static_cast<quint32>(information.getArticleNumberValue().getValue());
    const Variant* variant = findVariant(articleNumber);
    m_uiInformation->labelProductName->setText(
        variant ? QString::fromUtf8(variant->productName) : QStringLiteral(" "));
    m_uiInformation->labelArticleNumber->setText(information.getArticleNumberValue().toString()
        + information.getArticleIndexNumberValue().toString());
    // At start-up the fault and operating state usually come first: their picture is chosen
    // again now that the variant is known.
    if (!m_statusPictureState.isEmpty())
        showStatusPicture(m_statusPictureState);
}

void R58SubScreen::handleSerialNumberModelValue()
{
    const QString serial = getModelDatabase()->getInformation().getSerialNumberValue().toString();
    m_uiInformation->labelSerialNumber->setText(serial);
    setWindowTitle(serial);
}

void R58SubScreen::handlePlatformVersionModelValue()
{
    auto& version = getModelDatabase()->getInformation().getPlatformVersionValue();
    // The model's starting value is no version: until the device tells it, there is none.
    m_uiInformation->labelSoftwareVersion->setText(
        getTerminalService()->hasReported(Model::Interfaces::ModelValueID::PlatformVersion)
            ? version.toString()
            : QStringLiteral("-"));
    updateVoltageInfoText(version.getValue());
    updatePhaseAsymmetryTab(version.getValue());
}

void R58SubScreen::updateVoltageInfoText(quint32 platformVersion)
{
    const bool lineToLine = platformVersion >= LineVoltagePlatformVersion;
    m_uiData->labelVoltageText_L1_N->setText(
        lineToLine ? tr("Voltage L1 - L2") : tr("Voltage L1 - N"));
    m_uiData->labelVoltageText_L2_N->setText(
        lineToLine ? tr("Voltage L2 - L3") : tr("Voltage L2 - N"));
    m_uiData->labelVoltageText_L3_N->setText(
        lineToLine ? tr("Voltage L3 - L1") : tr("Voltage L3 - N"));
}

void R58SubScreen::updatePhaseAsymmetryTab(quint32 platformVersion)
{
    m_uiConfiguration->pushButtonAsymmetrySettings->setVisible(
        platformVersion >= LineVoltagePlatformVersion);
}

void R58SubScreen::handleHardwareRevisionModelValue()
{
    auto& information = getModelDatabase()->getInformation();
    const auto hex = [](unsigned value) {
        return QStringLiteral("%1").arg(value, 2, 16, QLatin1Char('0')).toUpper();
    };
    m_uiInformation->labelHardwareRevision->setText(
        QStringList {hex(information.getControllerBoardValue().getValue()),
            hex(information.getPowerBoardValue().getValue()),
            hex(information.getDisplayBoardValue().getValue())}
            .join(QLatin1Char(':')));
}

void R58SubScreen::handleFaultTypeModelValue()
{
    const FaultState faults = FaultState::fromModel(*getModelDatabase());
    switch (faults.kind) {
    case FaultState::Kind::Error:
        showMotorStatus(tr("R58 Status: Error"));
        clearDirection();
        break;
    case FaultState::Kind::Warning:
        showMotorStatus(tr("R58 Status: Warning"));
        break;
    case FaultState::Kind::None:
        handleOperatingModeModelValue();
        m_uiInformation->labelFaultCode->clear();
        m_uiInformation->labelFaultInfo->clear();
        return;
    }
    m_uiInformation->labelFaultInfo->setText(Records::DisplayNames::fault(faults.text));
    m_uiInformation->labelFaultCode->setText(faults.code);
    if (!faults.pictureState.isEmpty())
        showStatusPicture(faults.pictureState);
}

void R58SubScreen::handleOperatingModeModelValue()
{
    auto& database = *getModelDatabase();
    const bool noFault = database.getFaults().getErrorValue().getValue() == FaultType::DeviceOK
        && database.getFaults().getWarningValue().getValue() == FaultType::DeviceOK;
    switch (database.getOperation().getOperatingModeValue().getValue()) {
    case OperationMode::Idle:
        clearDirection();
        if (noFault) {
            showMotorStatus(tr("R58 Status: Idle"));
            showStatusPicture(QStringLiteral("standby"));
        }
        break;
    case OperationMode::Forward:
        m_uiControl->labelControlDirection->setPixmap(
            QPixmap(QStringLiteral(":/images/forward.png")));
        if (noFault) {
            showMotorStatus(tr("R58 Status: Forward"));
            showStatusPicture(QStringLiteral("operating"));
        }
        break;
    case OperationMode::Backward:
        m_uiControl->labelControlDirection->setPixmap(
            QPixmap(QStringLiteral(":/images/backward.png")));
        if (noFault) {
            showMotorStatus(tr("R58 Status: Backward"));
            showStatusPicture(QStringLiteral("operating"));
        }
        break;
    default:
        // A safety stop leaves the screen as it is.
        break;
    }
}

void R58SubScreen::showStatusPicture(const QString& state)
{
    m_statusPictureState = state;
    // In the set of the device's variant; none before the article number is known.
    const auto articleNumber = static_cast<quint32>(
        getModelDatabase()->getInformation().getArticleNumberValue().getValue());
    const Variant* variant = findVariant(articleNumber);
    showVelorR58Image(variant
            ? QString::fromLatin1(variant->pictureStem) + state + QStringLiteral(".png")
            : QString());
}

void R58SubScreen::showVelorR58Image(const QString& path)
{
    // A device of no known variant keeps the picture it has.
    if (path.isEmpty())
        return;
    m_uiInformation->labelVelorR58Image->setPixmap(QPixmap(path));
    // The path is kept so that what is shown can be told without comparing pixels.
    m_uiInformation->labelVelorR58Image->setProperty("picture", path);
}

void R58SubScreen::showMotorStatus(const QString& text)
{
    m_uiControl->labelControlStatus->setText(text);
    // The service page's motor tab has a status line of its own.
    if (auto* label = findChild<QLabel*>(QStringLiteral("labelMotorStatus")))
        label->setText(text);
}

void R58SubScreen::clearDirection()
{
    m_uiControl->labelControlDirection->clear();
}

void R58SubScreen::showVersion()
{
    const unsigned int version = getVersion();
    m_uiAbout->labelAboutVersion->setText(QStringLiteral("V%1.%2.%3.%4")
                                              .arg(version >> 24)
                                              .arg((version >> 16) & 0xFFu)
                                              .arg((version >> 8) & 0xFFu)
                                              .arg(version & 0xFFu));
}
