// The German catalogue: the compiled .qm from the build puts German texts on the screens, and
// every entry of the .ts is translated and keeps the place markers that the code fills in.

#include "config/config.h"
#include "config/useraccount.h"
#include "link/listserialportsource.h"
#include "link/serialportmanager.h"
#include "ui/mainscreen.h"

#include <QAbstractButton>
#include <QFile>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTranslator>
#include <QXmlStreamReader>
#include <QtTest>

#include <memory>

using Application::R58::Config;
using Application::R58::ListSerialPortSource;
using Application::R58::SerialPortManager;
using Application::R58::UserAccount;

namespace {

// The numbered place markers (%1, %2, ...) of a text, sorted, repeats kept.
QStringList placeMarkers(const QString& text)
{
    QStringList markers;
    auto matches = QRegularExpression(QStringLiteral("%\\d+")).globalMatch(text);
    while (matches.hasNext())
        markers << matches.next().captured();
    markers.sort();
    return markers;
}

} // namespace

class TestTranslations : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();

    void screens();
    void catalogue();

private:
    QTranslator m_translator;
    std::unique_ptr<QTemporaryDir> m_home;
};

void TestTranslations::initTestCase()
{
    m_home = std::make_unique<QTemporaryDir>();
    QVERIFY(m_home->isValid());
    qputenv("HOME", QFile::encodeName(m_home->path()));
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication::setOrganizationName(QStringLiteral("Brenvik"));
    QCoreApplication::setApplicationName(QStringLiteral("tst_translations"));

    // The name start-up asks for under a German locale.
    QVERIFY(m_translator.load(
        QStringLiteral("r58_vizorevavuv_de_DE"), QStringLiteral(R58_TRANSLATIONS_DIR)));
    QVERIFY(QCoreApplication::installTranslator(&m_translator));
}

void TestTranslations::cleanupTestCase()
{
    QCoreApplication::removeTranslator(&m_translator);
}

// The compiled catalogue is found where start-up looks and puts German on the screens.
void TestTranslations::screens()
{
    auto manager
        = QSharedPointer<SerialPortManager>::create(QSharedPointer<ListSerialPortSource>::create());
    manager->setPolling(false);
    MainScreen window(
        manager, QSharedPointer<UserAccount>::create(), QSharedPointer<Config>::create());
    const auto* button
        = window.findChild<QAbstractButton*>(QStringLiteral("pushButtonConfiguration"));
    QVERIFY(button);
    QCOMPARE(button->text(), QStringLiteral("Konfiguration"));
}

// Every entry still in the code is translated and keeps the source's place markers.
void TestTranslations::catalogue()
{
    QFile file(QStringLiteral(R58_TS_FILE));
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.errorString()));
    QXmlStreamReader xml(&file);
    QString source;
    int entries = 0;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("source"))
            source = xml.readElementText();
        if (xml.name() != QLatin1String("translation"))
            continue;
        const auto type = xml.attributes().value(QLatin1String("type")).toString();
        // Entries whose source has left the code are of no concern.
        if (type == QLatin1String("vanished") || type == QLatin1String("obsolete"))
            continue;
        const QString translation = xml.readElementText();
        const QByteArray entry = source.left(60).toUtf8();
        // An unfinished entry is left out of the .qm and shows in English.
        QVERIFY2(type != QLatin1String("unfinished") && !translation.isEmpty(),
            ("untranslated (run update_translations): " + entry).constData());
        // A lost or extra marker makes QString::arg() put the wrong value in, or none.
        QVERIFY2(placeMarkers(translation) == placeMarkers(source),
            ("place markers: " + entry).constData());
        // Texts that end a line on the terminal must keep doing so.
        QVERIFY2(translation.endsWith('\n') == source.endsWith('\n'),
            ("line end: " + entry).constData());
        ++entries;
    }
    QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
    QVERIFY(entries > 0);
}

QTEST_MAIN(TestTranslations)
#include "tst_translations.moc"
