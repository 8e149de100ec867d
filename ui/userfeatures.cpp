#include "ui/userfeatures.h"

#include "config/useraccount.h"

#include <algorithm>

namespace Application::R58 {

UserFeatures::UserFeatures(QSharedPointer<UserAccount> account)
    : m_account(std::move(account)),
      m_features {
          {UserAccount::Customer, {DataPage}},
          {UserAccount::Supervisor,
              {PasswordEntry, PackageUpdate, ConfigurationPage, DataPage, ControlPage}},
          {UserAccount::Admin,
              {PasswordEntry, PackageUpdate, UnrestrictedUpdate, ConfigurationPage, DataPage,
                  ControlPage, ServiceMode}},
          {UserAccount::Demo, {PasswordEntry, PackageUpdate, DemoMode}},
      }
{
}

bool UserFeatures::hasFeature(Feature feature) const
{
    if (!m_account)
        return false;
    const auto entry = m_features.find(m_account->getUser());
    if (entry == m_features.end())
        return false;
    const std::vector<Feature>& features = entry->second;
    return std::find(features.begin(), features.end(), feature) != features.end();
}

} // namespace Application::R58
