// The configuration file: an unparsable one is kept beside, and a location that cannot be written
// leaves memory and any old file alone.
#include "config/config.h"
#include "config/useraccount.h"
#include "config/userconfig.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using Application::R58::Config;
using Application::R58::UserAccount;
using Application::R58::UserConfig;

namespace {

QString configDir()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
}

QString configPath()
{
    return configDir() + QStringLiteral("/config.json");
}

bool writeFile(const QString& path, const QByteArray& data)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(data) == data.size();
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Paths and users as "role:password", joined by spaces.
QString describe(const Config& config)
{
    QStringList parts {config.getSoftwareUpdateDir(), config.getSettingsDir()};
    for (const UserConfig& user : config.getUsers())
        parts << QStringLiteral("%1:%2").arg(user.getUser()).arg(user.getPassword());
    return parts.join(' ');
}

QStringList unreadableCopies()
{
    return QDir(configDir()).entryList({QStringLiteral("config.json.unreadable*")}, QDir::Files);
}

} // namespace

class TestConfig : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup() { m_home.reset(); }

    void unparsableFileKept_data();
    void unparsableFileKept();
    void unwritableLocation_data();
    void unwritableLocation();

private:
    std::unique_ptr<QTemporaryDir> m_home;
};

void TestConfig::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication::setOrganizationName(QStringLiteral("VELOR"));
    QCoreApplication::setApplicationName(QStringLiteral("tst_config"));
}

void TestConfig::init()
{
    // A fresh home for every test; the test-mode config location lies beneath it.
    m_home = std::make_unique<QTemporaryDir>();
    qputenv("HOME", QFile::encodeName(m_home->path()));
    QVERIFY2(configDir().startsWith(m_home->path()), qPrintable(configDir()));
}

void TestConfig::unparsableFileKept_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::newRow("cut short") << QByteArray(R"({"UserAccounts": [{"User": 3, "Password": "0b)");
    QTest::newRow("invalid utf-8") << QByteArray("{\"SettingsDir\": \"\xff\xfe\"}");
}

void TestConfig::unparsableFileKept()
{
    QFETCH(QByteArray, file);
    QVERIFY(writeFile(configPath(), file));
    Config config;
    config.setSettingsDir(QStringLiteral("/kept"));
    config.setUsers({UserConfig(UserAccount::Admin, QStringLiteral("aa"))});
    QVERIFY(config.load());
    QCOMPARE(describe(config), QStringLiteral(" /kept 3:aa"));
    const QString copy = configPath() + QStringLiteral(".unreadable");
    QCOMPARE(unreadableCopies(), QStringList {QStringLiteral("config.json.unreadable")});
    QCOMPARE(readFile(copy), file);

    // Loading the same file again makes no second copy; saving leaves the copy.
    QVERIFY(config.load());
    QVERIFY(config.save());
    QVERIFY(QJsonDocument::fromJson(readFile(configPath())).isObject());
    QVERIFY(config.load());
    QCOMPARE(unreadableCopies().size(), 1);
    QCOMPARE(readFile(copy), file);

    // A different unparsable file is kept apart.
    QVERIFY(writeFile(configPath(), "{ second"));
    QVERIFY(config.load());
    QCOMPARE(unreadableCopies().size(), 2);
    QCOMPARE(readFile(copy), file);
    QCOMPARE(readFile(copy + QStringLiteral(".1")), QByteArray("{ second"));
}

void TestConfig::unwritableLocation_data()
{
    QTest::addColumn<bool>("configJsonIsFolder");
    // A regular file where a parent folder should be stops even root.
    QTest::newRow("parent is a file") << false;
    QTest::newRow("config.json is a folder") << true;
}

void TestConfig::unwritableLocation()
{
    QFETCH(bool, configJsonIsFolder);
    if (configJsonIsFolder) {
        QVERIFY(QDir().mkpath(configPath()));
    } else {
        const QString parent = QFileInfo(configDir()).absolutePath();
        QVERIFY(writeFile(parent, "not a folder"));
    }
    Config config;
    config.setSettingsDir(QStringLiteral("/s"));
    QVERIFY(!config.save());
    QVERIFY(!config.load());
    QCOMPARE(config.getSettingsDir(), QStringLiteral("/s"));
    QCOMPARE(QFileInfo(configPath()).isDir(), configJsonIsFolder);
}

QTEST_GUILESS_MAIN(TestConfig)
#include "tst_config.moc"
