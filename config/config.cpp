#include "config/config.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QSaveFile>
#include <QStandardPaths>

#include <algorithm>

namespace Application::R58 {

namespace {

const QString SoftwareUpdateDirKey = QStringLiteral("SoftwareUpdateDir");
const QString SettingsDirKey = QStringLiteral("SettingsDir");
const QString DocumentsDirKey = QStringLiteral("DocumentsDir");
const QString UserAccountsKey = QStringLiteral("UserAccounts");

// Copies of unreadable files beyond the first get a number; past this many the last
// one is replaced rather than filling the folder.
constexpr int MaxUnreadableCopies = 10;

bool isBlank(const QByteArray& data)
{
    return std::all_of(data.cbegin(), data.cend(),
        [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; });
}

} // namespace

const QString Config::m_fileName = QStringLiteral("config.json");
const QString Config::m_unreadableSuffix = QStringLiteral(".unreadable");

Config::Config() : m_configDir(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation))
{
    // A failure shows later as load and save returning false.
    QDir::root().mkpath(m_configDir);
}

UserConfig* Config::getUser(UserAccount::User user)
{
    const auto entry = std::find_if(m_users.begin(), m_users.end(),
        [user](const UserConfig& userConfig) { return userConfig.getUser() == user; });
    return entry == m_users.end() ? nullptr : &*entry;
}

void Config::setUser(const UserConfig& userConfig)
{
    if (UserConfig* existing = getUser(userConfig.getUser()))
        existing->setPassword(userConfig.getPassword());
    else
        m_users.push_back(userConfig);
}

QString Config::getFilePath() const
{
    return m_configDir + QLatin1Char('/') + m_fileName;
}

bool Config::load()
{
    QFile file(getFilePath());
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray data = file.readAll();
    file.close();

    // Such a file reads as empty and the next save would replace it with defaults,
    // losing the saved logins; keep it for the user to mend by hand.
    if (!loadData(data))
        keepUnreadable(data);
    return true;
}

bool Config::loadData(const QByteArray& data)
{
    QJsonParseError error {};
    const QJsonDocument document = QJsonDocument::fromJson(data, &error);
    read(document.object());
    return (error.error == QJsonParseError::NoError && document.isObject()) || isBlank(data);
}

bool Config::save()
{
    // The folder may have been removed since start-up.
    QDir::root().mkpath(m_configDir);

    const QByteArray data = toData();

    // Written beside and renamed over the old file, so a crash or a full disk never
    // leaves a truncated config.json.
    QSaveFile file(getFilePath());
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    if (file.write(data) != data.size()) {
        // Without a commit the temporary file is dropped and the old file stays.
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

QByteArray Config::toData() const
{
    QJsonObject json;
    write(json);
    return QJsonDocument(json).toJson(QJsonDocument::Indented);
}

void Config::read(const QJsonObject& json)
{
    const QJsonValue softwareUpdateDir = json.value(SoftwareUpdateDirKey);
    if (softwareUpdateDir.isString())
        m_softwareUpdateDir = softwareUpdateDir.toString();
    const QJsonValue settingsDir = json.value(SettingsDirKey);
    if (settingsDir.isString())
        m_settingsDir = settingsDir.toString();
    const QJsonValue documentsDir = json.value(DocumentsDirKey);
    if (documentsDir.isString())
        m_documentsDir = documentsDir.toString();

    const QJsonValue userAccounts = json.value(UserAccountsKey);
    if (!userAccounts.isArray())
        return;
    const QJsonArray array = userAccounts.toArray();
    m_users.clear();
    m_users.reserve(static_cast<std::size_t>(array.size()));
    for (const QJsonValue& element : array) {
        UserConfig userConfig;
        userConfig.read(element.toObject());
        m_users.push_back(userConfig);
    }
}

void Config::write(QJsonObject& json) const
{
    json.insert(SoftwareUpdateDirKey, m_softwareUpdateDir);
    json.insert(SettingsDirKey, m_settingsDir);
    json.insert(DocumentsDirKey, m_documentsDir);
    QJsonArray array;
    for (const UserConfig& userConfig : m_users) {
        QJsonObject object;
        userConfig.write(object);
        array.append(object);
    }
    json.insert(UserAccountsKey, array);
}

void Config::keepUnreadable(const QByteArray& data) const
{
    // load runs several times per run: an identical copy means this file is already kept.
    const QString base = getFilePath() + m_unreadableSuffix;
    QString freeName;
    for (int i = 0; i < MaxUnreadableCopies; ++i) {
        const QString name = i == 0 ? base : base + QLatin1Char('.') + QString::number(i);
        QFile copy(name);
        if (!copy.exists()) {
            if (freeName.isEmpty())
                freeName = name;
            continue;
        }
        if (copy.open(QIODevice::ReadOnly) && copy.readAll() == data)
            return;
    }
    if (freeName.isEmpty())
        freeName = base + QLatin1Char('.') + QString::number(MaxUnreadableCopies - 1);

    QSaveFile copy(freeName);
    if (copy.open(QIODevice::WriteOnly | QIODevice::Unbuffered) && copy.write(data) == data.size())
        copy.commit();
}

} // namespace Application::R58
