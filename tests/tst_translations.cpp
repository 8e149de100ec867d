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

struct Entry
{
    QString context;
    QString source;
    QString translation;
    bool finished = true;
};

QList<Entry> readCatalogue(const QString& path, QString* error)
{
    QList<Entry> entries;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = file.errorString();
        return entries;
    }
    QXmlStreamReader xml(&file);
    QString context;
    Entry entry;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        if (xml.name() == QLatin1String("name")) {
            context = xml.readElementText();
        } else if (xml.name() == QLatin1String("message")) {
            entry = Entry {context, {}, {}, true};
        } else if (xml.name() == QLatin1String("source")) {
            entry.source = xml.readElementText();
        } else if (xml.name() == QLatin1String("translation")) {
            const auto type = xml.attributes().value(QLatin1String("type"));
            // Entries whose source has left the code are of no concern.
            if (type == QLatin1String("vanished") || type == QLatin1String("obsolete"))
                continue;
            entry.finished = type != QLatin1String("unfinished");
            entry.translation = xml.readElementText();
            entries << entry;
        }
    }
    if (xml.hasError())
        *error = xml.errorString();
    return entries;
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
    QTest::addColumn<int>("item");
    QTest::addColumn<QString>("german");

    const QString login = QStringLiteral("login");
    const QString connect = QStringLiteral("connect");
    const QString main = QStringLiteral("main");
    QTest::newRow("login: save password")
        << login << "checkBoxSavePassword" << -1 << QStringLiteral("Passwort speichern");
    QTest::newRow("login: role prompt")
        << login << "comboBoxUser" << 0 << QStringLiteral("Bitte auswählen");
    QTest::newRow("login: customer role")
        << login << "comboBoxUser" << int(UserAccount::Customer) << QStringLiteral("Kunde");
    QTest::newRow("connect: prompt")
        << connect << "labelConnectText" << -1
        << QStringLiteral("Bitte schließen Sie ein VELOR®R58-Gerät an.");
    QTest::newRow("connect: offline button")
        << connect << "pushButtonOfflineModus" << -1 << QStringLiteral("OFFLINE-MODUS");
    QTest::newRow("main: offline tab")
        << main << "pushButtonConfiguration" << -1 << QStringLiteral("Konfiguration");
}

void TestTranslations::screens()
{
    QFETCH(QString, screen);
    QFETCH(QString, widget);
    QFETCH(int, item);
    QFETCH(QString, german);

    auto source = QSharedPointer<ListSerialPortSource>::create();
    auto manager = QSharedPointer<SerialPortManager>::create(source);
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

    QString error;
    const QList<Entry> entries = readCatalogue(QStringLiteral(R58_TS_FILE), &error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QVERIFY(!entries.isEmpty());
    for (const Entry& entry : entries) {
        const QString name = entry.context + QStringLiteral(": ")
            + entry.source.left(50).replace(QLatin1Char('\n'), QLatin1Char(' '));
        QTest::newRow(qPrintable(name)) << entry.source << entry.translation << entry.finished;
    }
}

void TestTranslations::catalogue()
{
    QFETCH(QString, source);
    QFETCH(QString, translation);
    QFETCH(bool, finished);

    // An unfinished entry is left out of the .qm and shows in English.
    QVERIFY2(finished && !translation.isEmpty(),
        "untranslated: run update_translations, then "
        "translate the new entries");
    // A lost or extra marker makes QString::arg() put the wrong value in, or none.
    QCOMPARE(placeMarkers(translation), placeMarkers(source));
    // Texts that end a line on the terminal must keep doing so.
    QCOMPARE(translation.endsWith(QLatin1Char('\n')), source.endsWith(QLatin1Char('\n')));
}

QTEST_MAIN(TestTranslations)
#include "tst_translations.moc"
