#pragma once

#include "config/useraccount.h"

#include <QString>

class QJsonObject;

namespace Application::R58 {

// One saved login in config.json: a role and its password digest in hex, never the password.
class UserConfig
{
public:
    UserConfig() = default;
    UserConfig(UserAccount::User user, const QString& password);
    virtual ~UserConfig() = default;

    UserConfig(const UserConfig&) = default;
    UserConfig& operator=(const UserConfig&) = default;
    UserConfig(UserConfig&&) = default;
    UserConfig& operator=(UserConfig&&) = default;

    [[nodiscard]] UserAccount::User getUser() const { return m_user; }
    void setUser(UserAccount::User user) { m_user = user; }
    [[nodiscard]] QString getPassword() const { return m_password; }
    void setPassword(const QString& password) { m_password = password; }

    // Takes each key only when present and of the expected type.
    void read(const QJsonObject& json);
    void write(QJsonObject& json) const;

private:
    UserAccount::User m_user = UserAccount::None;
    QString m_password;
};

} // namespace Application::R58
