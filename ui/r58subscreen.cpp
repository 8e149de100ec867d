// The device screen's frame: construction, navigation between its pages, what each role may
// use, and when its tab may close. The pages themselves live in the other r58subscreen_*.cpp.

#include "ui/r58subscreen.h"

#include "config/config.h"
#include "link/serialport.h"
#include "link/serialportmanager.h"
#include "link/talolinkusbcomponent.h"
#include "records/devicehistory.h"
#include "records/measurementcapture.h"
#include "model/modelactionid.h"
#include "ui/stylesheet.h"
#include "ui/windowfit.h"
#include "ui/userfeatures.h"
#include "ui_r58subscreen.h"
#include "ui_r58subscreen_about.h"
#include "ui_r58subscreen_configuration.h"
#include "ui_r58subscreen_control.h"
#include "ui_r58subscreen_data.h"
#include "ui_r58subscreen_information.h"
#include "update/packageupdateservice.h"
#include "update/singleimageupdate.h"

#include <QFileDialog>
#include <QKeyEvent>
#include <QSignalBlocker>

using Application::R58::Config;
using Application::R58::SerialPortManager;
using Application::R58::UserAccount;
using Application::R58::UserFeatures;
using Model::Interfaces::ModelActionID;
using Stream = Records::MeasurementCapture::Stream;

R58SubScreen::R58SubScreen(QSharedPointer<UserAccount> account, QSharedPointer<Config> config,
    QSharedPointer<SerialPortManager> manager, const QString& portName, QWidget* parent)
    : QDialog(parent),
      Application(std::move(account), std::move(config), std::move(manager), portName),
      m_ui(new Ui::R58SubScreen),
      m_uiInformation(new Ui::R58SubScreenInformation),
      m_uiConfiguration(new Ui::R58SubScreenConfiguration),
      m_uiData(new Ui::R58SubScreenData),
      m_uiControl(new Ui::R58SubScreenControl),
      m_uiAbout(new Ui::R58SubScreenAbout),
      m_portName(portName)
{
    m_ui->setupUi(this);
    // Each page has a form of its own; setting it up on the frame's page keeps the page's name.
    m_uiInformation->setupUi(m_ui->pageInformation);
    m_uiConfiguration->setupUi(m_ui->pageConfiguration);
    m_uiData->setupUi(m_ui->pageData);
    m_uiControl->setupUi(m_ui->pageControl);
    m_uiAbout->setupUi(m_ui->pageAbout);
    setStyleSheet(::Application::R58::loadStyleSheet(QStringLiteral("r58subscreen")));
    // A page taller or wider than a small screen's tab scrolls rather than being cut off; only
    // the page shown counts, so a short page does not scroll for a tall one.
    ::Application::R58::wrapInScrollArea(*m_ui->stackedWidgetMain);
    const auto sizeToPage = [this] {
        QStackedWidget* stack = m_ui->stackedWidgetMain;
        for (int index = 0; index < stack->count(); ++index) {
            const auto policy
                = index == stack->currentIndex() ? QSizePolicy::Preferred : QSizePolicy::Ignored;
            stack->widget(index)->setSizePolicy(policy, policy);
        }
        stack->updateGeometry();
    };
    connect(m_ui->stackedWidgetMain, &QStackedWidget::currentChanged, this, sizeToPage);
    sizeToPage();

    // Navigation between the pages and between the settings' and measurements' sub-pages.
    connect(m_ui->pushButtonInformations, &QPushButton::toggled, this,
        &R58SubScreen::handleInformationTab);
    connect(m_ui->pushButtonConfiguration, &QPushButton::toggled, this,
        &R58SubScreen::handleConfigurationTab);
    connect(m_ui->pushButtonData, &QPushButton::toggled, this, &R58SubScreen::handleDataTab);
    connect(m_ui->pushButtonControl, &QPushButton::toggled, this, &R58SubScreen::handleControlTab);
    connect(m_ui->pushButtonAbout, &QPushButton::toggled, this, &R58SubScreen::handleAboutTab);

    const std::array<QPushButton*, 5> settingsButtons {m_uiConfiguration->pushButtonGeneralSettings,
        m_uiConfiguration->pushButtonUndercurrentSettings,
        m_uiConfiguration->pushButtonUndervoltageSettings,
        m_uiConfiguration->pushButtonOvervoltageSettings,
        m_uiConfiguration->pushButtonAsymmetrySettings};
    for (int page = 0; page < int(settingsButtons.size()); ++page) {
        connect(settingsButtons[page], &QPushButton::toggled, this,
            [this, page] { m_uiConfiguration->stackedWidgetSettings->setCurrentIndex(page); });
    }

    connect(m_uiData->pushButtonVoltageData, &QPushButton::toggled, this,
        &R58SubScreen::handleMeasurementVoltagePage);
    connect(m_uiData->pushButtonCurrentData, &QPushButton::toggled, this,
        &R58SubScreen::handleMeasurementCurrentPage);
    connect(m_uiData->pushButtonPowerData, &QPushButton::toggled, this,
        &R58SubScreen::handleMeasurementPowerPage);

    setupInformationPage();
    setupConfigurationPage();
    setupDataPage();
    setupServicePage();

    m_ui->pushButtonInformations->setChecked(true);
    m_uiConfiguration->pushButtonGeneralSettings->setChecked(true);
    {
        // Preselected only: the device is told to measure when the user opens the data page.
        const QSignalBlocker blocker(m_uiData->pushButtonVoltageData);
        m_uiData->pushButtonVoltageData->setChecked(true);
    }
    m_uiInformation->pushButtonStartPackageUpdate->hide();
    m_uiInformation->progressBarPackageUpdate->hide();

    // The tab shows the serial number once the device has sent it.
    setWindowTitle(getSerialPort() ? QStringLiteral(" ") : m_portName);

    getConfig()->load();
    showVersion();
    activateFeatures();
}

R58SubScreen::~R58SubScreen()
{
    // First of all: the receive thread calls handlers connected directly to this screen, and
    // the screen's members go before the application base would shut the link down. Once
    // the stack is shut down no receive step runs any more (a running one finishes first).
    shutdown();
    // The controllers go while the model they read is still there; a closing tab's recording
    // ends with every value that arrived before the shutdown.
    delete m_capture;
    m_capture = nullptr;
    delete m_history;
    m_history = nullptr;
    delete m_uiAbout;
    delete m_uiControl;
    delete m_uiData;
    delete m_uiConfiguration;
    delete m_uiInformation;
    delete m_ui;
}

bool R58SubScreen::isClosable() const
{
    switch (getPackageUpdateService()->getUpdateState()) {
    case Service::R58::PackageUpdateService::UpdatingPlatform:
    case Service::R58::PackageUpdateService::WaitingForRestart:
    case Service::R58::PackageUpdateService::UpdatingDisplay:
        return false;
    default:
        return true;
    }
}

bool R58SubScreen::isUpdating() const
{
    return m_singleImage->isRunning() || getPackageUpdateService()->isUpdating();
}

void R58SubScreen::activateFeatures()
{
    const UserFeatures features(getUserAccount());
    m_ui->pushButtonConfiguration->setEnabled(features.hasFeature(UserFeatures::ConfigurationPage));
    m_ui->pushButtonData->setEnabled(features.hasFeature(UserFeatures::DataPage));
    m_ui->pushButtonControl->setEnabled(features.hasFeature(UserFeatures::ControlPage));

    // The offline screen has no device whose firmware a package could be compared with.
    const bool packageUpdate
        = features.hasFeature(UserFeatures::PackageUpdate) && !getSerialPort().isNull();
    m_uiInformation->textBrowserPackageUpdate->setVisible(packageUpdate);
    m_uiInformation->pushButtonOpenUpdatePackage->setVisible(packageUpdate);
    // Nor a history: that is kept per device.
    const bool device = !getSerialPort().isNull();
    for (QWidget* history : {static_cast<QWidget*>(m_uiInformation->labelHistoryTitle),
             static_cast<QWidget*>(m_uiInformation->pushButtonExportHistory),
             static_cast<QWidget*>(m_uiInformation->treeWidgetHistory)})
        history->setVisible(device);

    QPushButton* sixth = m_ui->pushButtonServiceMode;
    sixth->setEnabled(false);
    if (features.hasFeature(UserFeatures::ServiceMode)) {
        connect(sixth, &QPushButton::toggled, this, &R58SubScreen::handleServiceTab,
            Qt::UniqueConnection);
        sixth->setEnabled(true);
    } else if (features.hasFeature(UserFeatures::DemoMode)) {
        connect(
            sixth, &QPushButton::toggled, this, &R58SubScreen::handleDemoTab, Qt::UniqueConnection);
        setupDemoMode();
        sixth->setText(tr("Demo"));
        sixth->setEnabled(true);
    }

    const bool softstart = features.hasFeature(UserFeatures::SoftstartSetting);
    m_uiConfiguration->labelSoftstart->setVisible(softstart);
    m_uiConfiguration->checkBoxSoftstart->setVisible(softstart);
    m_uiControl->labelControlSoftstart->setVisible(softstart);
    m_uiControl->checkBoxControlSoftstart->setVisible(softstart);
}

void R58SubScreen::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Escape:
        // A dialog would reject and hide itself, leaving an empty tab behind.
    case Qt::Key_Enter:
    case Qt::Key_Return:
        // A field passes Enter on once it has committed its value; a dialog would then press
        // its default button, which may be any button of the screen.
        event->accept();
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

void R58SubScreen::setFileDialog(FileDialog dialog)
{
    m_fileDialog = std::move(dialog);
}

QString R58SubScreen::askFileName(
    FileDialogMode mode, const QString& caption, const QString& directory, const QString& filter)
{
    if (m_fileDialog)
        return m_fileDialog(this, mode, caption, directory, filter);
    return mode == FileDialogMode::Save
        ? QFileDialog::getSaveFileName(this, caption, directory, filter)
        : QFileDialog::getOpenFileName(this, caption, directory, filter);
}

void R58SubScreen::handleInformationTab()
{
    m_ui->stackedWidgetMain->setCurrentWidget(m_ui->pageInformation);
    m_capture->show(Stream::None);
}

void R58SubScreen::handleConfigurationTab()
{
    m_ui->stackedWidgetMain->setCurrentWidget(m_ui->pageConfiguration);
    m_capture->show(Stream::None);
}

void R58SubScreen::handleDataTab()
{
    m_ui->stackedWidgetMain->setCurrentWidget(m_ui->pageData);
    m_uiData->stackedWidgetData->setCurrentWidget(m_uiData->pageVoltageData);
    {
        // The button follows the page it opens on, without firing a second start.
        const QSignalBlocker blocker(m_uiData->pushButtonVoltageData);
        m_uiData->pushButtonVoltageData->setChecked(true);
    }
    m_capture->show(Stream::Voltage);
}

void R58SubScreen::handleControlTab()
{
    m_ui->stackedWidgetMain->setCurrentWidget(m_ui->pageControl);
    m_capture->show(Stream::None);
}

void R58SubScreen::handleAboutTab()
{
    m_ui->stackedWidgetMain->setCurrentWidget(m_ui->pageAbout);
    m_capture->show(Stream::None);
}

void R58SubScreen::handleServiceTab()
{
    m_ui->stackedWidgetMain->setCurrentWidget(m_ui->pageServiceMode);
    m_capture->show(Stream::None);
}

void R58SubScreen::handleDemoTab()
{
    m_ui->stackedWidgetMain->setCurrentWidget(m_ui->pageDemoMode);
    m_capture->show(Stream::None);
}

void R58SubScreen::handleMeasurementVoltagePage()
{
    m_uiData->stackedWidgetData->setCurrentWidget(m_uiData->pageVoltageData);
    m_capture->show(Stream::Voltage);
}

void R58SubScreen::handleMeasurementCurrentPage()
{
    m_uiData->stackedWidgetData->setCurrentWidget(m_uiData->pageCurrentData);
    m_capture->show(Stream::Current);
}

void R58SubScreen::handleMeasurementPowerPage()
{
    m_uiData->stackedWidgetData->setCurrentWidget(m_uiData->pagePowerData);
    m_capture->show(Stream::Power);
}

namespace Application::R58 {

R58SubScreenFactory::R58SubScreenFactory(QSharedPointer<SerialPortManager> manager,
    QSharedPointer<UserAccount> account, QSharedPointer<Config> config)
    : m_manager(std::move(manager)), m_account(std::move(account)), m_config(std::move(config))
{
}

QWidget* R58SubScreenFactory::createSubScreen(const QString& portName)
{
    auto* screen = new R58SubScreen(m_account, m_config, m_manager, portName);
    screen->initialize();
    return screen;
}

QString R58SubScreenFactory::getPortName(const QWidget* screen) const
{
    const auto* subScreen = qobject_cast<const R58SubScreen*>(screen);
    return subScreen ? subScreen->getPortName() : QString();
}

bool R58SubScreenFactory::isClosable(const QWidget* screen) const
{
    const auto* subScreen = qobject_cast<const R58SubScreen*>(screen);
    return subScreen && subScreen->isClosable();
}

bool R58SubScreenFactory::isUpdating(const QWidget* screen) const
{
    const auto* subScreen = qobject_cast<const R58SubScreen*>(screen);
    return subScreen && subScreen->isUpdating();
}

bool R58SubScreenFactory::isRunningMotor(const QWidget* screen) const
{
    const auto* subScreen = qobject_cast<const R58SubScreen*>(screen);
    return subScreen && subScreen->isRunningMotor();
}

void R58SubScreenFactory::stopMotor(QWidget* screen) const
{
    if (auto* subScreen = qobject_cast<R58SubScreen*>(screen))
        subScreen->handleIdle();
}

void R58SubScreenFactory::watchUpdateEnd(
    QWidget* screen, QObject* context, std::function<void()> ended) const
{
    if (auto* subScreen = qobject_cast<R58SubScreen*>(screen))
        QObject::connect(subScreen, &R58SubScreen::updateEnded, context, std::move(ended));
}

QSharedPointer<SubScreenFactory> createDefaultSubScreenFactory(
    QSharedPointer<SerialPortManager> manager, QSharedPointer<UserAccount> account,
    QSharedPointer<Config> config)
{
    return QSharedPointer<R58SubScreenFactory>::create(
        std::move(manager), std::move(account), std::move(config));
}

} // namespace Application::R58
