#include "link/listserialportsource.h"

#include <QMutexLocker>

namespace Application::R58 {

QList<SerialPortSource::Port> ListSerialPortSource::availablePorts() const
{
    QMutexLocker locker(&m_mutex);
    return m_ports;
}

void ListSerialPortSource::setPorts(const QList<Port>& ports)
{
    QMutexLocker locker(&m_mutex);
    m_ports = ports;
}

void ListSerialPortSource::addPort(const Port& port)
{
    QMutexLocker locker(&m_mutex);
    for (Port& existing : m_ports) {
        if (existing.portName == port.portName) {
            existing = port;
            return;
        }
    }
    m_ports.append(port);
}

void ListSerialPortSource::removePort(const QString& portName)
{
    QMutexLocker locker(&m_mutex);
    for (int i = m_ports.size() - 1; i >= 0; --i) {
        if (m_ports.at(i).portName == portName)
            m_ports.removeAt(i);
    }
}

} // namespace Application::R58
