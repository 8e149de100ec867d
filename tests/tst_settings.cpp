#include "config/settings.h"

#include <QFile>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>

#include <limits>

using Application::R58::Settings;
using TripClass = Settings::TripClass;
using FaultType = Application::R58::ThresholdSettings::FaultType;

namespace {

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Every field away from its default, so a lost or swapped field shows.
void fill(Settings& s)
{
    s.setTripClass(TripClass(5));
    s.setNominalCurrent(2.6f);
    s.setOverloadReset(true);
    s.getUndercurrentSettings().setEnable(true);
    s.getUndercurrentSettings().setThreshold(0.129f);
    s.getUndercurrentSettings().setFaultType(FaultType(1));
    s.getUndervoltageSettings().setEnable(false);
    s.getUndervoltageSettings().setThreshold(195.0f);
    s.getUndervoltageSettings().setFaultType(FaultType(1));
    s.getOvervoltageSettings().setEnable(true);
    s.getOvervoltageSettings().setThreshold(265.5f);
    s.getOvervoltageSettings().setFaultType(FaultType(0));
}

QJsonObject asJson(Settings& s)
{
    QJsonObject json;
    s.write(json);
    return json;
}

} // namespace

class TestSettings : public QObject
{
    Q_OBJECT

private slots:
    void wrongTypesLeaveFieldsAlone_data();
    void wrongTypesLeaveFieldsAlone();
    void exportAfterImportIsComplete_data();
    void exportAfterImportIsComplete();

private:
    QTemporaryDir m_dir;
};

void TestSettings::wrongTypesLeaveFieldsAlone_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("tripClass"); // -1: not taken
    QTest::newRow("not json") << QByteArray("TripClass=3") << -1;
    QTest::newRow("strings everywhere")
        << QByteArray(R"({"TripClass": "3", "NominalCurrent": "2.5", "OverloadReset": "true"})")
        << -1;
    // No float holds these; an infinite setting must never reach a device.
    QTest::newRow("beyond float range")
        << QByteArray(R"({"NominalCurrent": 1e39, "Undervoltage": {"Threshold": -1e300}})") << -1;
    // Cut to fit, these would be other trip classes (3.5 to 3, 259 to 3): they are not taken.
    QTest::newRow("trip class 3.5 is not taken") << QByteArray(R"({"TripClass": 3.5})") << -1;
    QTest::newRow("trip class 259 is not taken") << QByteArray(R"({"TripClass": 259})") << -1;
}

void TestSettings::wrongTypesLeaveFieldsAlone()
{
    QFETCH(QByteArray, file);
    QFETCH(int, tripClass);
    const QString path = m_dir.filePath(QStringLiteral("import.json"));
    QVERIFY(writeFile(path, file));
    Settings settings;
    fill(settings);
    QJsonObject expected = asJson(settings);
    QVERIFY(settings.load(path));
    QCOMPARE(settings.getLoadedCount(), tripClass < 0 ? 0 : 1);
    if (tripClass >= 0)
        expected[QStringLiteral("TripClass")] = tripClass;
    QCOMPARE(asJson(settings), expected);
}

void TestSettings::exportAfterImportIsComplete_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<float>("nominalCurrent");
    QTest::addColumn<float>("threshold");
    // Found by the settings fuzzer: the infinity read from such a number was exported as null.
    QTest::newRow("numbers beyond float range")
        << QByteArray(R"({"NominalCurrent": 1e39, "Overvoltage": {"Threshold": -1e300}})") << 2.6f
        << 265.5f;
    QTest::newRow("largest float")
        << QByteArray(R"({"NominalCurrent": 3.4028234663852886e38,
            "Overvoltage": {"Threshold": -3.4028234663852886e38}})")
        << std::numeric_limits<float>::max() << -std::numeric_limits<float>::max();
}

// Also the round trip of every field through a file, saved atomically over a longer one.
void TestSettings::exportAfterImportIsComplete()
{
    QFETCH(QByteArray, file);
    QFETCH(float, nominalCurrent);
    QFETCH(float, threshold);
    const QString imported = m_dir.filePath(QStringLiteral("import.json"));
    const QString exported = m_dir.filePath(QStringLiteral("export.json"));
    QVERIFY(writeFile(imported, file));
    QVERIFY(writeFile(exported, QByteArray(20000, 'x')));
    Settings settings;
    fill(settings);
    QVERIFY(settings.load(imported));
    QCOMPARE(settings.getNominalCurrent(), nominalCurrent);
    QCOMPARE(settings.getOvervoltageSettings().getThreshold(), threshold);
    QVERIFY(settings.save(exported));
    QCOMPARE(QDir(m_dir.path()).entryList(QDir::Files), (QStringList {"export.json", "import.json"}));
    Settings reread;
    QVERIFY(reread.load(exported));
    QCOMPARE(reread.getLoadedCount(), 12);
    QCOMPARE(asJson(reread), asJson(settings));
}

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
