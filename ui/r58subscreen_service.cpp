// The device screen's service page and the package update on the information page.

#include "config/config.h"
#include "link/serialportmanager.h"
#include "link/talolinkcomponent.h"
#include "link/talolinkterminalservice.h"
#include "link/terminalcommanditem.h"
#include "model/modeldatabase.h"
#include "model/modelvalue.h"
#include "model/modelvalueobserver.h"
#include "config/settingsmapper.h"
#include "records/recordlocations.h"
#include "ui/servicelog.h"
#include "ui/r58subscreen.h"
#include "ui/userfeatures.h"
#include "ui_r58subscreen.h"
#include "ui_r58subscreen_information.h"
#include "ui_r58subscreen_service.h"
#include "update/packageupdateservice.h"
#include "update/singleimageupdate.h"
#include "update/updatecontrolservice.h"
#include "update/updatepolicy.h"

#include <QComboBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QStyle>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTimer>

#include <cmath>
#include <limits>

using Records::SettingsBackups;
using Application::R58::TerminalCommandItem;
using Application::R58::UserFeatures;
using Component::Interfaces::TaloLinkCommandID;
using Model::Interfaces::ModelActionID;
using Model::Interfaces::ModelValueID;
using Service::R58::PackageUpdateService;
using Service::R58::SingleImageUpdate;
using Service::R58::TaloLinkTerminalService;
using Service::R58::UpdateControlService;
using Service::R58::UpdatePolicy;

namespace {

// The package line says a failure in the error colour; the style sheet needs a repolish.
void markFailure(QLabel* label, bool failure)
{
    if (label->property("failure").toBool() == failure)
        return;
    label->setProperty("failure", failure);
    label->style()->unpolish(label);
    label->style()->polish(label);
}


// Where a tar archive carries its magic: an update package is no single image.
constexpr int TarMagicOffset = 257;
const QByteArray TarMagic = QByteArrayLiteral("ustar");

bool isPackage(const QString& path, const QByteArray& head)
{
    return path.endsWith(QLatin1String(".tar"), Qt::CaseInsensitive)
        || head.mid(TarMagicOffset, TarMagic.size()) == TarMagic;
}

// Whole-number editors: the value truncated toward zero, within the argument's width.
template <typename T> T wholeNumber(double value)
{
    const double truncated = std::trunc(value);
    if (!(truncated > 0.0))
        return 0;
    if (truncated >= double(std::numeric_limits<T>::max()))
        return std::numeric_limits<T>::max();
    return static_cast<T>(truncated);
}

// By class, not by item type: a copied list item does not keep its type.
TerminalCommandItem* commandItem(QListWidgetItem* item)
{
    return dynamic_cast<TerminalCommandItem*>(item);
}

} // namespace

void R58SubScreen::ServiceFormDeleter::operator()(Ui::R58SubScreenService* form) const
{
    delete form;
}

void R58SubScreen::setupServicePage()
{
    // The demo page's form exists for every role; only the demo role fills and connects it.
    setupDemoForm();
    m_uiService.reset(new Ui::R58SubScreenService);
    m_uiService->setupUi(m_ui->pageServiceMode);
    Ui::R58SubScreenService& ui = *m_uiService;

    m_argumentLabels = {ui.labelArg1, ui.labelArg2, ui.labelArg3, ui.labelArg4, ui.labelArg5};
    // Only the first position can take an identifier: no command has one elsewhere.
    m_argumentChoices = {ui.comboBoxArg1, nullptr, nullptr, nullptr, nullptr};
    m_argumentEditors = {ui.doubleSpinBoxArg1, ui.doubleSpinBoxArg2, ui.doubleSpinBoxArg3,
        ui.doubleSpinBoxArg4, ui.doubleSpinBoxArg5};
    // The argument rows keep their room while hidden: EXECUTE COMMAND below them must not move
    // under the pointer when a command with arguments is chosen.
    for (QWidget* widget : std::initializer_list<QWidget*> {ui.labelArg1, ui.labelArg2,
             ui.labelArg3, ui.labelArg4, ui.labelArg5, ui.doubleSpinBoxArg1, ui.doubleSpinBoxArg2,
             ui.doubleSpinBoxArg3, ui.doubleSpinBoxArg4, ui.doubleSpinBoxArg5}) {
        QSizePolicy policy = widget->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        widget->setSizePolicy(policy);
    }
    m_log = new ServiceLog(ui.textBrowserLogging, getTerminalService().data(), this);

    connect(ui.listWidgetCommands, &QListWidget::itemSelectionChanged, this,
        &R58SubScreen::handleCommand);
    connect(ui.pushButtonExecuteCommand, &QPushButton::clicked, this,
        &R58SubScreen::handleExecuteCommand);
    connect(ui.pushButtonLogClear, &QPushButton::clicked, m_log, &ServiceLog::clear);
    connect(ui.pushButtonOpenFile, &QPushButton::clicked, this, &R58SubScreen::handleOpenFile);
    connect(
        ui.pushButtonStartUpdate, &QPushButton::clicked, this, &R58SubScreen::handleStartUpdate);
    connect(ui.pushButtonMotorIdle, &QPushButton::clicked, this, &R58SubScreen::handleIdle);
    connect(ui.pushButtonMotorForward, &QPushButton::clicked, this, &R58SubScreen::handleForward);
    connect(ui.pushButtonMotorBackward, &QPushButton::clicked, this, &R58SubScreen::handleBackward);
    connect(ui.comboBoxArg1, qOverload<int>(&QComboBox::currentIndexChanged), this,
        &R58SubScreen::handleModelValueID);

    m_singleImage = std::make_unique<SingleImageUpdate>(
        getUpdateControlService(), getPackageUpdateService(), getSerialPortManager(), m_portName);
    connect(m_singleImage.get(), &SingleImageUpdate::progressChanged, this,
        &R58SubScreen::handleProgress);
    connect(m_singleImage.get(), &SingleImageUpdate::finished, this, [this] {
        updateStartButtons();
        emit updateEnded();
    });
    connect(m_singleImage.get(), &SingleImageUpdate::failed, this, [this](const QString& text) {
        m_uiService->labelFilename->setText(text);
        updateStartButtons();
        emit updateEnded();
    });

    TaloLinkTerminalService* terminal = getTerminalService().data();
    connect(terminal, &TaloLinkTerminalService::terminalPlatformReady, this,
        &R58SubScreen::handleTerminalReady);
    connect(terminal, &TaloLinkTerminalService::terminalDisplayReady, this,
        &R58SubScreen::handleTerminalReady);
    m_log->setEnabled(ui.checkBoxLogEnable->isChecked());
    connect(ui.checkBoxLogEnable, &QCheckBox::toggled, m_log, &ServiceLog::setEnabled);

    PackageUpdateService* packager = getPackageUpdateService().data();
    connect(packager, &PackageUpdateService::packageUpdateVersion, this,
        &R58SubScreen::handlePackageUpdateVersion);
    connect(packager, &PackageUpdateService::packageUpdatePlatformVersion, this,
        &R58SubScreen::handlePackageUpdatePlatformVersion);
    connect(packager, &PackageUpdateService::packageUpdateErrorOccured, this,
        &R58SubScreen::handlePackageUpdateErrorOccured);
    connect(packager, &PackageUpdateService::packageUpdateFinished, this,
        &R58SubScreen::handlePackageUpdateFinished);
    connect(packager, &PackageUpdateService::packageUpdateProgressChanged,
        m_uiInformation->progressBarPackageUpdate, &QProgressBar::setValue);
    connect(m_uiInformation->pushButtonOpenUpdatePackage, &QPushButton::clicked, this,
        &R58SubScreen::handleOpenUpdatePackage);
    connect(m_uiInformation->pushButtonStartPackageUpdate, &QPushButton::clicked, this,
        &R58SubScreen::handleStartPackageUpdate);
    // The package update hears the version itself, through the application object.
    connect(terminal, &TaloLinkTerminalService::platformVersionModelValue, this, [this] {
        m_deviceVersionKnown = true;
        // A package opened before the device's version came is judged now.
        if (m_packageAwaitingVersion)
            handlePackageUpdatePlatformVersion(getPackageUpdateService()->getPlatformVersion());
    });

    m_uiInformation->textBrowserPackageUpdate->setPlainText(
        tr("Regular firmware updates bring new features and fixes. Search for an update package "
           "to see whether it is newer than the firmware of this device."));

    ui.checkBoxPlatform->setChecked(true);
    softwareUpdatePossibility(true);
    updateStartButtons();
    hideArguments();
    loadModelValueIDs();
}

// ---- Commands

void R58SubScreen::handleTerminalReady()
{
    QListWidget* list = m_uiService->listWidgetCommands;
    {
        // The rebuild itself is no choice of the user's; the first row is shown below.
        const QSignalBlocker blocker(list);
        list->clear();
        for (TerminalCommandItem* item : getTerminalService()->getCommandItemList())
            list->addItem(item);
    }
    if (list->count() > 0)
        list->setCurrentRow(0);
    handleCommand();
}

void R58SubScreen::handleCommand()
{
    TerminalCommandItem* item = commandItem(m_uiService->listWidgetCommands->currentItem());
    if (!item)
        return;
    hideArguments();
    // Read the list afresh each time: choosing an identifier may replace the value argument.
    for (int i = 0; i < item->getArgs().size(); ++i)
        showArgument(unsigned(i), *item);
}

void R58SubScreen::hideArguments()
{
    for (QLabel* label : qAsConst(m_argumentLabels))
        label->hide();
    for (QComboBox* choice : qAsConst(m_argumentChoices)) {
        if (choice)
            choice->hide();
    }
    for (QDoubleSpinBox* editor : qAsConst(m_argumentEditors))
        editor->hide();
}

void R58SubScreen::showArgument(unsigned int index, TerminalCommandItem& item)
{
    const int i = int(index);
    if (i >= item.getArgs().size() || i >= m_argumentLabels.size())
        return;
    const QSharedPointer<TerminalCommandItem::Arg> arg = item.getArgs().at(i);
    QDoubleSpinBox* editor = m_argumentEditors.at(i);
    QComboBox* choice = m_argumentChoices.at(i);
    QWidget* shown = nullptr;

    auto number = [editor](int decimals, double minimum, double maximum) {
        editor->setDecimals(decimals);
        editor->setRange(minimum, maximum);
        editor->setValue(0.0);
        return editor;
    };
    constexpr double floatLimit = double(std::numeric_limits<float>::max());
    switch (arg->getType()) {
    case TerminalCommandItem::Arg::UInt8:
        shown = number(0, 0.0, 255.0);
        break;
    case TerminalCommandItem::Arg::UInt16:
        shown = number(0, 0.0, 65535.0);
        break;
    case TerminalCommandItem::Arg::UInt32:
        shown = number(0, 0.0, 4294967295.0);
        break;
    case TerminalCommandItem::Arg::Float:
        shown = number(3, -floatLimit, floatLimit);
        break;
    case TerminalCommandItem::Arg::ModelValueID:
        if (choice) {
            loadModelValueIDs();
            shown = choice;
        }
        break;
    case TerminalCommandItem::Arg::ModelActionID:
        if (choice) {
            loadModelActionIDs();
            shown = choice;
        }
        break;
    }
    if (!shown)
        return;
    m_argumentLabels.at(i)->setText(arg->getName());
    m_argumentLabels.at(i)->show();
    shown->show();
}

void R58SubScreen::loadModelValueIDs()
{
    QComboBox* choice = m_uiService->comboBoxArg1;
    choice->clear();
    for (int id = 0; id < int(ModelValueID::MaxCount); ++id)
        choice->addItem(Model::Interfaces::modelValueName(ModelValueID(id)));
    choice->setCurrentIndex(0);
}

void R58SubScreen::loadModelActionIDs()
{
    QComboBox* choice = m_uiService->comboBoxArg1;
    choice->clear();
    for (int id = 0; id < int(ModelActionID::MaxCount); ++id)
        choice->addItem(Model::Interfaces::modelActionName(ModelActionID(id)));
    choice->setCurrentIndex(0);
}

void R58SubScreen::handleModelValueID(int index)
{
    TerminalCommandItem* item = commandItem(m_uiService->listWidgetCommands->currentItem());
    if (!item || item->getCommand() != TaloLinkCommandID::SetModelValue || index < 0
        || item->getArgs().size() < 2)
        return;
    const Model::Interfaces::ModelValueIntf* value
        = getValueObserver()->getValue(ModelValueID(index));
    if (!value)
        return;
    // A new argument for this copy only: the catalogue keeps its own.
    const bool isFloat = dynamic_cast<const Model::Interfaces::ModelValue<float>*>(value);
    TerminalCommandItem::ArgList args = item->getArgs();
    if (isFloat)
        args[1] = QSharedPointer<TerminalCommandItem::FloatArg>::create(QStringLiteral("Value"));
    else
        args[1] = QSharedPointer<TerminalCommandItem::UInt32Arg>::create(QStringLiteral("Value"));
    item->setArgs(args);
    showArgument(1, *item);
}

void R58SubScreen::handleExecuteCommand()
{
    TerminalCommandItem* item = commandItem(m_uiService->listWidgetCommands->currentItem());
    if (!item)
        return;
    const TerminalCommandItem::ArgList& args = item->getArgs();
    for (int i = 0; i < args.size() && i < m_argumentEditors.size(); ++i) {
        TerminalCommandItem::Arg* arg = args.at(i).data();
        const double number = m_argumentEditors.at(i)->value();
        QComboBox* choice = m_argumentChoices.at(i);
        const int entry = choice ? std::max(choice->currentIndex(), 0) : 0;
        switch (arg->getType()) {
        case TerminalCommandItem::Arg::UInt8:
            static_cast<TerminalCommandItem::UInt8Arg*>(arg)->setValue(
                wholeNumber<std::uint8_t>(number));
            break;
        case TerminalCommandItem::Arg::UInt16:
            static_cast<TerminalCommandItem::UInt16Arg*>(arg)->setValue(
                wholeNumber<std::uint16_t>(number));
            break;
        case TerminalCommandItem::Arg::UInt32:
            static_cast<TerminalCommandItem::UInt32Arg*>(arg)->setValue(
                wholeNumber<std::uint32_t>(number));
            break;
        case TerminalCommandItem::Arg::Float:
            static_cast<TerminalCommandItem::FloatArg*>(arg)->setValue(float(number));
            break;
        case TerminalCommandItem::Arg::ModelValueID:
            static_cast<TerminalCommandItem::ModelValueIDArg*>(arg)->setValue(ModelValueID(entry));
            break;
        case TerminalCommandItem::Arg::ModelActionID:
            static_cast<TerminalCommandItem::ModelActionIDArg*>(arg)->setValue(
                ModelActionID(entry));
            break;
        }
    }

    if (item->getCommand() == TaloLinkCommandID::SetModelValue) {
        // Through the model value, so that the mirror holds what the device is sent.
        Model::Interfaces::ModelValueIntf* value = getValueObserver()->getValue(
            ModelValueID(std::max(m_uiService->comboBoxArg1->currentIndex(), 0)));
        if (!value || args.size() < 2)
            return;
        value->receive(static_cast<const std::uint8_t*>(args.at(1)->getData()),
            std::uint64_t(args.at(1)->getSize()));
        value->transmit();
        return;
    }
    auto* link = dynamic_cast<Component::R58::TaloLinkComponent*>(
        getComponent(Component::Interfaces::ComponentID::TaloLinkUSB));
    if (link)
        link->sendPacket(item->toPacket());
}

// ---- Log

void R58SubScreen::handleCommandTransmitted(const QByteArray& text)
{
    m_log->append(tr("Send: "), text);
}

void R58SubScreen::handleCommandReceived(const QByteArray& text)
{
    m_log->append(tr("Receive: "), text);
}

// ---- Single image

void R58SubScreen::softwareUpdatePossibility(bool possible)
{
    m_uiService->pushButtonStartUpdate->setVisible(possible);
    m_uiService->progressBarUpdate->setVisible(possible);
}

void R58SubScreen::updateStartButtons()
{
    m_uiService->pushButtonStartUpdate->setEnabled(m_singleImage->canStart());
    m_uiInformation->pushButtonStartPackageUpdate->setEnabled(!m_singleImage->isRunning());
}

void R58SubScreen::handleOpenFile()
{
    // Only the folder is shared with the package update; the file is this page's own choice.
    const QString path = askFileName(FileDialogMode::Open, tr("Open binary file"),
        Records::RecordLocations::dialogFolder(getConfig()->getSoftwareUpdateDir()),
        tr("Binary Files (*.bin *.crypt)"));
    if (path.isEmpty())
        return;
    QFile file(path);
    const QByteArray head = file.open(QIODevice::ReadOnly) ? file.read(512) : QByteArray();
    if (isPackage(path, head)) {
        m_singleImage->setImagePath(QString());
        m_uiService->labelFilename->setText(
            tr("\"%1\" is an update package, not a single image. Open it with \"SEARCH FOR NEW "
               "FIRMWARE\" on the Information page.")
                .arg(QFileInfo(path).fileName()));
    } else {
        m_singleImage->setImagePath(path);
        m_uiService->labelFilename->setText(tr("Filename: ") + QDir::toNativeSeparators(path));
    }
    updateStartButtons();
    getConfig()->setSoftwareUpdateDir(path);
    if (const QString warning = saveConfig(); !warning.isEmpty())
        m_uiService->labelFilename->setText(
            m_uiService->labelFilename->text() + QLatin1Char('\n') + warning);
}

void R58SubScreen::handleStartUpdate()
{
    if (!m_singleImage->canStart())
        return;
    const QString path = m_singleImage->getImagePath();
    QFile file(path);
    // An unreadable file must not go out as an empty image that looks like success.
    if (!file.open(QIODevice::ReadOnly)) {
        m_uiService->labelFilename->setText(tr("Cannot read the file: %1").arg(path));
        return;
    }
    const QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        m_uiService->labelFilename->setText(tr("Cannot read the file: %1").arg(path));
        return;
    }
    // Replaced since it was chosen: a package still never goes out as an image.
    if (isPackage(path, data)) {
        m_uiService->labelFilename->setText(
            tr("\"%1\" is an update package, not a single image. Open it with \"SEARCH FOR NEW "
               "FIRMWARE\" on the Information page.")
                .arg(QFileInfo(path).fileName()));
        return;
    }
    if (refuseWhileMotorRuns(tr("The firmware update")))
        return;
    if (!backUpSettings(SettingsBackups::Reason::Update)) {
        m_uiService->labelFilename->setText(
            tr("The update was not started: the device's settings could not be backed up."));
        return;
    }
    m_singleImage->start(data,
        m_uiService->checkBoxPlatform->isChecked() ? UpdateControlService::Terminal::Platform
                                                   : UpdateControlService::Terminal::Display);
    updateStartButtons();
}

void R58SubScreen::handleRequestMemblock(unsigned short blockIndex)
{
    // The application object passes the device's requests on; this is for callers of the slot.
    getUpdateControlService()->sendMemoryBlock(blockIndex);
}

void R58SubScreen::handleProgress(int percent)
{
    m_uiService->progressBarUpdate->setValue(percent);
}

void R58SubScreen::handleDigestError()
{
    m_singleImage->handleDigestError();
}

// ---- Package update on the information page

void R58SubScreen::handleOpenUpdatePackage()
{
    const QString path = askFileName(FileDialogMode::Open, tr("Open software update package"),
        Records::RecordLocations::dialogFolder(getConfig()->getSoftwareUpdateDir()),
        tr("Archives (*.tar)"));
    if (path.isEmpty())
        return;
    m_uiInformation->pushButtonStartPackageUpdate->hide();
    m_uiInformation->labelPackageVersionText->clear();
    markFailure(m_uiInformation->labelPackageVersionText, false);
    m_uiInformation->labelPackageVersion->clear();
    getConfig()->setSoftwareUpdateDir(path);
    // Said before the package's own outcome, which the package's messages then show below.
    if (const QString warning = saveConfig(); !warning.isEmpty())
        m_uiInformation->textBrowserPackageUpdate->setPlainText(warning);
    getPackageUpdateService()->openArchive(path);
}

void R58SubScreen::handlePackageUpdateVersion(const QString& version)
{
    m_uiInformation->labelPackageVersion->setText(version);
}

void R58SubScreen::handlePackageUpdatePlatformVersion(unsigned int version)
{
    m_packageAwaitingVersion = false;
    // The model holds the tool's own version until the device reports its own: the rule
    // would compare the package with the wrong firmware.
    const std::uint32_t installed
        = getModelDatabase()->getInformation().getPlatformVersionValue().getValue();
    const auto verdict = UpdatePolicy::judgeVersion(getUserAccount()->getUser(),
        m_deviceVersionKnown ? std::optional<std::uint32_t>(installed) : std::nullopt, version,
        getModelDatabase()->getOperation().getOperatingModeValue().getValue());
    if (verdict == UpdatePolicy::Verdict::VersionUnknown) {
        m_packageAwaitingVersion = true;
        m_uiInformation->labelPackageVersionText->setText(tr("Waiting for the device's version…"));
        m_uiInformation->pushButtonStartPackageUpdate->hide();
        return;
    }
    const bool allowed = verdict == UpdatePolicy::Verdict::Allowed;
    if (allowed) {
        m_uiInformation->labelPackageVersionText->setText(tr("New Firmware: "));
        m_uiInformation->pushButtonStartPackageUpdate->show();
    } else {
        m_uiInformation->labelPackageVersionText->setText(
            tr("Software downgrade is not allowed! "));
        m_uiInformation->pushButtonStartPackageUpdate->hide();
    }
}

void R58SubScreen::handleStartPackageUpdate()
{
    // One update at a time: the single image's transfer would be replaced mid-way.
    if (m_singleImage->isRunning() || getUpdateControlService()->isTransferring())
        return;
    if (refuseWhileMotorRuns(tr("The firmware update")))
        return;
    // Kept before the firmware changes: an update may bring the settings back to their defaults.
    m_updateBackup.clear();
    if (!backUpSettings(SettingsBackups::Reason::Update)) {
        m_uiInformation->labelPackageVersionText->setText(
            tr("The update was not started: the device's settings could not be backed up."));
        return;
    }
    m_uiInformation->pushButtonOpenUpdatePackage->hide();
    m_uiInformation->pushButtonStartPackageUpdate->hide();
    m_updateBackup = m_lastBackup;
    m_uiInformation->progressBarPackageUpdate->setValue(0);
    m_uiInformation->progressBarPackageUpdate->show();
    // The start waits for the boot loader before it counts as running.
    m_uiService->pushButtonStartUpdate->setEnabled(false);
    getPackageUpdateService()->start();
    updateStartButtons();
}

void R58SubScreen::handlePackageUpdateErrorOccured(const QString& text)
{
    m_packageAwaitingVersion = false;
    updateStartButtons();
    m_uiInformation->pushButtonOpenUpdatePackage->show();
    m_uiInformation->pushButtonStartPackageUpdate->hide();
    m_uiInformation->labelPackageVersionText->setText(text);
    markFailure(m_uiInformation->labelPackageVersionText, true);
    m_uiInformation->labelPackageVersion->clear();
    m_uiInformation->progressBarPackageUpdate->hide();
    emit updateEnded();
}

void R58SubScreen::handlePackageUpdateFinished()
{
    updateStartButtons();
    m_uiInformation->pushButtonOpenUpdatePackage->show();
    if (UserFeatures(getUserAccount()).hasFeature(UserFeatures::UnrestrictedUpdate)) {
        m_uiInformation->pushButtonStartPackageUpdate->show();
    } else {
        m_uiInformation->pushButtonStartPackageUpdate->hide();
        m_uiInformation->labelPackageVersionText->clear();
        m_uiInformation->labelPackageVersion->clear();
    }
    m_uiInformation->progressBarPackageUpdate->hide();
    // The device is back with its version verified: what it holds now is read and compared
    // with the backup taken before.
    m_settingsAct = {SettingsAct::Kind::Update, QString()};
    QList<::Application::R58::SettingsVerifier::Outcome> every;
    for (const ::Application::R58::SettingKey key : ::Application::R58::SettingsMapper::keys())
        every.append({key, 0.0, std::nullopt, true});
    m_verifier->verify(every);
    emit updateEnded();
}
