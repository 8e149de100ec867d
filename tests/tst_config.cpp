#include "config/config.h"
#include "config/useraccount.h"
#include "config/userconfig.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
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

// Users as "role:password" texts, easy to compare and to print on failure.
QStringList usersOf(const Config& config)
{
    QStringList users;
    for (const UserConfig& user : config.getUsers())
        users << QStringLiteral("%1:%2").arg(user.getUser()).arg(user.getPassword());
    return users;
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
    void cleanup();

    void noFile();
    void readRules_data();
    void readRules();
    void duplicateRoles();
    void savedLogin_data();
    void savedLogin();
    void unparsableFileKept_data();
    void unparsableFileKept();
    void differentUnparsableFilesKeptApart();
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
    QVERIFY(m_home->isValid());
    qputenv("HOME", QFile::encodeName(m_home->path()));
    QVERIFY2(configDir().startsWith(m_home->path()), qPrintable(configDir()));
}

void TestConfig::cleanup()
{
    m_home.reset();
}

void TestConfig::noFile()
{
    Config config;
    QVERIFY(QDir(configDir()).exists());
    QVERIFY(!config.load());
    QVERIFY(config.getSoftwareUpdateDir().isEmpty());
    QVERIFY(config.getSettingsDir().isEmpty());
    QVERIFY(config.getUsers().empty());
    QCOMPARE(config.getUser(UserAccount::Customer), nullptr);

    QVERIFY(config.save());
    const QJsonObject expected {
        {QStringLiteral("SoftwareUpdateDir"), QString()},
        {QStringLiteral("SettingsDir"), QString()},
        {QStringLiteral("UserAccounts"), QJsonArray()},
    };
    const QByteArray written = readFile(configPath());
    QCOMPARE(QJsonDocument::fromJson(written).object(), expected);
    QVERIFY(written.contains('\n'));
}

void TestConfig::readRules_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("softwareUpdateDir");
    QTest::addColumn<QString>("settingsDir");
    QTest::addColumn<QStringList>("users");

    // Before each load the config holds these; a row expecting them means "left alone".
    const QString oldUpdate = QStringLiteral("/old/update.tar");
    const QString oldSettings = QStringLiteral("/old/settings.json");
    const QStringList oldUsers {QStringLiteral("3:aa")};

    QTest::newRow("every key") << QByteArray(R"({"SoftwareUpdateDir": "/u/p\u00e4ket.tar",
            "SettingsDir": "/s/r58.json",
            "UserAccounts": [{"User": 2, "Password": "bb"}, {"User": 4, "Password": "cc"}]})")
                               << QString::fromUtf8("/u/p\xc3\xa4ket.tar")
                               << QStringLiteral("/s/r58.json")
                               << QStringList {QStringLiteral("2:bb"), QStringLiteral("4:cc")};
    QTest::newRow("empty object") << QByteArray("{}") << oldUpdate << oldSettings << oldUsers;
    QTest::newRow("paths not strings")
        << QByteArray(R"({"SoftwareUpdateDir": 5, "SettingsDir": null})") << oldUpdate
        << oldSettings << oldUsers;

    QTest::newRow("UserAccounts an object")
        << QByteArray(R"({"UserAccounts": {"User": 2, "Password": "bb"}})") << oldUpdate
        << oldSettings << oldUsers;

    QTest::newRow("UserAccounts empty")
        << QByteArray(R"({"UserAccounts": []})") << oldUpdate << oldSettings << QStringList();
    QTest::newRow("User 2.5") << QByteArray(R"({"UserAccounts": [{"User": 2.5, "Password": "p"}]})")
                              << oldUpdate << oldSettings << QStringList {QStringLiteral("0:p")};
    QTest::newRow("User 1e20") << QByteArray(
        R"({"UserAccounts": [{"User": 1e20, "Password": "p"}]})")
                               << oldUpdate << oldSettings << QStringList {QStringLiteral("0:p")};
    QTest::newRow("User a string")
        << QByteArray(R"({"UserAccounts": [{"User": "2", "Password": "p"}]})") << oldUpdate
        << oldSettings << QStringList {QStringLiteral("0:p")};
    // Kept as read, so that saving the file again does not change it.
    QTest::newRow("User past the list")
        << QByteArray(R"({"UserAccounts": [{"User": 7, "Password": "p"}]})") << oldUpdate
        << oldSettings << QStringList {QStringLiteral("7:p")};
    QTest::newRow("Password a number")
        << QByteArray(R"({"UserAccounts": [{"User": 2, "Password": 12}]})") << oldUpdate
        << oldSettings << QStringList {QStringLiteral("2:")};
    QTest::newRow("element not an object")
        << QByteArray(R"({"UserAccounts": [5, {"User": 4, "Password": "d"}]})") << oldUpdate
        << oldSettings << QStringList {QStringLiteral("0:"), QStringLiteral("4:d")};
    QTest::newRow("unknown keys") << QByteArray(
        R"({"Extra": 1, "UserAccounts": [{"User": 1, "More": true}]})")
                                  << oldUpdate << oldSettings << QStringList {QStringLiteral("1:")};
    QTest::newRow("top level an array")
        << QByteArray(R"([{"SettingsDir": "/x"}])") << oldUpdate << oldSettings << oldUsers;
    QTest::newRow("cut short") << QByteArray(R"({"SettingsDir": "/x", "UserAccounts": [)")
                               << oldUpdate << oldSettings << oldUsers;
    QTest::newRow("empty file") << QByteArray() << oldUpdate << oldSettings << oldUsers;
}

void TestConfig::readRules()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, softwareUpdateDir);
    QFETCH(QString, settingsDir);
    QFETCH(QStringList, users);

    Config config;
    config.setSoftwareUpdateDir(QStringLiteral("/old/update.tar"));
    config.setSettingsDir(QStringLiteral("/old/settings.json"));
    config.setUsers({UserConfig(UserAccount::Admin, QStringLiteral("aa"))});
    QVERIFY(writeFile(configPath(), file));

    QVERIFY(config.load());
    QCOMPARE(config.getSoftwareUpdateDir(), softwareUpdateDir);
    QCOMPARE(config.getSettingsDir(), settingsDir);
    QCOMPARE(usersOf(config), users);

    // What was read comes back unchanged through a save and a fresh load.
    QVERIFY(config.save());
    Config reloaded;
    QVERIFY(reloaded.load());
    QCOMPARE(reloaded.getSoftwareUpdateDir(), softwareUpdateDir);
    QCOMPARE(reloaded.getSettingsDir(), settingsDir);
    QCOMPARE(usersOf(reloaded), users);
}

void TestConfig::duplicateRoles()
{
    QVERIFY(writeFile(configPath(), R"({"UserAccounts": [{"User": 2, "Password": "first"},
        {"User": 2, "Password": "second"}, {"User": 3, "Password": "admin"}]})"));
    Config config;
    QVERIFY(config.load());

    const UserConfig* supervisor = config.getUser(UserAccount::Supervisor);
    QVERIFY(supervisor);
    QCOMPARE(supervisor->getPassword(), QStringLiteral("first"));
    QCOMPARE(config.getUser(UserAccount::Demo), nullptr);

    config.setUser(UserConfig(UserAccount::Supervisor, QStringLiteral("new")));
    config.setUser(UserConfig(UserAccount::Demo, QStringLiteral("demo")));
    const QStringList expected {QStringLiteral("2:new"), QStringLiteral("2:second"),
        QStringLiteral("3:admin"), QStringLiteral("4:demo")};
    QCOMPARE(usersOf(config), expected);

    QVERIFY(config.save());
    Config reloaded;
    QVERIFY(reloaded.load());
    QCOMPARE(usersOf(reloaded), expected);
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
    QFETCH(QString, password);

    // What the login dialog does when "Save password" is ticked.
    const QByteArray digest = UserAccount::passwordDigest(password);
    Config config;
    config.setUser(UserConfig(UserAccount::Admin, QString::fromLatin1(digest.toHex())));
    QVERIFY(config.save());

    const QByteArray written = readFile(configPath());
    if (!password.isEmpty()) {
        QVERIFY(!written.contains(password.toUtf8()));
        QVERIFY(!written.contains(password.toLatin1()));
    }
    const QJsonArray accounts
        = QJsonDocument::fromJson(written).object().value(QStringLiteral("UserAccounts")).toArray();
    QCOMPARE(accounts.size(), 1);
    const QJsonObject account = accounts.first().toObject();
    QCOMPARE(account.value(QStringLiteral("User")).toDouble(), 3.0);
    // An integer, not 3.0.
    QVERIFY(QRegularExpression(QStringLiteral("\"User\": 3\\s"))
                .match(QString::fromUtf8(written))
                .hasMatch());
    const QString saved = account.value(QStringLiteral("Password")).toString();
    QVERIFY2(QRegularExpression(QStringLiteral("\\A[0-9a-f]{128}\\z")).match(saved).hasMatch(),
        qPrintable(saved));

    // The next run logs in from the saved entry.
    Config reloaded;
    QVERIFY(reloaded.load());
    const UserConfig* entry = reloaded.getUser(UserAccount::Admin);
    QVERIFY(entry);
    QCOMPARE(QByteArray::fromHex(entry->getPassword().toLatin1()), digest);
}

void TestConfig::unparsableFileKept_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::newRow("cut short") << QByteArray(
        R"({"UserAccounts": [{"User": 3, "Password": "0ba7aee8")");
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
    QVERIFY(config.load());
    QCOMPARE(config.getSettingsDir(), QStringLiteral("/kept"));
    QCOMPARE(unreadableCopies(), QStringList {QStringLiteral("config.json.unreadable")});
    const QString copyPath = configPath() + QStringLiteral(".unreadable");
    QCOMPARE(readFile(copyPath), file);

    // Loading the same file again makes no second copy.
    QVERIFY(config.load());
    QCOMPARE(unreadableCopies().size(), 1);

    QVERIFY(config.save());
    QVERIFY(QJsonDocument::fromJson(readFile(configPath())).isObject());
    QCOMPARE(readFile(copyPath), file);
    QVERIFY(config.load());
    QCOMPARE(unreadableCopies().size(), 1);
}

void TestConfig::differentUnparsableFilesKeptApart()
{
    Config config;
    const QByteArray first("{ first");
    const QByteArray second("{ second");
    QVERIFY(writeFile(configPath(), first));
    QVERIFY(config.load());
    QVERIFY(config.save());
    QVERIFY(writeFile(configPath(), second));
    QVERIFY(config.load());

    QCOMPARE(unreadableCopies().size(), 2);
    QCOMPARE(readFile(configPath() + QStringLiteral(".unreadable")), first);
    QCOMPARE(readFile(configPath() + QStringLiteral(".unreadable.1")), second);
}

void TestConfig::saveReplacesWholeFile()
{
    QByteArray longFile(R"({"SettingsDir": "/s", "UserAccounts": [)");
    for (int i = 0; i < 200; ++i)
        longFile += R"({"User": 2, "Password": "0123456789abcdef"},)";
    longFile += R"({"User": 3, "Password": "x"}]})";
    QVERIFY(writeFile(configPath(), longFile));

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
    // No temporary file is left beside it.
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
        QVERIFY(QDir().mkpath(QFileInfo(parent).absolutePath()));
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
