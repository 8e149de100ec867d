#include "config/useraccount.h"

#include "config/roledigests.h"

#include <QCryptographicHash>

namespace Application::R58 {

UserAccount::UserAccount()
    : m_roleDigests {
        {Customer, QByteArray::fromHex(RoleDigests::Customer)},
        {Supervisor, QByteArray::fromHex(RoleDigests::Supervisor)},
        {Admin, QByteArray::fromHex(RoleDigests::Admin)},
        {Demo, QByteArray::fromHex(RoleDigests::Demo)},
    }
{
}

bool UserAccount::isPasswordValid() const
{
    const auto entry = m_roleDigests.find(m_user);
    if (entry == m_roleDigests.end())
        return false;
    return entry->second == m_passwordDigest;
}

QByteArray UserAccount::passwordDigest(const QString& password)
{
    // RealSha3_512 is FIPS 202; the plain Sha3_512 name may mean Keccak in some Qt builds.
    return QCryptographicHash::hash(password.toUtf8(), QCryptographicHash::RealSha3_512);
}

} // namespace Application::R58
