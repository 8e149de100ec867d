#pragma once

#include "link/serialportsource.h"

#include <QMutex>

namespace Application::R58 {

// A port list kept by its owner: the device simulator and the tests announce
// and withdraw their pseudo-terminals here. Safe to change from any thread.
class ListSerialPortSource : public SerialPortSource
{
public:
    [[nodiscard]] QList<Port> availablePorts() const override;

    void setPorts(const QList<Port>& ports);
    // Replaces an entry of the same name.
    void addPort(const Port& port);
    void removePort(const QString& portName);

private:
    mutable QMutex m_mutex;
    QList<Port> m_ports;
};

} // namespace Application::R58
