#pragma once

#include "config/useraccount.h"

namespace Application::R58 {

// Which parts of the program each role may use: one table for the windows and the command line,
// so that a role may do on either exactly what it may do on the other.
class RoleFeatures
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

    // A role without an entry (None) has no features.
    [[nodiscard]] static bool allows(UserAccount::User role, Feature feature);
};

} // namespace Application::R58
