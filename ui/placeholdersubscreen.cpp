#include "ui/placeholdersubscreen.h"

#include "link/serialport.h"
#include "link/serialportmanager.h"
#include "ui/stylesheet.h"

#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QVBoxLayout>

PlaceholderSubScreen::PlaceholderSubScreen(const QString& portName, bool connected, QWidget* parent)
    : QDialog(parent), m_portName(portName)
{
    setObjectName(QStringLiteral("PlaceholderSubScreen"));
    setStyleSheet(Application::R58::loadStyleSheet(QStringLiteral("placeholdersubscreen")));
    // A tab shows little room: the device's own name, not the folder it is listed in.
    setWindowTitle(connected ? QFileInfo(portName).fileName() : portName);

    auto* picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("labelStatusPicture"));
    picture->setPixmap(QPixmap(QStringLiteral(":/images/velor_r58_strand_standby.png")));
    picture->setEnabled(connected);

    auto* name = new QLabel(tr("VELOR®R58"), this);
    name->setObjectName(QStringLiteral("labelDeviceName"));
    auto* state = new QLabel(connected ? tr("Device connected") : tr("Offline mode"), this);
    state->setObjectName(QStringLiteral("labelDeviceState"));
    auto* port = new QLabel(connected
            ? tr("Serial port: %1").arg(QDir::toNativeSeparators(portName))
            : tr("No device is connected. Plug in a VELOR®R58 over USB: it opens in a tab of "
                 "its own."),
        this);
    port->setObjectName(QStringLiteral("labelPortName"));
    port->setWordWrap(true);
    port->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* text = new QVBoxLayout;
    text->setSpacing(12);
    text->addStretch(1);
    text->addWidget(name);
    text->addWidget(state);
    text->addWidget(port);
    text->addStretch(2);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(60, 30, 60, 30);
    layout->setSpacing(60);
    layout->addWidget(picture, 0, Qt::AlignVCenter);
    layout->addLayout(text, 1);
}

namespace Application::R58 {

PlaceholderSubScreenFactory::PlaceholderSubScreenFactory(QSharedPointer<SerialPortManager> manager)
    : m_manager(std::move(manager))
{
}

QWidget* PlaceholderSubScreenFactory::createSubScreen(const QString& portName)
{
    bool connected = false;
    if (m_manager) {
        const auto ports = m_manager->getPorts();
        for (const auto& port : ports)
            connected = connected || (port && port->getPortName() == portName && port->isOpen());
    }
    return new PlaceholderSubScreen(portName, connected);
}

QString PlaceholderSubScreenFactory::getPortName(const QWidget* screen) const
{
    const auto* placeholder = qobject_cast<const PlaceholderSubScreen*>(screen);
    return placeholder ? placeholder->getPortName() : QString();
}

bool PlaceholderSubScreenFactory::isClosable(const QWidget* screen) const
{
    const auto* placeholder = qobject_cast<const PlaceholderSubScreen*>(screen);
    return placeholder && placeholder->isClosable();
}

} // namespace Application::R58
