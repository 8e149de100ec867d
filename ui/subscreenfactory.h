#pragma once

#include <QSharedPointer>
#include <QString>

#include <functional>

class QObject;
class QWidget;

namespace Application::R58 {

class Config;
class SerialPortManager;
class UserAccount;

// How the main window makes the screen shown in a device's tab and what it asks of it: the one
// place where the device screen plugs into the window flow.
class SubScreenFactory
{
public:
    virtual ~SubScreenFactory() = default;

    // A new screen for the port (or for the offline name), initialised and without parent;
    // the main window owns it from then on.
    [[nodiscard]] virtual QWidget* createSubScreen(const QString& portName) = 0;
    // The port name a screen made here was created for; empty for any other widget.
    [[nodiscard]] virtual QString getPortName(const QWidget* screen) const = 0;
    // False while the screen must outlive its port (a package update runs on it), and for any
    // widget not made here.
    [[nodiscard]] virtual bool isClosable(const QWidget* screen) const = 0;
    // True while a firmware update runs on the screen's device; quitting then asks first.
    [[nodiscard]] virtual bool isUpdating(const QWidget* screen) const
    {
        return !isClosable(screen);
    }
    // True while a motor this tool started on the screen's device still runs.
    [[nodiscard]] virtual bool isRunningMotor(const QWidget* /*screen*/) const { return false; }
    // Stops the motor of the screen's device.
    virtual void stopMotor(QWidget* /*screen*/) const { }
    // Calls `ended` (in `context`) each time an update on the screen has ended.
    virtual void watchUpdateEnd(
        QWidget* /*screen*/, QObject* /*context*/, std::function<void()> /*ended*/) const
    {
    }
};

// The device screens the program shows now.
[[nodiscard]] QSharedPointer<SubScreenFactory> createDefaultSubScreenFactory(
    QSharedPointer<SerialPortManager> manager, QSharedPointer<UserAccount> account,
    QSharedPointer<Config> config);

} // namespace Application::R58
