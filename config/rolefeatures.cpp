#include "config/rolefeatures.h"

#include <algorithm>
#include <initializer_list>

namespace Application::R58 {

bool RoleFeatures::allows(UserAccount::User role, Feature feature)
{
    const auto has = [feature](std::initializer_list<Feature> features) {
        return std::find(features.begin(), features.end(), feature) != features.end();
    };
    switch (role) {
    case UserAccount::Customer:
        return has({DataPage});
    case UserAccount::Supervisor:
        return has({PasswordEntry, PackageUpdate, ConfigurationPage, DataPage, ControlPage});
    case UserAccount::Admin:
        return has({PasswordEntry, PackageUpdate, UnrestrictedUpdate, ConfigurationPage, DataPage,
            ControlPage, ServiceMode});
    case UserAccount::Demo:
        return has({PasswordEntry, PackageUpdate, DemoMode});
    case UserAccount::None:
        break;
    }
    return false;
}

} // namespace Application::R58
