#pragma once

#include "config/useraccount.h"
#include "model/modeltypes.h"

#include <QString>

#include <cstdint>
#include <optional>

namespace Service::R58 {

// Whether a package may go onto a device: the role, the downgrade rule and the motor. One place,
// so that the device screen, the batch update and the command line refuse the same packages.
class UpdatePolicy
{
public:
    using Role = Application::R58::UserAccount::User;
    using Mode = Model::Interfaces::ModelTypes::Operation::Mode;

    enum class Verdict {
        Allowed,
        NotPermitted, // the role may not update
        VersionUnknown, // the device has not told its version yet
        Downgrade, // the package is not newer than the device's firmware
        MotorRunning, // the device reports Forward or Backward
        MotorUnknown, // the device has not told whether its motor runs
    };

    // The downgrade rule as the device screen applies it: Admin may put any package on, Demo
    // any while the device is in safety stop, everyone else only a newer platform version.
    // `installed` is empty while the device has not reported its version: the model then holds
    // the tool's own, which is no firmware's.
    [[nodiscard]] static Verdict judgeVersion(
        Role role, std::optional<std::uint32_t> installed, std::uint32_t package, Mode mode);
    // Every rule, for an update started without a device screen: the role first, then the motor
    // (an update restarts the device, which would stop a running motor), then the version.
    [[nodiscard]] static Verdict judge(Role role, std::optional<std::uint32_t> installed,
        std::uint32_t package, std::optional<Mode> mode);
    // Why a package is refused, for the user; empty for Allowed.
    [[nodiscard]] static QString text(Verdict verdict);
};

} // namespace Service::R58
