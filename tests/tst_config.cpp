#include "config/config.h"
#include "config/useraccount.h"
#include "config/userconfig.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
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

QByteArray accounts(const char* list)
{
    return QByteArray(R"({"UserAccounts": [)") + list + "]}";
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

    void noFile();
    void readRules_data();
    void readRules();
    void duplicateRoles();
    void savedLogin_data();
    void savedLogin();
    void unparsableFileKept_data();
    void unparsableFileKept();
    void saveReplacesWholeFile();
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

void TestConfig::noFile()
{
    Config config;
    QVERIFY(QDir(configDir()).exists());
    QVERIFY(!config.load());
    QCOMPARE(describe(config), QStringLiteral(" "));
    QCOMPARE(config.getUser(UserAccount::Customer), nullptr);

    // Save recreates a folder removed since.
    QVERIFY(QDir(configDir()).removeRecursively());
    QVERIFY(config.save());
    const QJsonObject expected {
        {"SoftwareUpdateDir", ""}, {"SettingsDir", ""}, {"UserAccounts", QJsonArray()}};
    const QByteArray written = readFile(configPath());
    QCOMPARE(QJsonDocument::fromJson(written).object(), expected);
    QVERIFY(written.contains('\n'));
}

void TestConfig::readRules_data()
{
    // Before each load the config holds "/a /b 3:aa".
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("read");
    QTest::newRow("every key") << QByteArray(R"({"SoftwareUpdateDir": "/u/p\u00e4ket.tar",
            "SettingsDir": "/s/r58.json",
            "UserAccounts": [{"User": 2, "Password": "bb"}, {"User": 4, "Password": "cc"}]})")
                               << QString::fromUtf8("/u/p\xc3\xa4ket.tar /s/r58.json 2:bb 4:cc");
    QTest::newRow("empty object") << QByteArray("{}") << "/a /b 3:aa";
    QTest::newRow("paths not strings")
        << QByteArray(R"({"SoftwareUpdateDir": 5, "SettingsDir": null})") << "/a /b 3:aa";
    QTest::newRow("UserAccounts an object")
        << QByteArray(R"({"UserAccounts": {"User": 2, "Password": "bb"}})") << "/a /b 3:aa";
    QTest::newRow("empty file") << QByteArray() << "/a /b 3:aa";
    QTest::newRow("UserAccounts empty") << accounts("") << "/a /b";
    QTest::newRow("User 2.5") << accounts(R"({"User": 2.5, "Password": "p"})") << "/a /b 0:p";
    QTest::newRow("User 1e20") << accounts(R"({"User": 1e20, "Password": "p"})") << "/a /b 0:p";
    QTest::newRow("User a string") << accounts(R"({"User": "2", "Password": "p"})") << "/a /b 0:p";
    // Kept as read, so that saving the file again does not change it.
    QTest::newRow("User past the list")
        << accounts(R"({"User": 7, "Password": "p"})") << "/a /b 7:p";
    QTest::newRow("Password a number") << accounts(R"({"User": 2, "Password": 12})") << "/a /b 2:";
    QTest::newRow("element not an object")
        << accounts(R"(5, {"User": 4, "Password": "d"})") << "/a /b 0: 4:d";
    QTest::newRow("unknown keys") << QByteArray(
        R"({"Extra": 1, "UserAccounts": [{"User": 1, "More": true}]})")
                                  << "/a /b 1:";
}

void TestConfig::readRules()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, read);
    Config config;
    config.setSoftwareUpdateDir(QStringLiteral("/a"));
    config.setSettingsDir(QStringLiteral("/b"));
    config.setUsers({UserConfig(UserAccount::Admin, QStringLiteral("aa"))});
    QVERIFY(writeFile(configPath(), file));
    QVERIFY(config.load());
    QCOMPARE(describe(config), read);

    // What was read comes back unchanged through a save and a fresh load.
    QVERIFY(config.save());
    Config reloaded;
    QVERIFY(reloaded.load());
    QCOMPARE(describe(reloaded), read);
}

void TestConfig::duplicateRoles()
{
    QVERIFY(writeFile(configPath(),
        accounts(R"({"User": 2, "Password": "first"}, {"User": 2, "Password": "second"},
            {"User": 3, "Password": "admin"})")));
    Config config;
    QVERIFY(config.load());
    QVERIFY(config.getUser(UserAccount::Supervisor));
    QCOMPARE(config.getUser(UserAccount::Supervisor)->getPassword(), QStringLiteral("first"));
    QCOMPARE(config.getUser(UserAccount::Demo), nullptr);

    // setUser replaces the first entry of the role or adds one.
    config.setUser(UserConfig(UserAccount::Supervisor, QStringLiteral("new")));
    config.setUser(UserConfig(UserAccount::Demo, QStringLiteral("demo")));
    const QString expected = QStringLiteral("  2:new 2:second 3:admin 4:demo");
    QCOMPARE(describe(config), expected);
    QVERIFY(config.save());
    Config reloaded;
    QVERIFY(reloaded.load());
    QCOMPARE(describe(reloaded), expected);
}

void TestConfig::savedLogin_data()
{
    QTest::addColumn<QString>("password");
    QTest::newRow("ascii") << QStringLiteral("r58-admin");
    QTest::newRow("non-ascii") << QString::fromUtf8("Gr\xc3\xbc\xc3\x9f"
                                                    "e \xe2\x9c\x93");
    QTest::newRow("empty") << QString();
}

void TestConfig::savedLogin()
{
    // What the login dialog does when "Save password" is ticked.
    QFETCH(QString, password);
    const QByteArray digest = UserAccount::passwordDigest(password);
    Config config;
    config.setUser(UserConfig(UserAccount::Admin, QString::fromLatin1(digest.toHex())));
    QVERIFY(config.save());

    // Only the digest is written, as hex text, and the role as an integer.
    const QByteArray written = readFile(configPath());
    QVERIFY(password.isEmpty() || !written.contains(password.toUtf8()));
    QVERIFY2(written.contains("\"User\": 3\n"), written.constData());
    QVERIFY2(written.contains("\"Password\": \"" + digest.toHex() + '"'), written.constData());

    // The next run logs in from the saved entry.
    Config reloaded;
    QVERIFY(reloaded.load());
    QCOMPARE(reloaded.getUsers().size(), std::size_t(1));
    QVERIFY(reloaded.getUser(UserAccount::Admin));
    QCOMPARE(QByteArray::fromHex(reloaded.getUser(UserAccount::Admin)->getPassword().toLatin1()),
        digest);
}

void TestConfig::unparsableFileKept_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::newRow("cut short") << QByteArray(R"({"UserAccounts": [{"User": 3, "Password": "0b)");
    QTest::newRow("not json") << QByteArray("User=3\nPassword=secret\n");
    QTest::newRow("top level an array") << QByteArray(R"([{"User": 3}])");
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

void TestConfig::saveReplacesWholeFile()
{
    QByteArray longFile(R"({"SettingsDir": "/s", "UserAccounts": [)");
    for (int i = 0; i < 200; ++i)
        longFile += R"({"User": 2, "Password": "0123456789abcdef"},)";
    QVERIFY(writeFile(configPath(), longFile + R"({"User": 3, "Password": "x"}]})"));
    Config config;
    QVERIFY(config.load());
    QCOMPARE(config.getUsers().size(), std::size_t(201));
    config.setUsers({});
    QVERIFY(config.save());
    QJsonObject expected;
    config.write(expected);
    QJsonParseError error {};
    const QJsonDocument written = QJsonDocument::fromJson(readFile(configPath()), &error);
    QCOMPARE(error.error, QJsonParseError::NoError);
    QCOMPARE(written.object(), expected);
    // Written atomically: no temporary file is left beside it.
    QCOMPARE(QDir(configDir()).entryList(QDir::Files | QDir::Hidden),
        QStringList {QStringLiteral("config.json")});
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
