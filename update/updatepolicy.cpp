#include "update/updatepolicy.h"

#include "config/rolefeatures.h"

#include <QCoreApplication>

namespace Service::R58 {

using Application::R58::RoleFeatures;

UpdatePolicy::Verdict UpdatePolicy::judgeVersion(
    Role role, std::optional<std::uint32_t> installed, std::uint32_t package, Mode mode)
{
    if (RoleFeatures::allows(role, RoleFeatures::UnrestrictedUpdate))
        return Verdict::Allowed;
    if (!installed)
        return Verdict::VersionUnknown;
    if (RoleFeatures::allows(role, RoleFeatures::DemoMode) && mode == Mode::SafetyStop)
        return Verdict::Allowed;
    return *installed < package ? Verdict::Allowed : Verdict::Downgrade;
}

UpdatePolicy::Verdict UpdatePolicy::judge(Role role, std::optional<std::uint32_t> installed,
    std::uint32_t package, std::optional<Mode> mode)
{
    if (!RoleFeatures::allows(role, RoleFeatures::PackageUpdate))
        return Verdict::NotPermitted;
    if (!mode)
        return Verdict::MotorUnknown;
    if (*mode == Mode::Forward || *mode == Mode::Backward)
        return Verdict::MotorRunning;
    return judgeVersion(role, installed, package, *mode);
}

QString UpdatePolicy::text(Verdict verdict)
{
    const auto tr = [](const char* text) {
        return QCoreApplication::translate("Service::R58::UpdatePolicy", text);
    };
    switch (verdict) {
    case Verdict::Allowed:
        return {};
    case Verdict::NotPermitted:
        return tr("This role may not update devices.");
    case Verdict::VersionUnknown:
        return tr("The device has not reported its firmware version.");
    case Verdict::Downgrade:
        return tr("Software downgrade is not allowed!");
    case Verdict::MotorRunning:
        return tr("The motor is running: stop it before updating.");
    case Verdict::MotorUnknown:
        return tr("The device has not reported whether its motor is running.");
    }
    return {};
}

} // namespace Service::R58
