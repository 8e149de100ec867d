#include "link/systemserialportsource.h"

#include <QSerialPortInfo>

namespace Application::R58 {

QList<SerialPortSource::Port> SystemSerialPortSource::availablePorts() const
{
    QList<Port> ports;
    const auto infos = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo& info : infos) {
        // Ports without USB identifiers keep 0, which no device matches.
        ports.append(Port {info.portName(),
            info.hasVendorIdentifier() ? info.vendorIdentifier() : quint16(0),
            info.hasProductIdentifier() ? info.productIdentifier() : quint16(0)});
    }
    return ports;
}

} // namespace Application::R58
