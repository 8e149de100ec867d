// The German catalogue: the compiled .qm from the build puts German texts on the screens, and
// every entry of the .ts is translated and keeps the place markers that the code fills in.

#include "config/config.h"
#include "config/useraccount.h"
#include "link/listserialportsource.h"
#include "link/serialportmanager.h"
#include "ui/connectscreen.h"
#include "ui/mainscreen.h"
#include "ui/welcomescreen.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QFile>
#include <QLabel>
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

// What a widget shows: a label's or button's text, or one entry of a list.
QString shownText(const QWidget* widget, int item)
{
    if (const auto* combo = qobject_cast<const QComboBox*>(widget))
        return combo->itemText(item);
    if (const auto* label = qobject_cast<const QLabel*>(widget))
        return label->text();
    if (const auto* button = qobject_cast<const QAbstractButton*>(widget))
        return button->text();
    return QString();
}

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

    void screens_data();
    void screens();
    void catalogue_data();
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

void TestTranslations::screens_data()
{
    QTest::addColumn<QString>("screen");
    QTest::addColumn<QString>("widget");
    QTest::addColumn<int>("item"); // entry of a list, or -1
    QTest::addColumn<QString>("german");

    QTest::newRow("login: role prompt") << "login"
                                        << "comboBoxUser" << 0 << "Bitte auswählen";
    QTest::newRow("connect: offline button") << "connect"
                                             << "pushButtonOfflineModus" << -1 << "OFFLINE-MODUS";
    QTest::newRow("main: offline tab") << "main"
                                       << "pushButtonConfiguration" << -1 << "Konfiguration";
}

void TestTranslations::screens()
{
    QFETCH(QString, screen);
    QFETCH(QString, widget);
    QFETCH(int, item);
    QFETCH(QString, german);

    auto manager
        = QSharedPointer<SerialPortManager>::create(QSharedPointer<ListSerialPortSource>::create());
    manager->setPolling(false);
    auto account = QSharedPointer<UserAccount>::create();
    auto config = QSharedPointer<Config>::create();
    std::unique_ptr<QWidget> window;
    if (screen == QLatin1String("login"))
        window = std::make_unique<WelcomeScreen>(account, config);
    else if (screen == QLatin1String("connect"))
        window = std::make_unique<ConnectScreen>(manager);
    else
        window = std::make_unique<MainScreen>(manager, account, config);

    const auto* shown = window->findChild<QWidget*>(widget);
    QVERIFY2(shown, qPrintable(widget));
    QCOMPARE(shownText(shown, item), german);
}

void TestTranslations::catalogue_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("translation");
    QTest::addColumn<bool>("finished");

    QFile file(QStringLiteral(R58_TS_FILE));
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.errorString()));
    QXmlStreamReader xml(&file);
    QString context;
    QString source;
    int entries = 0;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("name")) {
            context = xml.readElementText();
        } else if (xml.name() == QLatin1String("source")) {
            source = xml.readElementText();
        } else if (xml.name() == QLatin1String("translation")) {
            const auto type = xml.attributes().value(QLatin1String("type")).toString();
            // Entries whose source has left the code are of no concern.
            if (type == QLatin1String("vanished") || type == QLatin1String("obsolete"))
                continue;
            const QString name = context + ": " + source.left(50).replace('\n', ' ');
            QTest::newRow(qPrintable(name))
                << source << xml.readElementText() << (type != QLatin1String("unfinished"));
            ++entries;
        }
    }
    QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
    QVERIFY(entries > 0);
}

void TestTranslations::catalogue()
{
    QFETCH(QString, source);
    QFETCH(QString, translation);
    QFETCH(bool, finished);

    // An unfinished entry is left out of the .qm and shows in English.
    QVERIFY2(finished && !translation.isEmpty(), "untranslated: run update_translations");
    // A lost or extra marker makes QString::arg() put the wrong value in, or none.
    QCOMPARE(placeMarkers(translation), placeMarkers(source));
    // Texts that end a line on the terminal must keep doing so.
    QCOMPARE(translation.endsWith(QLatin1Char('\n')), source.endsWith(QLatin1Char('\n')));
}

QTEST_MAIN(TestTranslations)
#include "tst_translations.moc"
