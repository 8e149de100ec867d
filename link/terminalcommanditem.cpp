#include "link/terminalcommanditem.h"

#include <QIcon>
#include <QListWidget>

namespace Application::R58 {

namespace {

QIcon iconFor(TerminalCommandItem::Terminal destination)
{
    return QIcon(destination == TerminalCommandItem::Terminal::Display
            ? QStringLiteral(":/images/monitor.png")
            : QStringLiteral(":/images/tower.png"));
}

} // namespace

TerminalCommandItem::TerminalCommandItem(CommandID command, const QString& name, bool hidden,
    Availability availability, Terminal source, Terminal destination, const ArgList& args,
    QListWidget* parent)
    : QListWidgetItem(iconFor(destination), name, parent, ItemType),
      m_command(command),
      m_availability(availability),
      m_source(source),
      m_destination(destination),
      m_args(args)
{
    if (parent && hidden)
        parent->setRowHidden(parent->row(this), true);
}

TerminalCommandItem::TerminalCommandItem(const TerminalCommandItem& other)
    // QListWidgetItem's own copy drops the item type, so build with it and copy the rest.
    : QListWidgetItem(nullptr, ItemType), m_command(other.m_command),
      m_availability(other.m_availability), m_source(other.m_source),
      m_destination(other.m_destination), m_args(other.m_args)
{
    QListWidgetItem::operator=(other);
}

Component::Interfaces::TaloLinkPacket TerminalCommandItem::toPacket() const
{
    Component::Interfaces::TaloLinkPacket packet;
    packet.command = m_command;
    packet.source = m_source;
    packet.destination = m_destination;
    for (const auto& arg : m_args) {
        if (!packet.args.append(
                {static_cast<const std::uint8_t*>(arg->getData()), std::uint16_t(arg->getSize())}))
            break;
    }
    packet.argCount = std::uint8_t(packet.args.size());
    return packet;
}

bool TerminalCommandItem::isOfferedIn(const QByteArray& state) const
{
    // Firmware often sends a name as a C string with its terminator, or in a fixed-width
    // field padded with blanks; neither belongs to the name.
    int length = state.size();
    while (length > 0 && (state.at(length - 1) == '\0' || state.at(length - 1) == ' '))
        --length;
    const QByteArray name = state.left(length);
    if (name == "Application")
        return m_availability == Application || m_availability == Any;
    if (name == "Bootloader")
        return m_availability == Bootloader || m_availability == Any;
    return false;
}

} // namespace Application::R58
