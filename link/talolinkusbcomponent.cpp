#include "link/talolinkusbcomponent.h"

#include "link/serialport.h"

#include <QByteArray>

#include <limits>

namespace Component::R58 {

TaloLinkUSBComponent::TaloLinkUSBComponent(QSharedPointer<Application::R58::SerialPort> port)
    : TaloLinkComponent(Interfaces::ComponentID::TaloLinkUSB, Terminal::Host, Terminal::Platform),
      m_port(std::move(port))
{
}

TaloLinkUSBComponent::~TaloLinkUSBComponent() = default;

bool TaloLinkUSBComponent::open()
{
    return m_port && m_port->open();
}

void TaloLinkUSBComponent::close()
{
    if (m_port)
        m_port->close();
}

int TaloLinkUSBComponent::writeData(const unsigned char* data, unsigned long size)
{
    if (!m_port)
        return NoPort;
    if (size > static_cast<unsigned long>(std::numeric_limits<int>::max()))
        return WriteFailed;
    const QByteArray bytes(reinterpret_cast<const char*>(data), int(size));
    return m_port->write(bytes) ? WriteOk : WriteFailed;
}

int TaloLinkUSBComponent::writeData(const std::string& data)
{
    return writeData(reinterpret_cast<const unsigned char*>(data.data()), data.size());
}

} // namespace Component::R58
