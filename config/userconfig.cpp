#include "config/userconfig.h"

#include <QJsonObject>
#include <QJsonValue>

namespace Application::R58 {

namespace {

const QString UserKey = QStringLiteral("User");
const QString PasswordKey = QStringLiteral("Password");

} // namespace

UserConfig::UserConfig(UserAccount::User user, const QString& password)
    : m_user(user), m_password(password)
{
}

void UserConfig::read(const QJsonObject& json)
{
    const QJsonValue user = json.value(UserKey);
    // toInt gives the default for fractions and for numbers outside the int range.
    if (user.isDouble())
        m_user = static_cast<UserAccount::User>(user.toInt(UserAccount::None));
    const QJsonValue password = json.value(PasswordKey);
    if (password.isString())
        m_password = password.toString();
}

void UserConfig::write(QJsonObject& json) const
{
    json.insert(UserKey, static_cast<int>(m_user));
    json.insert(PasswordKey, m_password);
}

} // namespace Application::R58
