#include "config/config.h"
#include "config/useraccount.h"
#include "link/serialportmanager.h"
#include "ui/startup.h"
#include "ui/windowflow.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QSharedPointer>

// Starts the program against the system's serial ports. Everything made here lives for the
// whole run; the locals go in reverse order: configuration, account, port manager, the
// translators, the application.
int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    Application::R58::StartUp startUp;

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QCoreApplication::translate("main", "Service tool for VELOR®R58 devices."));
    parser.addHelpOption();
    const QCommandLineOption portOption(QStringLiteral("port"),
        QCoreApplication::translate("main",
            "Also watch this serial port, whatever its USB identity (a USB-serial adapter, or "
            "a pseudo-terminal forwarded by socat or ser2net). May be given more than once."),
        QStringLiteral("PATH"));
    parser.addOption(portOption);
    parser.process(app);

    // Its poll starts at once, so a device plugged in during login is known at the connect
    // screen.
    QSharedPointer<Application::R58::SerialPortManager> manager(
        new Application::R58::SerialPortManager(nullptr));
    const QStringList ports = parser.values(portOption);
    for (const QString& port : ports)
        manager->watchPort(port);
    auto account = QSharedPointer<Application::R58::UserAccount>::create();
    auto config = QSharedPointer<Application::R58::Config>::create();
    config->load();

    return Application::R58::runWindowFlow(manager, account, config);
}
