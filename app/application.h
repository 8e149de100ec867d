#pragma once

#include "framework/abstractapplication.h"

#include <QSharedPointer>
#include <QString>

#include <cstdint>

namespace Component::R58 {
class TaloLinkUSBComponent;
}
namespace Model::Database {
class ModelDatabase;
}
namespace Model::Interfaces {
enum class ModelActionID : std::uint16_t;
}
namespace Model::Observer {
class ModelActionObserver;
class ModelValueObserver;
} // namespace Model::Observer
namespace Service::R58 {
class PackageUpdateService;
class TaloLinkTerminalService;
class UpdateControlService;
} // namespace Service::R58

namespace Application::R58 {

class Config;
class SerialPort;
class SerialPortManager;
class Settings;
class UserAccount;

// The whole link stack of one connected device: its port, model, services and
// the component they share. Each device screen is one of these.
class Application : public Component::Interfaces::AbstractApplication
{
public:
    static constexpr unsigned int Version = 0x00040304u;

    // A port name the manager does not know (the offline screen) gives a stack
    // without a port: it builds and runs, and its commands go nowhere.
    Application(QSharedPointer<UserAccount> account, QSharedPointer<Config> config,
        QSharedPointer<SerialPortManager> manager, const QString& portName);
    // Shuts the services down in order; the receive thread is joined when the
    // terminal service goes.
    ~Application() override;

    [[nodiscard]] const QSharedPointer<SerialPortManager>& getSerialPortManager() const
    {
        return m_serialPortManager;
    }
    [[nodiscard]] const QSharedPointer<SerialPort>& getSerialPort() const { return m_serialPort; }
    [[nodiscard]] const QSharedPointer<UserAccount>& getUserAccount() const
    {
        return m_userAccount;
    }
    [[nodiscard]] const QSharedPointer<Model::Observer::ModelValueObserver>&
    getValueObserver() const
    {
        return m_valueObserver;
    }
    [[nodiscard]] const QSharedPointer<Service::R58::TaloLinkTerminalService>&
    getTerminalService() const
    {
        return m_terminalService;
    }
    [[nodiscard]] const QSharedPointer<Service::R58::UpdateControlService>&
    getUpdateControlService() const
    {
        return m_updateControlService;
    }
    [[nodiscard]] const QSharedPointer<Service::R58::PackageUpdateService>&
    getPackageUpdateService() const
    {
        return m_packageUpdateService;
    }
    [[nodiscard]] const QSharedPointer<Component::R58::TaloLinkUSBComponent>&
    getUSBComponent() const
    {
        return m_usbComponent;
    }
    [[nodiscard]] const QSharedPointer<Model::Database::ModelDatabase>& getModelDatabase() const
    {
        return m_modelDatabase;
    }
    [[nodiscard]] const QSharedPointer<Config>& getConfig() const { return m_config; }
    // True when frames handed to the link now reach a device's open port.
    [[nodiscard]] bool isConnected() const;
    // Tells the device to run a model action; without a port (the offline screen) the write
    // fails quietly.
    void fireAction(Model::Interfaces::ModelActionID id);
    // True while the device reports its motor running (forward or backward). A firmware update
    // or a factory reset must wait: the device's protection stops while it takes either.
    [[nodiscard]] bool isMotorRunning() const;
    [[nodiscard]] const QSharedPointer<Settings>& getSettings() const { return m_settings; }

protected:
    // Starts the stack, asks both processors for their names and the device for
    // its values; always 0.
    int performInitialize() override;

private:
    // Declaration order is release order reversed: the database goes before the
    // observers it registered with, the services before the observers they hold.
    QSharedPointer<SerialPortManager> m_serialPortManager;
    QSharedPointer<SerialPort> m_serialPort;
    QSharedPointer<UserAccount> m_userAccount;
    QSharedPointer<Model::Observer::ModelValueObserver> m_valueObserver;
    QSharedPointer<Model::Observer::ModelActionObserver> m_actionObserver;
    QSharedPointer<Service::R58::TaloLinkTerminalService> m_terminalService;
    QSharedPointer<Service::R58::UpdateControlService> m_updateControlService;
    QSharedPointer<Service::R58::PackageUpdateService> m_packageUpdateService;
    QSharedPointer<Component::R58::TaloLinkUSBComponent> m_usbComponent;
    QSharedPointer<Model::Database::ModelDatabase> m_modelDatabase;
    QSharedPointer<Config> m_config;
    QSharedPointer<Settings> m_settings;
};

} // namespace Application::R58
