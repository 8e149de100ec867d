#pragma once

#include "config/useraccount.h"
#include "config/userconfig.h"

#include <QString>

#include <vector>

class QJsonObject;

namespace Application::R58 {

// The tool's own settings kept between runs in config.json: the last file dialog paths
// and the saved role passwords.
class Config
{
public:
    // Must be made after the application and organisation names are set: they name the folder.
    Config();
    virtual ~Config() = default;

    Config(const Config&) = delete;
    Config& operator=(const Config&) = delete;

    [[nodiscard]] QString getSoftwareUpdateDir() const { return m_softwareUpdateDir; }
    void setSoftwareUpdateDir(const QString& path) { m_softwareUpdateDir = path; }
    [[nodiscard]] QString getSettingsDir() const { return m_settingsDir; }
    void setSettingsDir(const QString& path) { m_settingsDir = path; }
    // The folder last chosen for the user's own records: reports, recordings, history exports.
    [[nodiscard]] QString getDocumentsDir() const { return m_documentsDir; }
    void setDocumentsDir(const QString& path) { m_documentsDir = path; }

    [[nodiscard]] std::vector<UserConfig> getUsers() const { return m_users; }
    void setUsers(const std::vector<UserConfig>& users) { m_users = users; }

    // The first entry for the role, or null; valid until the users are next changed.
    [[nodiscard]] UserConfig* getUser(UserAccount::User user);
    // Replaces the first entry's password for the role, or appends the entry.
    void setUser(const UserConfig& userConfig);

    [[nodiscard]] QString getFilePath() const;

    // False when config.json cannot be opened; the members then keep their values.
    bool load();
    // What load does with the bytes of config.json, but for keeping an unreadable file beside:
    // false when they are neither JSON nor blank. A fuzzer reads through here.
    bool loadData(const QByteArray& data);
    // False when config.json could not be written completely; the old file then stays.
    [[nodiscard]] bool save();
    // The bytes save writes.
    [[nodiscard]] QByteArray toData() const;

    void read(const QJsonObject& json);
    void write(QJsonObject& json) const;

    static const QString m_fileName;
    // A config.json that cannot be parsed is copied to this name before it can be overwritten.
    static const QString m_unreadableSuffix;

private:
    void keepUnreadable(const QByteArray& data) const;

    QString m_softwareUpdateDir;
    QString m_settingsDir;
    QString m_documentsDir;
    std::vector<UserConfig> m_users;
    QString m_configDir;
};

} // namespace Application::R58
