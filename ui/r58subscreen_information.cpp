// The device screen's information page (identity, status picture, fault texts and codes, the
// motor's state) and the about page with the program's version and legal texts.

#include "link/talolinkterminalservice.h"
#include "model/modeldatabase.h"
#include "ui/r58subscreen.h"
#include "ui_r58subscreen.h"
#include "ui_r58subscreen_about.h"
#include "ui_r58subscreen_configuration.h"
#include "ui_r58subscreen_control.h"
#include "ui_r58subscreen_data.h"
#include "ui_r58subscreen_information.h"

#include <QLabel>
#include <QPixmap>

using Service::R58::TaloLinkTerminalService;
using FaultType = Model::Interfaces::ModelTypes::Fault::Type;
using OperationMode = Model::Interfaces::ModelTypes::Operation::Mode;

namespace {

// From this platform version on the device measures line-to-line voltages and knows the load
// asymmetry protection (bytes 0, 4, 3, 2).
constexpr quint32 LineVoltagePlatformVersion = 262914;

struct Variant
{
    quint32 articleNumber;
    const char* productName;
    const char* pictureStem;
};

constexpr std::array<Variant, 4> Variants {{
    {51310, "VELOR®R58 Strand 2,6 A", ":/images/velor_r58_strand_"},
    {51314, "VELOR®R58 Strand 6,6 A", ":/images/velor_r58_strand_"},
    {51322, "VELOR®R58 Strand Plus 2,6 A", ":/images/velor_r58_strand+_"},
    {51326, "VELOR®R58 Strand Plus 6,6 A", ":/images/velor_r58_strand+_"},
}};

const Variant* findVariant(quint32 articleNumber)
{
    for (const Variant& variant : Variants) {
        if (variant.articleNumber == articleNumber)
            return &variant;
    }
    return nullptr;
}

// Fault codes by fault type; types without a code show a blank.
QString faultCode(FaultType type, bool error)
{
    static const std::array<int, 15> Codes {
        0, 5810, 5806, 5807, 5808, 5802, 5809, 5804, 5803, 5805, 5813, 5814, 5811, 5812, 5815};
    const auto value = static_cast<unsigned>(type);
    if (value >= 1 && value < Codes.size())
        return QStringLiteral("%1 %2")
            .arg(error ? QLatin1Char('E') : QLatin1Char('W'))
            .arg(Codes[value]);
    if (value == 15 && !error)
        return QStringLiteral("W 5816");
    return QStringLiteral(" ");
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
    "<p>Data read from a connected device (serial number, settings, measurements, faults) is "
    "shown on screen and written only to files you export yourself.</p>"
    "<p>Questions: privacy@brenvik.example</p>");

} // namespace

void R58SubScreen::setupInformationPage()
{
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
    connect(service, &TaloLinkTerminalService::operatingModeModelValue, this,
        &R58SubScreen::handleOperatingModeModelValue);
}

void R58SubScreen::setupAboutPage()
{
    m_uiAbout->textBrowserVizorevAvuvUpdate->setHtml(
        tr("<p><span style=\"font-size:20pt; font-weight:bold; color:#204253;\">VELOR®R58</span> "
           "<span style=\"font-size:20pt; color:#ef7c00;\">VizorevAvuv</span></p>"));
    m_uiAbout->textBrowserImpressum->setHtml(tr(ImpressumText));
    m_uiAbout->textBrowserPrivacy->setHtml(tr(PrivacyText));
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
    m_uiInformation->labelSoftwareVersion->setText(version.toString());
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
    auto& faults = getModelDatabase()->getFaults();
    const FaultType error = faults.getErrorValue().getValue();
    const FaultType warning = faults.getWarningValue().getValue();
    if (error != FaultType::DeviceOK) {
        showMotorStatus(tr("R58 Status: Error"));
        clearDirection();
        updateErrorInfo();
        m_uiInformation->labelFaultCode->setText(faultCode(error, true));
        return;
    }
    if (warning != FaultType::DeviceOK) {
        showMotorStatus(tr("R58 Status: Warning"));
        updateWarningInfo();
        m_uiInformation->labelFaultCode->setText(faultCode(warning, false));
        return;
    }
    handleOperatingModeModelValue();
    m_uiInformation->labelFaultCode->clear();
    m_uiInformation->labelFaultInfo->clear();
}

void R58SubScreen::updateErrorInfo()
{
    auto& database = *getModelDatabase();
    const auto& errorValue = database.getFaults().getErrorValue();
    const QString base = errorValue.toString() + QLatin1Char(' ');
    const QString phase = database.getFaults().getPhaseValue().toString();
    const QString capacity = database.getOperation().getCapacityValue().toString();
    QString text = base;
    QString state = QStringLiteral("error");
    switch (static_cast<unsigned>(errorValue.getValue())) {
    case 1:
    case 3:
    case 4:
    case 5:
        text += phase;
        state = QStringLiteral("error_load");
        break;
    case 2:
        text += capacity + QStringLiteral(" %");
        state = QStringLiteral("error_load");
        break;
    case 6:
    case 7:
    case 8:
        text += phase;
        state = QStringLiteral("error_supply");
        break;
    case 10:
    case 11:
        state = QStringLiteral("error_supply");
        break;
    default:
        break;
    }
    m_uiInformation->labelFaultInfo->setText(text);
    showStatusPicture(state);
}

void R58SubScreen::updateWarningInfo()
{
    auto& database = *getModelDatabase();
    const auto& warningValue = database.getFaults().getWarningValue();
    const QString base = warningValue.toString() + QLatin1Char(' ');
    const QString phase = database.getFaults().getPhaseValue().toString();
    const QString capacity = database.getOperation().getCapacityValue().toString();
    QString text = base;
    QString state = QStringLiteral("warning");
    switch (static_cast<unsigned>(warningValue.getValue())) {
    case 2:
        text += capacity + QStringLiteral(" %");
        state = QStringLiteral("warning_load");
        break;
    case 3:
    case 5:
        text += phase;
        state = QStringLiteral("warning_load");
        break;
    case 6:
    case 7:
    case 8:
        text += phase;
        state = QStringLiteral("warning_supply");
        break;
    case 10:
    case 11:
    case 14:
        state = QStringLiteral("warning_supply");
        break;
    case 15:
        // A warning without a name of its own keeps whatever the picture shows.
        state.clear();
        break;
    default:
        break;
    }
    m_uiInformation->labelFaultInfo->setText(text);
    if (!state.isEmpty())
        showStatusPicture(state);
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

QString R58SubScreen::statusPicture(const QString& state)
{
    const auto articleNumber = static_cast<quint32>(
        getModelDatabase()->getInformation().getArticleNumberValue().getValue());
    const Variant* variant = findVariant(articleNumber);
    if (!variant)
        return {};
    return QString::fromLatin1(variant->pictureStem) + state + QStringLiteral(".png");
}

void R58SubScreen::showStatusPicture(const QString& state)
{
    m_statusPictureState = state;
    showVelorR58Image(statusPicture(state));
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
