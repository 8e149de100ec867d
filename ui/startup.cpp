#include "ui/startup.h"

#include "ui/stylesheet.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QStringList>

namespace Application::R58 {

StartUp::StartUp()
{
    // Set before the configuration is made: they name its folder.
    QCoreApplication::setApplicationName(QStringLiteral("VELOR®R58 VizorevAvuv"));
    QCoreApplication::setOrganizationName(QStringLiteral("Brenvik"));
    QCoreApplication::setAttribute(Qt::AA_DisableWindowContextHelpButton, true);

    // A missing catalogue leaves the translator empty and the texts in English; both are
    // installed regardless so that the order of lookup stays the same.
    const QString locale = QLocale::system().name();
    const QString directory = QLibraryInfo::location(QLibraryInfo::TranslationsPath);
    [[maybe_unused]] const bool qtLoaded
        = m_qtTranslator.load(QStringLiteral("qt_") + locale, directory);
    QCoreApplication::installTranslator(&m_qtTranslator);
    // Qt's directory is where the package puts the catalogue. An install under another prefix
    // keeps it in the same place relative to the program, and a build tree beside the program.
    const QString programDirectory = QCoreApplication::applicationDirPath();
    const QStringList programDirectories {directory,
        programDirectory + QStringLiteral("/../share/qt5/translations"),
        programDirectory + QStringLiteral("/translations")};
    for (const QString& candidate : programDirectories) {
        if (m_programTranslator.load(QStringLiteral("r58_vizorevavuv_") + locale, candidate))
            break;
    }
    QCoreApplication::installTranslator(&m_programTranslator);

    installFontFallbacks();
}

} // namespace Application::R58
