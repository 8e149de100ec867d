#pragma once

#include <QSharedPointer>
#include <QString>

#include <memory>

namespace Application::R58 {
class Application;
class Config;
class SerialPortManager;
class UserAccount;
} // namespace Application::R58

namespace Records {
class DeviceHistory;
}

namespace Cli {

// One device as the command line holds it: its link stack, opened on a port the manager has
// open, and whether the device answered the start-up's questions as a VELOR R58 does.
class DeviceSession
{
public:
    // The start-up asks for every setting, the operating mode and the identity; a device over
    // USB answers them all within milliseconds. A port silent for this long is no VELOR R58
    // (or one that does not work); generous, so that a busy device is not skipped.
    static constexpr int AnswerWait = 5000; // milliseconds

    DeviceSession(QSharedPointer<Application::R58::UserAccount> account,
        QSharedPointer<Application::R58::Config> config,
        QSharedPointer<Application::R58::SerialPortManager> manager, const QString& portName);
    ~DeviceSession();
    DeviceSession(const DeviceSession&) = delete;
    DeviceSession& operator=(const DeviceSession&) = delete;

    // Whether the device has reported everything the commands read: identity, operating mode
    // and the settings file's settings.
    [[nodiscard]] bool hasAnswered() const;

    [[nodiscard]] Application::R58::Application& device() { return *m_device; }
    [[nodiscard]] const QString& portName() const { return m_portName; }
    [[nodiscard]] QString serialNumber() const;
    // Made on first use, by commands that write: the history notes each write with the command
    // line as its origin. Reading commands leave the history as it is.
    [[nodiscard]] Records::DeviceHistory& history();

private:
    QString m_portName;
    std::unique_ptr<Application::R58::Application> m_device;
    std::unique_ptr<Records::DeviceHistory> m_history;
};

} // namespace Cli
