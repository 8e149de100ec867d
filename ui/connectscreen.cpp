#include "ui/connectscreen.h"

#include "link/serialport.h"
#include "link/serialportmanager.h"
#include "ui/otherportdialog.h"
#include "ui/stylesheet.h"
#include "ui/windowfit.h"
#include "ui/uiconstants.h"
#include "ui_connectscreen.h"

#include <QDir>
#include <QPixmap>
#include <QPushButton>
#include <QStringList>
#include <QTimer>

#include <algorithm>

using Application::R58::SerialPortManager;

namespace {

constexpr int AccessHintGap = 30; // pixels between the hint and the button below it

// The manager keeps every port it ever made, also those that failed to open or have closed
// since; only an open one is a device to go on with.
bool isAnyPortOpen(const SerialPortManager& manager)
{
    const auto ports = manager.getPorts();
    for (const auto& port : ports) {
        if (port && port->isOpen())
            return true;
    }
    return false;
}

// Where the port is on disk: the serial port module lists bare names and opens them under /dev.
QString systemLocation(const QString& portName)
{
#ifdef Q_OS_UNIX
    if (!portName.startsWith(QLatin1Char('/')))
        return QStringLiteral("/dev/") + portName;
#endif
    return QDir::toNativeSeparators(portName);
}

QStringList sorted(const QSet<QString>& names)
{
    QStringList list(names.begin(), names.end());
    std::sort(list.begin(), list.end());
    return list;
}

} // namespace

ConnectScreen::ConnectScreen(QSharedPointer<SerialPortManager> manager, QWidget* parent)
    : QDialog(parent), m_ui(new Ui::ConnectScreen), m_manager(std::move(manager))
{
    m_ui->setupUi(this);
    setStyleSheet(Application::R58::loadStyleSheet(QStringLiteral("connectscreen")));

    connect(m_manager.data(), &SerialPortManager::portOpened, this, &QDialog::accept);
    connect(m_ui->pushButtonOfflineModus, &QPushButton::clicked, this,
        &ConnectScreen::handleOfflineMode);
    connect(
        m_ui->pushButtonOtherPort, &QPushButton::clicked, this, &ConnectScreen::handleOtherPort);

    m_ui->labelKeyVisualXL->setPixmap(QPixmap(QStringLiteral(":/images/key_visual_xl.png")));
    m_ui->labelLogo->setPixmap(QPixmap(QStringLiteral(":/images/velor_logo.png")));
    m_ui->labelConnect->setPixmap(QPixmap(QStringLiteral(":/images/usb_connect.png")));

    // Designed for 1280 × 910; a smaller screen scrolls the content.
    const QSize designed = size();
    Application::R58::makeContentScrollable(*this);
    Application::R58::fitToScreen(*this, designed);

    // Without this a device that the user may not open would leave the screen waiting with no
    // word of the reason. The check only reads what the manager's own poll found.
    m_ui->labelAccessHint->hide();
    auto* hintTimer = new QTimer(this);
    connect(hintTimer, &QTimer::timeout, this, &ConnectScreen::updateAccessHint);
    hintTimer->start(SerialPortManager::PollInterval);
    updateAccessHint();

    // The port poll runs once a second from start-up, so by now it has seen what is plugged in.
    QTimer::singleShot(
        Application::R58::UiConstants::ConnectCheckDelay, this, &ConnectScreen::onScreenTimeout);
}

ConnectScreen::~ConnectScreen()
{
    delete m_ui;
}

void ConnectScreen::updateAccessHint()
{
    QStringList lines;
    const QSet<QString> available = m_manager->getAvailablePorts();
    bool accessProblem = false;
    for (const QString& name : sorted(available)) {
        if (m_manager->getOpenError(name).isEmpty())
            continue;
        // Our own words: the system's are English and name no remedy.
        QString reason;
        switch (m_manager->getOpenErrorKind(name)) {
        case QSerialPort::PermissionError:
            reason = tr("this user may not open it, or another program holds it");
            accessProblem = true;
            break;
        case QSerialPort::DeviceNotFoundError:
            reason = tr("the port does not exist (any more)");
            break;
        default:
            reason = tr("it is not a serial port the program can use");
            break;
        }
        lines << tr("The VELOR®R58 on %1 cannot be opened: %2.")
                     .arg(systemLocation(name), reason);
    }
    const QStringList watched = m_manager->getWatchedPorts();
    for (const QString& name : watched) {
        if (!available.contains(name))
            lines << tr("Waiting for %1 to appear.").arg(systemLocation(name));
    }
    // The hint takes the place of the picture that asks to plug a device in: one is plugged in
    // or named.
    m_ui->labelConnect->setVisible(lines.isEmpty());
    m_ui->verticalSpacerAccessHint->changeSize(
        0, lines.isEmpty() ? 0 : AccessHintGap, QSizePolicy::Minimum, QSizePolicy::Fixed);
    m_ui->verticalLayout->invalidate();
    if (lines.isEmpty()) {
        m_ui->labelAccessHint->hide();
        m_ui->labelAccessHint->clear();
        return;
    }
    if (accessProblem)
        lines << QString()
              << tr("To give the logged-in user access, install the program's package (it brings "
                    "a udev rule), then unplug the device and plug it in again. Without the "
                    "package: add the user to the group „dialout“ (sudo usermod -aG dialout "
                    "$USER), then log out and in again. If another program holds the port, close "
                    "it there first.");
    m_ui->labelAccessHint->setText(lines.join(QLatin1Char('\n')));
    // The dialog's size is fixed, so the layout would not grow the label for its wrapped lines.
    m_ui->labelAccessHint->setMinimumHeight(
        m_ui->labelAccessHint->heightForWidth(m_ui->labelAccessHint->minimumWidth()));
    m_ui->labelAccessHint->show();
}

void ConnectScreen::onScreenTimeout()
{
    if (isAnyPortOpen(*m_manager))
        accept();
}

void ConnectScreen::handleOfflineMode()
{
    accept();
}

void ConnectScreen::handleOtherPort()
{
    OtherPortDialog dialog(this);
    if (dialog.exec() != QDialog::Accepted || dialog.getPortName().isEmpty())
        return;
    m_manager->watchPort(dialog.getPortName());
    // At once rather than at the next poll: an opened port accepts this screen through
    // portOpened, one that cannot be opened shows its reason.
    m_manager->poll();
    updateAccessHint();
}
