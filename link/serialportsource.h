#pragma once

#include <QList>
#include <QString>

namespace Application::R58 {

// Where the manager learns which serial ports the system offers. The default
// asks the serial port module; tests and the device simulator supply their own.
class SerialPortSource
{
public:
    // What recognition needs to know of one system port.
    struct Port
    {
        // The name to open: a device name such as "ttyACM0" or a full path.
        QString portName;
        quint16 vendorIdentifier = 0;
        quint16 productIdentifier = 0;
    };

    virtual ~SerialPortSource() = default;

    [[nodiscard]] virtual QList<Port> availablePorts() const = 0;
};

} // namespace Application::R58
