#include "config/config.h"
#include "config/useraccount.h"
#include "link/listserialportsource.h"
#include "link/serialportmanager.h"
#include "sim/simulateddevice.h"
#include "ui/startup.h"
#include "ui/windowflow.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QSharedPointer>
#include <QTemporaryDir>
#include <QTextStream>

#include <memory>
#include <vector>

namespace {

constexpr int MaxDevices = 8;

} // namespace

// The program's window flow with simulated VELOR R58 devices on pseudo-terminals in place of
// hardware: one by default, up to eight with --devices N. The devices come and go only with
// this process; the configuration is the real program's.
int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    Application::R58::StartUp startUp;

    QCommandLineParser parser;
    parser.setApplicationDescription(QCoreApplication::translate(
        "main", "VELOR®R58 VizorevAvuv with simulated devices in place of hardware."));
    parser.addHelpOption();
    const QCommandLineOption devicesOption(QStringLiteral("devices"),
        QCoreApplication::translate("main", "Number of simulated devices, 0 to %1 (default 1).")
            .arg(MaxDevices),
        QStringLiteral("N"), QStringLiteral("1"));
    parser.addOption(devicesOption);
    parser.process(app);

    bool ok = false;
    const int deviceCount = parser.value(devicesOption).toInt(&ok);
    if (!ok || deviceCount < 0 || deviceCount > MaxDevices) {
        QTextStream(stderr) << QCoreApplication::translate(
            "main", "--devices takes a whole number from 0 to %1\n")
                                   .arg(MaxDevices);
        return 2;
    }

    QTemporaryDir linkDirectory;
    if (!linkDirectory.isValid()) {
        QTextStream(stderr) << QCoreApplication::translate(
            "main", "cannot create a folder for the simulated ports\n");
        return 1;
    }
    auto source = QSharedPointer<Application::R58::ListSerialPortSource>::create();
    std::vector<std::unique_ptr<Simulator::SimulatedDevice>> devices;
    for (int i = 0; i < deviceCount; ++i) {
        devices.push_back(
            std::make_unique<Simulator::SimulatedDevice>(linkDirectory.path(), source));
        if (!devices.back()->plugIn())
            return 1;
    }

    QSharedPointer<Application::R58::SerialPortManager> manager(
        new Application::R58::SerialPortManager(source, nullptr));
    auto account = QSharedPointer<Application::R58::UserAccount>::create();
    auto config = QSharedPointer<Application::R58::Config>::create();
    config->load();

    const int exitCode = Application::R58::runWindowFlow(manager, account, config);
    // The manager's ports go before the devices unplug, so no port reports a lost device.
    manager.reset();
    return exitCode;
}
