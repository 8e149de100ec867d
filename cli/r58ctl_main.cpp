#include "cli/commandline.h"
#include "link/serialportmanager.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTextStream>
#include <QTranslator>

#include <csignal>
#include <cstdio>
#include <unistd.h>

// The command line: no display, no widgets. The names set here place the records (backups,
// histories) where the windows keep them.
int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("VELOR®R58 VizorevAvuv"));
    QCoreApplication::setOrganizationName(QStringLiteral("Brenvik"));

    // The program's language, found where the windows find theirs.
    QTranslator translator;
    const QString locale = QLocale::system().name();
    const QString programDirectory = QCoreApplication::applicationDirPath();
    for (const QString& candidate : {QLibraryInfo::location(QLibraryInfo::TranslationsPath),
             programDirectory + QStringLiteral("/../share/qt5/translations"),
             programDirectory + QStringLiteral("/../app/translations")}) {
        if (translator.load(QStringLiteral("r58_vizorevavuv_") + locale, candidate))
            break;
    }
    QCoreApplication::installTranslator(&translator);

    std::signal(SIGINT, [](int) { Cli::CommandLine::interrupt(); });
    std::signal(SIGTERM, [](int) { Cli::CommandLine::interrupt(); });

    QTextStream out(stdout);
    QTextStream err(stderr);
    QSharedPointer<Application::R58::SerialPortManager> manager(
        new Application::R58::SerialPortManager(nullptr));
    Cli::CommandLine commandLine(manager, out, err);
    commandLine.setInteractive(isatty(STDIN_FILENO) != 0);
    commandLine.setProgressBar(isatty(STDERR_FILENO) != 0);
    return commandLine.run(QCoreApplication::arguments());
}
