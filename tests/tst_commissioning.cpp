// What a technician keeps of a device: the commissioning report of a device screen on a
// simulated device (what the device reported and what the technician typed reach the document),
// the settings backups taken before a change, and imports through the comparison.

#include "config/settings.h"
#include "config/settingsverifier.h"
#include "records/devicehistory.h"
#include "records/devicesnapshot.h"
#include "records/settingsbackups.h"
#include "subscreentestsupport.h"

#include <QDoubleSpinBox>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableWidget>
#include <QTreeWidget>
#include <QTextDocument>
#include <QtTest>

using Records::SettingsBackups;
using Application::R58::UserAccount;
using Model::Interfaces::ModelValueID;
using SubScreenTest::Bench;

class TestCommissioning : public QObject
{
    Q_OBJECT

private slots:
    void reportCarriesDeviceAndFields();
    void reportPagesInTheLocale_data();
    void reportPagesInTheLocale();
    void backupsKeepTheNewestPerDevice();
    void importThroughComparison_data();
    void importThroughComparison();
    void actionStopsWithoutBackup_data();
    void actionStopsWithoutBackup();
    void importIsConfirmedByTheDevice_data();
    void importIsConfirmedByTheDevice();
};

namespace {

// A settings file beside the test's home with the given keys.
QString writeFile(Bench& bench, const QJsonObject& json)
{
    const QString path = bench.home.filePath(QStringLiteral("settings.json"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return {};
    file.write(QJsonDocument(json).toJson());
    return path;
}

QString message(const Bench& bench)
{
    return bench.widget<QLabel>("labelSettingsMessage")->text();
}

} // namespace

void TestCommissioning::reportCarriesDeviceAndFields()
{
    Bench bench;
    auto& device = bench.addDevice();
    device.setUIntValue(quint16(ModelValueID::SerialNumber), 21509999u);
    device.setFloatValue(quint16(ModelValueID::UndervoltageThreshold), 187.0f);
    QVERIFY(bench.open(UserAccount::Supervisor));

    const CommissioningReport report
        = bench.screen->makeReport({QStringLiteral("Hall 3"), QStringLiteral("Pump 2, 4 kW"),
            QStringLiteral("A. Berg"), QStringLiteral("Checked rotation.\nCustomer informed.")});
    const QString text = report.toDocument()->toPlainText();
    for (const QString& expected :
        {QStringLiteral("21509999"), QStringLiteral("Hall 3"), QStringLiteral("Pump 2, 4 kW"),
            QStringLiteral("A. Berg"), QStringLiteral("Customer informed."),
            QStringLiteral("Supervisor"), QStringLiteral("187 V")}) {
        QVERIFY2(text.contains(expected),
            qPrintable(expected + QStringLiteral(" missing in:\n") + text));
    }
}

void TestCommissioning::reportPagesInTheLocale_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("current"); // the measured 1.25 A as the locale writes it
    QTest::addColumn<QString>("power");
    QTest::newRow("English") << QLocale(QLocale::English, QLocale::UnitedStates) << "1.25 A"
                             << "1.08 kW";
    QTest::newRow("German") << QLocale(QLocale::German, QLocale::Germany) << "1,25 A"
                            << "1,08 kW";
}

void TestCommissioning::reportPagesInTheLocale()
{
    // Long notes make the report run over more than one page.
    QFETCH(QLocale, locale);
    QFETCH(QString, current);
    QFETCH(QString, power);
    const QLocale before;
    QLocale::setDefault(locale);
    Records::DeviceSnapshot snapshot;
    snapshot.time = QDateTime::currentDateTime();
    snapshot.serialNumber = QStringLiteral("21504711");
    const qint64 now = snapshot.time.toMSecsSinceEpoch();
    snapshot.measured[3] = Records::MeasurementSample {now, Records::Quantity::Current, 0, 1.25f};
    snapshot.measured[6]
        = Records::MeasurementSample {now, Records::Quantity::ActivePower, 0, 1.08f};
    QStringList notes;
    for (int line = 0; line < 40; ++line)
        notes << QStringLiteral("Checked terminal %1.").arg(line);
    const QStringList pages
        = snapshot.report({QStringLiteral("Hall 3"), {}, {}, notes.join('\n')}, "Supervisor")
              .pageTexts();
    QLocale::setDefault(before);

    QVERIFY(pages.size() >= 2);
    const QString all = pages.join('\n');
    QVERIFY2(all.contains(current) && all.contains(power), qPrintable(all));
    for (const QString& other : {QStringLiteral("1.25"), QStringLiteral("1,25")}) {
        if (!current.startsWith(other))
            QVERIFY2(!all.contains(other), qPrintable(other));
    }
    // Every page names itself and the count, and the device.
    for (int page = 0; page < pages.size(); ++page) {
        const QStringList lines = pages[page].split('\n');
        const QRegularExpression number(
            QStringLiteral("\\b%1\\D+\\b%2$").arg(page + 1).arg(pages.size()));
        QVERIFY2(lines.last().contains(number), qPrintable(lines.last()));
        QVERIFY2(pages[page].contains(QStringLiteral("21504711")), qPrintable(pages[page]));
    }
}

void TestCommissioning::backupsKeepTheNewestPerDevice()
{
    QTemporaryDir dir;
    const SettingsBackups backups(dir.path());
    Application::R58::Settings settings;
    settings.setNominalCurrent(2.5f);
    const QDateTime start(QDate(2026, 12, 1), QTime(8, 0));
    auto save = [&](const QString& device, SettingsBackups::Reason reason, int second) {
        return backups.save(settings, device, reason, nullptr, start.addSecs(second));
    };
    QVERIFY(!save(QStringLiteral("99"), SettingsBackups::Reason::Import, 0).isEmpty());
    for (int i = 0; i < SettingsBackups::Kept + 2; ++i)
        QVERIFY(
            !save(QStringLiteral("21504711"), SettingsBackups::Reason::FactoryReset, i).isEmpty());
    // Within one second: both stay, the later one counts as newer.
    const QString last = save(
        QStringLiteral("21504711"), SettingsBackups::Reason::Update, SettingsBackups::Kept + 1);

    const auto entries = backups.list(QStringLiteral("21504711"));
    QCOMPARE(entries.size(), SettingsBackups::Kept);
    QCOMPARE(entries.first().path, last);
    QCOMPARE(entries.at(1).time, start.addSecs(SettingsBackups::Kept + 1));
    QCOMPARE(entries.last().time, start.addSecs(3)); // the three oldest went
    QCOMPARE(backups.list(QStringLiteral("99")).size(), 1); // another device's stay
}

void TestCommissioning::importThroughComparison_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QJsonObject>("file");
    QTest::addColumn<bool>("apply"); // the user's answer to the comparison
    QTest::addColumn<QList<int>>("written");
    QTest::addColumn<QStringList>("shown"); // rows of the comparison, as seen
    QTest::addColumn<bool>("applicable"); // Apply could be pressed
    const QJsonObject change {{"NominalCurrent", 2.5},
        {"Overvoltage", QJsonObject {{"Threshold", 250.0}}}, {"TripClass", 3}};
    const QStringList changes {
        "Nominal current", "2 A → 2.5 A", "Overvoltage threshold", "253 V → 250 V"};
    QTest::newRow("import, applied")
        << "pushButtonImport" << change << true << QList<int> {2, 32} << changes << true;
    QTest::newRow("import, cancelled")
        << "pushButtonImport" << change << false << QList<int>() << changes << true;
    QTest::newRow("compare only") << "pushButtonCompare" << change << true << QList<int>()
                                  << changes << false;
    QTest::newRow("import, refused type")
        << "pushButtonImport" << QJsonObject {{"TripClass", 260}, {"NominalCurrent", 2.5}} << true
        << QList<int>()
        << QStringList {"Trip class", "Trip class: 260 is no value of this setting.",
               "Nominal current", "2 A → 2.5 A"}
        << false;
    QTest::newRow("import, nothing to change")
        << "pushButtonImport" << QJsonObject {{"NominalCurrent", 2.0}} << true << QList<int>()
        << QStringList() << false;
}

void TestCommissioning::importThroughComparison()
{
    QFETCH(QString, button);
    QFETCH(QJsonObject, file);
    QFETCH(bool, apply);
    QFETCH(QList<int>, written);
    QFETCH(QStringList, shown);
    QFETCH(bool, applicable);
    Bench bench;
    QVERIFY(bench.open(UserAccount::Supervisor));
    const QString path = writeFile(bench, file);
    bench.answerFileDialogs(path);
    QStringList seen;
    bool canApply = false;
    bench.screen->setDialogRunner([&](QDialog& dialog) {
        auto* table = dialog.findChild<QTableWidget*>();
        for (int row = 0; table && row < table->rowCount(); ++row) {
            if (!table->isRowHidden(row))
                seen << table->item(row, 0)->text() << table->item(row, 1)->text();
        }
        auto* applyButton = dialog.findChild<QPushButton*>(QStringLiteral("pushButtonApply"));
        canApply = applyButton && applyButton->isEnabled();
        return int(apply && canApply ? QDialog::Accepted : QDialog::Rejected);
    });

    bench.widget<QPushButton>(qPrintable(button))->click();
    QVERIFY(bench.settle());
    QCOMPARE(seen, shown);
    QCOMPARE(canApply, applicable);
    QCOMPARE(bench.writtenValues(), written);
    const auto list = SettingsBackups().list(QStringLiteral("21504711"));
    // A backup is taken before, and only before, settings are sent.
    QCOMPARE(list.size(), written.isEmpty() ? 0 : 1);
    if (!list.isEmpty())
        QCOMPARE(list.first().reason, SettingsBackups::Reason::Import);
    if (written.isEmpty() && button == "pushButtonImport")
        QVERIFY2(message(bench).contains(QStringLiteral("nothing was sent"), Qt::CaseInsensitive),
            qPrintable(message(bench)));
}

void TestCommissioning::actionStopsWithoutBackup_data()
{
    QTest::addColumn<QString>("button");
    QTest::newRow("factory reset") << "pushButtonFactoryReset";
    QTest::newRow("import") << "pushButtonImport";
}

void TestCommissioning::actionStopsWithoutBackup()
{
    QFETCH(QString, button);
    Bench bench;
    QVERIFY(bench.open(UserAccount::Supervisor));
    // A file where the backup folder should be.
    const QString blocked = SettingsBackups::defaultDirectory();
    QVERIFY(QDir().mkpath(QFileInfo(blocked).path()));
    QFile block(blocked);
    QVERIFY(block.open(QIODevice::WriteOnly));
    block.close();
    const QString path = writeFile(bench, {{"NominalCurrent", 2.5}});
    bench.answerFileDialogs(path);
    bench.widget<QPushButton>(qPrintable(button))->click();
    QVERIFY(bench.settle());
    QCOMPARE(bench.received().size(), 0);
    QVERIFY2(message(bench).contains(QStringLiteral("backed up")), qPrintable(message(bench)));
}

QTEST_MAIN(TestCommissioning)
#include "tst_commissioning.moc"

void TestCommissioning::importIsConfirmedByTheDevice_data()
{
    QTest::addColumn<QString>("knob");
    QTest::addColumn<bool>("confirmed");
    QTest::addColumn<QString>("said"); // on the page, and in the history's entry
    QTest::newRow("device takes it") << "" << true << "confirmed by the device";
    QTest::newRow("write ignored") << "ignore" << false << "the device holds 253 V";
    QTest::newRow("value clamped") << "clamp" << false << "the device holds 255 V";
    QTest::newRow("answer late, within the wait") << "late" << true << "confirmed by the device";
    QTest::newRow("never answered") << "silent" << false << "did not answer";
}

void TestCommissioning::importIsConfirmedByTheDevice()
{
    QFETCH(QString, knob);
    QFETCH(bool, confirmed);
    QFETCH(QString, said);
    constexpr int Wait = 1500; // milliseconds, the read-back's wait in this test
    const auto id = quint16(ModelValueID::OvervoltageThreshold);
    Bench bench;
    QVERIFY(bench.open(UserAccount::Supervisor));
    auto* verifier = bench.screen->findChild<Application::R58::SettingsVerifier*>();
    QVERIFY(verifier);
    verifier->setWait(Wait);
    auto faults = bench.device->faults();
    if (knob == "ignore")
        faults.ignoredWrites.insert(id);
    else if (knob == "clamp")
        faults.writeLimits.insert(id, 255.0f);
    else if (knob == "late")
        faults.answerDelay = Wait / 3;
    else if (knob == "silent")
        faults.answerDelay = -1;
    bench.device->setFaults(faults);

    QSignalSpy finished(verifier, &Application::R58::SettingsVerifier::finished);
    QVERIFY(finished.isValid());
    bench.answerFileDialogs(writeFile(bench, {{"Overvoltage", QJsonObject {{"Threshold", 260.0}}}}));
    bench.widget<QPushButton>("pushButtonImport")->click();
    // Nothing is called imported before the device has answered.
    QVERIFY2(!message(bench).contains(QStringLiteral("confirmed")), qPrintable(message(bench)));
    QVERIFY(QTest::qWaitFor([&] { return !finished.isEmpty(); }, 2 * Wait + SubScreenTest::Wait));

    auto* label = bench.widget<QLabel>("labelSettingsMessage");
    QVERIFY2(label->text().contains(said), qPrintable(label->text()));
    QCOMPARE(label->property("failure").toBool(), !confirmed);
    auto* field = bench.widget<QDoubleSpinBox>("doubleSpinBoxOvervoltageThreshold");
    QCOMPARE(field->property("notApplied").toBool(), !confirmed);
    // The history says the same, once the device's answer (or its silence) is known.
    auto* history = bench.widget<QTreeWidget>("treeWidgetHistory");
    const auto imported = [&] {
        for (int row = 0; row < history->topLevelItemCount(); ++row) {
            if (history->topLevelItem(row)->text(2).contains(said))
                return true;
        }
        return false;
    };
    QVERIFY(QTest::qWaitFor(imported, Records::DeviceHistory::WriteAnswerWait + SubScreenTest::Wait));
    // Reading back never writes: the import's one write is all the device got.
    faults.answerDelay = 0;
    bench.device->setFaults(faults);
    QVERIFY(bench.sync());
    QCOMPARE(bench.writtenValues(), QList<int> {int(id)});
}
