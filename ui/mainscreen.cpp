#include "ui/mainscreen.h"

#include "app/application.h"
#include "config/rolefeatures.h"
#include "config/useraccount.h"
#include "link/serialport.h"
#include "link/serialportmanager.h"
#include "ui/settingseditor.h"
#include "ui/stylesheet.h"
#include "ui/windowfit.h"
#include "ui/subscreenfactory.h"
#include "ui/uiconstants.h"
#include "ui/updatealldialog.h"
#include "update/batchupdate.h"
#include "ui_mainscreen.h"

#include <QBrush>
#include <QFileDialog>
#include <QMenuBar>
#include <QCloseEvent>
#include <QVBoxLayout>
#include <QLabel>
#include <QFileInfo>
#include <QEventLoop>
#include <QMessageBox>
#include <QPushButton>
#include <QIcon>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPixmap>
#include <QTabBar>
#include <QTimer>

using Application::R58::Config;
using Application::R58::SerialPortManager;
using Application::R58::SubScreenFactory;
using Application::R58::UserAccount;

MainScreen::MainScreen(QSharedPointer<SerialPortManager> manager,
    QSharedPointer<UserAccount> account, QSharedPointer<Config> config, QWidget* parent)
    : MainScreen(std::move(manager), std::move(account), std::move(config), nullptr, parent)
{
}

MainScreen::MainScreen(QSharedPointer<SerialPortManager> manager,
    QSharedPointer<UserAccount> account, QSharedPointer<Config> config,
    QSharedPointer<SubScreenFactory> factory, QWidget* parent)
    : QMainWindow(parent),
      m_ui(new Ui::MainScreen),
      m_manager(std::move(manager)),
      m_account(std::move(account)),
      m_config(std::move(config)),
      m_factory(std::move(factory))
{
    if (!m_factory)
        m_factory = Application::R58::createDefaultSubScreenFactory(m_manager, m_account, m_config);

    m_ui->setupUi(this);
    setStyleSheet(Application::R58::loadStyleSheet(QStringLiteral("mainscreen")));

    connect(m_manager.data(), &SerialPortManager::portOpened, this, &MainScreen::handlePortOpened);
    connect(m_manager.data(), &SerialPortManager::portClosed, this, &MainScreen::handlePortClosed);

    m_ui->labelKeyVisualS->setPixmap(QPixmap(QStringLiteral(":/images/key_visual_s.png")));
    m_ui->labelLogo->setPixmap(QPixmap(QStringLiteral(":/images/velor_logo.png")));
    m_ui->mdiAreaMain->setBackground(QBrush(Qt::transparent, Qt::SolidPattern));
    // Designed for 1280 × 910; a device tab scrolls its page on a smaller screen. There the
    // header's picture and the logo below give their room to the device's page first.
    const QSize designed = size();
    Application::R58::hideWhenShort(
        *this, {m_ui->labelKeyVisualS, m_ui->labelLogo}, designed.height() - 60);
    Application::R58::fitToScreen(*this, designed);

    // Only for the roles that may update, as the device screen's own update.
    if (Application::R58::RoleFeatures::allows(
            m_account->getUser(), Application::R58::RoleFeatures::PackageUpdate)) {
        QAction* updateAll = menuBar()->addAction(tr("Update all…"));
        updateAll->setObjectName(QStringLiteral("actionUpdateAll"));
        connect(updateAll, &QAction::triggered, this, &MainScreen::handleUpdateAll);
    }
    // Settings prepared at a desk: for the roles that may change a device's settings.
    if (Application::R58::RoleFeatures::allows(
            m_account->getUser(), Application::R58::RoleFeatures::ConfigurationPage))
        SettingsEditor::addActions(menuBar()->addMenu(tr("Settings files")), this, m_config);

    m_lostNotice = new QLabel(m_ui->mdiAreaMain->viewport());
    m_lostNotice->setObjectName(QStringLiteral("labelDeviceLost"));
    m_lostNotice->setWordWrap(true);
    m_lostNotice->setAlignment(Qt::AlignCenter);
    m_lostNotice->setStyleSheet(QStringLiteral("color: white; font-size: 14pt;"));
    auto* noticeLayout = new QVBoxLayout(m_ui->mdiAreaMain->viewport());
    noticeLayout->addWidget(m_lostNotice);
    m_lostNotice->hide();

    openSubScreens();
}

void MainScreen::handleUpdateAll()
{
    QList<Application::R58::Application*> devices;
    const auto subWindows = m_ui->mdiAreaMain->subWindowList(QMdiArea::CreationOrder);
    for (QMdiSubWindow* subWindow : subWindows) {
        auto* device = dynamic_cast<Application::R58::Application*>(subWindow->widget());
        if (device && device->getSerialPort() && device->getSerialPort()->isOpen())
            devices << device;
    }
    if (devices.isEmpty()) {
        QMessageBox::information(this, tr("Update all…"), tr("No device is connected."));
        return;
    }
    const QString package = QFileDialog::getOpenFileName(this, tr("Open update package"),
        QString(), tr("Update packages (*.tar)"));
    if (package.isEmpty())
        return;
    Service::R58::BatchUpdate batch(devices, m_account->getUser());
    batch.check(package);
    UpdateAllDialog dialog(batch, this);
    dialog.exec();
}

namespace {

// A stop frame is a few bytes, out within milliseconds on any line; generous all the same.
constexpr int StopFrameOut = 300; // milliseconds

} // namespace

void MainScreen::closeEvent(QCloseEvent* event)
{
    // The tab shows the serial number once the device has sent it.
    const auto name = [this](const QWidget* screen) {
        const QString serial = screen->windowTitle().trimmed();
        return serial.isEmpty() ? m_factory->getPortName(screen) : serial;
    };
    QStringList updating;
    QList<QWidget*> running;
    QStringList runningNames;
    const auto subWindows = m_ui->mdiAreaMain->subWindowList(QMdiArea::CreationOrder);
    for (QMdiSubWindow* subWindow : subWindows) {
        QWidget* screen = subWindow->widget();
        if (!screen)
            continue;
        if (m_factory->isUpdating(screen))
            updating << name(screen);
        if (m_factory->isRunningMotor(screen)) {
            running << screen;
            runningNames << name(screen);
        }
    }
    if (!updating.isEmpty()) {
        QMessageBox question(QMessageBox::Question, tr("Firmware update running"),
            tr("A firmware update is running on the device %1. Quitting now can leave it half "
               "updated or in its boot loader. Quit anyway?")
                .arg(updating.join(QStringLiteral(", "))),
            QMessageBox::Yes | QMessageBox::No, this);
        question.setDefaultButton(QMessageBox::No);
        Application::R58::styleDialog(question);
        if (question.exec() != QMessageBox::Yes) {
            event->ignore();
            return;
        }
    }
    if (!running.isEmpty()) {
        // A motor started from here keeps running once the tool is gone; the user decides.
        QMessageBox question(QMessageBox::Warning, tr("Motor running"),
            tr("The motor of the device %1 was started from this program and is running. Stop "
               "it before quitting?")
                .arg(runningNames.join(QStringLiteral(", "))),
            QMessageBox::Cancel, this);
        QPushButton* stop = question.addButton(tr("Stop the motor and quit"), QMessageBox::AcceptRole);
        QPushButton* leave
            = question.addButton(tr("Leave it running and quit"), QMessageBox::DestructiveRole);
        question.setDefaultButton(QMessageBox::Cancel);
        Application::R58::styleDialog(question);
        question.exec();
        if (question.clickedButton() == stop) {
            for (QWidget* screen : qAsConst(running))
                m_factory->stopMotor(screen);
            // The ports write when the event loop runs: the stop must be out before they close.
            QEventLoop settle;
            QTimer::singleShot(StopFrameOut, &settle, &QEventLoop::quit);
            settle.exec();
        } else if (question.clickedButton() != leave) {
            event->ignore();
            return;
        }
    }
    // Last, once nothing else holds the window: a settings file being prepared is asked about
    // before its window goes with this one.
    const auto editors = findChildren<SettingsEditor*>();
    for (SettingsEditor* editor : editors) {
        if (!editor->close()) {
            event->ignore();
            return;
        }
    }
    event->accept();
}

MainScreen::~MainScreen()
{
    delete m_ui;
}

QMdiArea* MainScreen::getMdiArea() const
{
    return m_ui->mdiAreaMain;
}

void MainScreen::openSubScreens()
{
    // Only open ports are devices: the manager also lists ports that failed to open (no
    // permission) or have closed since, and a tab for those would show a device that is not
    // there.
    bool opened = false;
    const auto ports = m_manager->getPorts();
    for (const auto& port : ports) {
        if (port && port->isOpen()) {
            openSubScreen(port->getPortName());
            opened = true;
        }
    }
    if (!opened)
        openSubScreen(tr("Offline"));
}

void MainScreen::openSubScreen(const QString& portName)
{
    if (findSubWindow(portName))
        return;

    m_lostNotice->hide();
    QWidget* screen = m_factory->createSubScreen(portName);
    QMdiSubWindow* subWindow = m_ui->mdiAreaMain->addSubWindow(screen, Qt::Window);
    subWindow->setAttribute(Qt::WA_DeleteOnClose);
    subWindow->showMaximized();
    // A tab kept through a port loss by its update goes once the update has ended, unless the
    // device is back by then. Queued: the update's report may come from deep inside its steps.
    m_factory->watchUpdateEnd(screen, this, [this, portName] {
        QMetaObject::invokeMethod(
            this,
            [this, portName] {
                if (m_keptPorts.contains(portName)
                    && !m_manager->getKnownPorts().contains(portName))
                    closeSubScreen(portName);
            },
            Qt::QueuedConnection);
    });

    auto* tabBar = m_ui->mdiAreaMain->findChild<QTabBar*>();
    if (!tabBar)
        return;
    // Tabs keep their fixed width at the left; long port names lose their middle, not the
    // number at their end that tells two devices apart.
    tabBar->setExpanding(false);
    tabBar->setElideMode(Qt::ElideMiddle);
    // An empty icon reserves the same icon room and height on every tab.
    QPixmap empty(
        Application::R58::UiConstants::TabIconSize, Application::R58::UiConstants::TabIconSize);
    empty.fill(QColor(QStringLiteral("transparent")));
    tabBar->setTabIcon(tabBar->count() - 1, QIcon(empty));
}

void MainScreen::closeSubScreen(const QString& portName)
{
    QMdiSubWindow* subWindow = findSubWindow(portName);
    if (!subWindow)
        return;
    if (!m_factory->isClosable(subWindow->widget())) {
        m_keptPorts.insert(portName);
        return;
    }
    m_keptPorts.remove(portName);
    // The tab shows the serial number once the device has sent it.
    const QString serial = subWindow->widget() ? subWindow->widget()->windowTitle().trimmed() : QString();
    const QString port = QFileInfo(portName).fileName();
    subWindow->close();
    if (m_ui->mdiAreaMain->subWindowList().isEmpty()
        || m_ui->mdiAreaMain->subWindowList() == QList<QMdiSubWindow*> {subWindow}) {
        m_lostNotice->setText(
            (serial.isEmpty() ? tr("The device on %1 was disconnected.").arg(port)
                              : tr("The device %1 on %2 was disconnected.").arg(serial, port))
            + QLatin1Char('\n')
            + tr("Its port is still watched: plug the device in again and its tab returns."));
        m_lostNotice->show();
    }
}

QMdiSubWindow* MainScreen::findSubWindow(const QString& portName) const
{
    const auto subWindows = m_ui->mdiAreaMain->subWindowList(QMdiArea::CreationOrder);
    for (QMdiSubWindow* subWindow : subWindows) {
        const QWidget* screen = subWindow->widget();
        if (screen && m_factory->getPortName(screen) == portName)
            return subWindow;
    }
    return nullptr;
}

void MainScreen::handlePortOpened(const QString& portName)
{
    m_keptPorts.remove(portName);
    openSubScreen(portName);
}

void MainScreen::handlePortClosed(const QString& portName)
{
    closeSubScreen(portName);
}
