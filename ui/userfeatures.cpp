#include "ui/userfeatures.h"

#include "config/useraccount.h"

namespace Application::R58 {

UserFeatures::UserFeatures(QSharedPointer<UserAccount> account) : m_account(std::move(account)) { }

bool UserFeatures::hasFeature(Feature feature) const
{
    return m_account && allows(m_account->getUser(), feature);
}

} // namespace Application::R58
