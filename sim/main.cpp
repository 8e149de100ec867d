#include "sim/simulateddevice.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QSocketNotifier>
#include <QTextStream>

#include <csignal>
#include <unistd.h>

namespace {

int g_signalPipe[2] = {-1, -1};

// Only async-signal-safe work here: the event loop reads the pipe and quits.
void onSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(g_signalPipe[1], &byte, 1);
}

} // namespace

// Puts one simulated R58 on a pseudo-terminal until interrupted, for trying
// serial tools by hand.
int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("r58_simulator"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Simulated VELOR R58 device on a pseudo-terminal."));
    parser.addHelpOption();
    const QCommandLineOption directory(QStringLiteral("dir"),
        QStringLiteral("Folder for the port link (default: the temporary folder)."),
        QStringLiteral("path"), QDir::tempPath());
    const QCommandLineOption rate(QStringLiteral("line-rate"),
        QStringLiteral("Limit both directions to what 115200 baud carries."));
    const QCommandLineOption corrupt(QStringLiteral("corrupt"),
        QStringLiteral("Share of sent frames to damage, 0 to 1."), QStringLiteral("share"),
        QStringLiteral("0"));
    parser.addOptions({directory, rate, corrupt});
    parser.process(app);

    bool ok = false;
    const double corruptShare = parser.value(corrupt).toDouble(&ok);
    if (!ok || corruptShare < 0.0 || corruptShare > 1.0) {
        QTextStream(stderr) << "--corrupt takes a number from 0 to 1\n";
        return 2;
    }

    Simulator::SimulatedDevice device(parser.value(directory));
    Simulator::SimulatedDevice::Faults faults;
    faults.rateLimited = parser.isSet(rate);
    faults.corruptRate = corruptShare;
    device.setFaults(faults);
    device.setRecording(false);
    if (!device.plugIn())
        return 1;

    QTextStream(stdout) << "Simulated VELOR R58 on " << device.portName() << Qt::endl;
    // Quit through the event loop so the device unplugs and removes its link.
    if (::pipe(g_signalPipe) == 0) {
        auto* notifier = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, &app);
        QObject::connect(notifier, &QSocketNotifier::activated, &app, &QCoreApplication::quit);
        std::signal(SIGINT, onSignal);
        std::signal(SIGTERM, onSignal);
    }
    return app.exec();
}
