#pragma once

#include "link/talolinkcomponent.h"

#include <QSharedPointer>

namespace Application::R58 {
class SerialPort;
}

namespace Component::R58 {

// The TaloLink component that writes its frames to the device's serial port.
class TaloLinkUSBComponent : public TaloLinkComponent
{
public:
    static constexpr int WriteOk = 0;
    static constexpr int NoPort = -2;
    static constexpr int WriteFailed = -3;

    explicit TaloLinkUSBComponent(QSharedPointer<Application::R58::SerialPort> port);
    ~TaloLinkUSBComponent() override;

    bool open() override;
    void close() override;
    int writeData(const unsigned char* data, unsigned long size) override;
    int writeData(const std::string& data) override;

    [[nodiscard]] QSharedPointer<Application::R58::SerialPort> getSerialPort() const
    {
        return m_port;
    }

protected:
    // The serial port manager opens and closes the port, not the framework.
    void performStartup() override { }
    void performShutdown() override { }

private:
    QSharedPointer<Application::R58::SerialPort> m_port;
};

} // namespace Component::R58
