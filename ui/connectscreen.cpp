#include "ui/connectscreen.h"

#include "link/serialport.h"
#include "link/serialportmanager.h"
#include "ui/stylesheet.h"
#include "ui/uiconstants.h"
#include "ui_connectscreen.h"

#include <QPixmap>
#include <QPushButton>
#include <QTimer>

using Application::R58::SerialPortManager;

namespace {

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

} // namespace

ConnectScreen::ConnectScreen(QSharedPointer<SerialPortManager> manager, QWidget* parent)
    : QDialog(parent), m_ui(new Ui::ConnectScreen), m_manager(std::move(manager))
{
    m_ui->setupUi(this);
    setStyleSheet(Application::R58::loadStyleSheet(QStringLiteral("connectscreen")));

    connect(m_manager.data(), &SerialPortManager::portOpened, this, &QDialog::accept);
    connect(m_ui->pushButtonOfflineModus, &QPushButton::clicked, this,
        &ConnectScreen::handleOfflineMode);

    m_ui->labelKeyVisualXL->setPixmap(QPixmap(QStringLiteral(":/images/key_visual_xl.png")));
    m_ui->labelLogo->setPixmap(QPixmap(QStringLiteral(":/images/velor_logo.png")));
    m_ui->labelConnect->setPixmap(QPixmap(QStringLiteral(":/images/usb_connect.png")));

    setFixedSize(size());

    // The port poll runs once a second from start-up, so by now it has seen what is plugged in.
    QTimer::singleShot(
        Application::R58::UiConstants::ConnectCheckDelay, this, &ConnectScreen::onScreenTimeout);
}

ConnectScreen::~ConnectScreen()
{
    delete m_ui;
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
