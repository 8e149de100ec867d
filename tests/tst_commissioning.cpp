// What a technician keeps of a device: the commissioning report of a device screen on a
// simulated device (what the device reported and what the technician typed reach the document,
// the PDF is written whole or not at all) and the settings backups taken before a change.

#include "config/settings.h"
#include "config/settingsbackups.h"
#include "subscreentestsupport.h"

#include <QFile>
#include <QLocale>
#include <QTextDocument>
#include <QtTest>

using Application::R58::UserAccount;
using Model::Interfaces::ModelValueID;
using SubScreenTest::Bench;

class TestCommissioning : public QObject
{
    Q_OBJECT

private slots:
    void reportCarriesDeviceAndFields();
    void pdfWrittenWholeOrNotAtAll();
    void backupsKeepTheNewestPerDevice();
    void backupThatCannotBeWritten();
};

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
            QStringLiteral("Supervisor"), QStringLiteral("187 V"),
            QLocale().toString(
                double(device.floatValue(quint16(ModelValueID::NominalCurrent))), 'g', 6)
                + QStringLiteral(" A")}) {
        QVERIFY2(text.contains(expected),
            qPrintable(expected + QStringLiteral(" missing in:\n") + text));
    }
}

void TestCommissioning::pdfWrittenWholeOrNotAtAll()
{
    CommissioningReport report;
    report.title = QStringLiteral("Commissioning report");
    report.sections.append(
        {QStringLiteral("Device"), {{QStringLiteral("Serial"), QStringLiteral("1")}}});
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("report.pdf"));
    QVERIFY(report.writePdf(path));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.read(5) == "%PDF-");
    QVERIFY(file.size() > 1000);

    const QString refused = dir.filePath(QStringLiteral("missing/report.pdf"));
    QVERIFY(!report.writePdf(refused));
    QVERIFY(!QFile::exists(refused));
}

void TestCommissioning::backupsKeepTheNewestPerDevice()
{
    using Application::R58::SettingsBackups;
    QTemporaryDir dir;
    const SettingsBackups backups(dir.path());
    Application::R58::Settings settings;
    settings.setNominalCurrent(2.5f);
    const QDateTime start(QDate(2026, 12, 1), QTime(8, 0));
    QString error;
    QVERIFY(
        !backups
             .save(settings, QStringLiteral("99"), SettingsBackups::Reason::Import, &error, start)
             .isEmpty());
    for (int i = 0; i < SettingsBackups::Kept + 2; ++i) {
        QVERIFY(!backups
                     .save(settings, QStringLiteral("21504711"),
                         SettingsBackups::Reason::FactoryReset, &error, start.addSecs(i))
                     .isEmpty());
    }
    // Within one second: both stay, the later one counts as newer.
    const QString last = backups.save(settings, QStringLiteral("21504711"),
        SettingsBackups::Reason::Update, &error, start.addSecs(SettingsBackups::Kept + 1));

    const auto entries = backups.list(QStringLiteral("21504711"));
    QCOMPARE(entries.size(), SettingsBackups::Kept);
    QCOMPARE(entries.first().path, last);
    QCOMPARE(entries.first().reason, SettingsBackups::Reason::Update);
    QCOMPARE(entries.at(1).time, start.addSecs(SettingsBackups::Kept + 1));
    QCOMPARE(entries.last().time, start.addSecs(3)); // the three oldest went
    QCOMPARE(backups.list(QStringLiteral("99")).size(), 1); // another device's stay

    Application::R58::Settings restored;
    QVERIFY(restored.load(last));
    QCOMPARE(restored.getNominalCurrent(), 2.5f);
}

void TestCommissioning::backupThatCannotBeWritten()
{
    using Application::R58::SettingsBackups;
    QTemporaryDir dir;
    // A file where the folder should be.
    const QString blocked = dir.filePath(QStringLiteral("backups"));
    QFile file(blocked);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    QString error;
    QVERIFY(SettingsBackups(blocked)
                .save(Application::R58::Settings(), QStringLiteral("1"),
                    SettingsBackups::Reason::Import, &error)
                .isEmpty());
    QVERIFY2(error.contains(QDir::toNativeSeparators(blocked)), qPrintable(error));
}

QTEST_MAIN(TestCommissioning)
#include "tst_commissioning.moc"
