#include "config/config.h"
#include "config/useraccount.h"
#include "link/serialportmanager.h"
#include "ui/startup.h"
#include "ui/windowflow.h"

#include <QApplication>
#include <QSharedPointer>

// Starts the program against the system's serial ports. Everything made here lives for the
// whole run; the locals go in reverse order: configuration, account, port manager, the
// translators, the application.
int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    Application::R58::StartUp startUp;

    // Its poll starts at once, so a device plugged in during login is known at the connect
    // screen.
    QSharedPointer<Application::R58::SerialPortManager> manager(
        new Application::R58::SerialPortManager(nullptr));
    auto account = QSharedPointer<Application::R58::UserAccount>::create();
    auto config = QSharedPointer<Application::R58::Config>::create();
    config->load();

    return Application::R58::runWindowFlow(manager, account, config);
}
