#pragma once

#include <QMainWindow>
#include <QSet>
#include <QSharedPointer>
#include <QString>

namespace Ui {
class MainScreen;
}

class QLabel;
class QMdiArea;
class QMdiSubWindow;

namespace Application::R58 {
class Config;
class SerialPortManager;
class SubScreenFactory;
class UserAccount;
} // namespace Application::R58

// The main window: one tab per connected device (or one offline tab), opened and closed as the
// serial port manager reports ports coming and going.
class MainScreen : public QMainWindow
{
    Q_OBJECT

public:
    // Device tabs show the program's default device screen.
    MainScreen(QSharedPointer<Application::R58::SerialPortManager> manager,
        QSharedPointer<Application::R58::UserAccount> account,
        QSharedPointer<Application::R58::Config> config, QWidget* parent = nullptr);
    // Device tabs show what the factory makes; null means the default.
    MainScreen(QSharedPointer<Application::R58::SerialPortManager> manager,
        QSharedPointer<Application::R58::UserAccount> account,
        QSharedPointer<Application::R58::Config> config,
        QSharedPointer<Application::R58::SubScreenFactory> factory, QWidget* parent = nullptr);
    ~MainScreen() override;

    void openSubScreens();
    void openSubScreen(const QString& portName);
    void closeSubScreen(const QString& portName);
    [[nodiscard]] QMdiSubWindow* findSubWindow(const QString& portName) const;
    [[nodiscard]] QMdiArea* getMdiArea() const;

public slots:
    void handlePortOpened(const QString& portName);
    void handlePortClosed(const QString& portName);
    // "Update all…": one package, chosen once, for every connected device.
    void handleUpdateAll();

protected:
    // Quitting during an update can leave a device in its boot loader: asks first.
    void closeEvent(QCloseEvent* event) override;

private:
    Ui::MainScreen* m_ui = nullptr;
    // Ports gone while their tab was kept for an update: the tab goes when the update ends.
    QSet<QString> m_keptPorts;
    // Shown where the tabs were once the last device has gone: which one, and that its port is
    // still watched.
    QLabel* m_lostNotice = nullptr;
    QSharedPointer<Application::R58::SerialPortManager> m_manager;
    QSharedPointer<Application::R58::UserAccount> m_account;
    QSharedPointer<Application::R58::Config> m_config;
    QSharedPointer<Application::R58::SubScreenFactory> m_factory;
};
