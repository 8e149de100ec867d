#pragma once

#include "config/rolefeatures.h"

#include <QSharedPointer>

namespace Application::R58 {

class UserAccount;

// Which parts of the program the logged-in role may use; short-lived, built whenever needed.
// The table itself is the core's, shared with the command line.
class UserFeatures : public RoleFeatures
{
public:
    explicit UserFeatures(QSharedPointer<UserAccount> account);

    // Reads the account's role at the time of the call; a role without an entry has no features.
    [[nodiscard]] bool hasFeature(Feature feature) const;

private:
    QSharedPointer<UserAccount> m_account;
};

} // namespace Application::R58
