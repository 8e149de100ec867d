#pragma once

#include "link/serialportsource.h"

namespace Application::R58 {

// The serial ports the operating system lists, through QSerialPortInfo.
class SystemSerialPortSource : public SerialPortSource
{
public:
    [[nodiscard]] QList<Port> availablePorts() const override;
};

} // namespace Application::R58
