#pragma once

#include <QByteArray>
#include <QString>

#include <map>

namespace Application::R58 {

// The role the user logged in under and the check of the password entered for it.
class UserAccount
{
public:
    // Stored in config.json and used as the login list's row index: the values must not change.
    // The fixed underlying type keeps any integer read from a file a valid value.
    enum User : qint32 {
        None = 0,
        Customer = 1,
        Supervisor = 2,
        Admin = 3,
        Demo = 4,
    };

    UserAccount();

    [[nodiscard]] User getUser() const { return m_user; }
    void setUser(User user) { m_user = user; }

    // The 64-byte digest of the entered password, as made by passwordDigest().
    void setPasswordDigest(const QByteArray& digest) { m_passwordDigest = digest; }

    // True when the current role has a digest and the entered digest equals it.
    [[nodiscard]] bool isPasswordValid() const;

    // SHA3-512 of the UTF-8 bytes of the text as typed: the same text gives the same
    // digest on every system.
    [[nodiscard]] static QByteArray passwordDigest(const QString& password);

private:
    User m_user = None;
    QByteArray m_passwordDigest;
    std::map<User, QByteArray> m_roleDigests;
};

} // namespace Application::R58
