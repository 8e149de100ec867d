#pragma once

#include <QSharedPointer>

#include <map>
#include <vector>

namespace Application::R58 {

class UserAccount;

// Which parts of the program the logged-in role may use; short-lived, built whenever needed.
class UserFeatures
{
public:
    // The values are fixed: other parts of the program store and compare them.
    enum Feature {
        PasswordEntry = 0,
        ConfigurationPage = 1,
        ControlPage = 2,
        ServiceMode = 3,
        DemoMode = 4,
        DataPage = 5,
        PackageUpdate = 6,
        UnrestrictedUpdate = 7,
        SoftstartSetting = 8,
    };

    explicit UserFeatures(QSharedPointer<UserAccount> account);

    // Reads the account's role at the time of the call; a role without an entry has no features.
    [[nodiscard]] bool hasFeature(Feature feature) const;

private:
    QSharedPointer<UserAccount> m_account;
    std::map<int, std::vector<Feature>> m_features;
};

} // namespace Application::R58
