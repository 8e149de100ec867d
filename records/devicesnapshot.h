#pragma once

#include "config/devicemodel.h"
#include "records/commissioningreport.h"
#include "records/faultstate.h"
#include "records/measurementsamples.h"

#include <QDateTime>
#include <QList>
#include <QString>

#include <array>
#include <optional>

namespace Application::R58 {
class Application;
}

namespace Records {

class MeasurementCapture;

// What a device has told the tool, taken at one moment from its model and its link: identity,
// fault state, motor, every setting and the newest measured values. A value the device never
// sent stays empty, so that no record shows a default or a screen's starting text as the
// device's. The commissioning report is made from it.
class DeviceSnapshot
{
public:
    // From this platform version on the device measures line-to-line voltages and knows the
    // load asymmetry protection (bytes 0, 4, 3, 2).
    static constexpr quint32 LineVoltagePlatformVersion = 262914;

    using Variant = Application::R58::DeviceModel;
    // The device variants by article number; null for one the tool does not know.
    [[nodiscard]] static const Variant* findVariant(quint32 articleNumber);

    // `capture` may be null (no measured values then).
    [[nodiscard]] static DeviceSnapshot take(
        const Application::R58::Application& device, const MeasurementCapture* capture);
    // Whether the device has the load asymmetry protection, as its platform version tells;
    // false until it has told it.
    [[nodiscard]] static bool hasAsymmetryProtection(const Application::R58::Application& device);

    // The report with the technician's fields, the role and the tool's version.
    [[nodiscard]] CommissioningReport report(
        const CommissioningReport::Fields& fields, const QString& role) const;

    QDateTime time;
    std::optional<QString> product;
    std::optional<QString> articleNumber;
    std::optional<QString> serialNumber;
    std::optional<QString> softwareVersion;
    std::optional<QString> hardwareRevision;
    std::optional<FaultState> faults;
    std::optional<QString> motor;
    // The device has the load asymmetry protection (known from its platform version).
    bool hasAsymmetry = false;
    bool lineVoltages = false;
    // Each setting as the device reported it, in sending order.
    struct Setting
    {
        QString name;
        std::optional<QString> value;
        bool asymmetry = false;
    };
    QList<Setting> settings;
    // Voltages L1-L3, currents L1-L3, active, reactive and apparent power.
    std::array<std::optional<MeasurementSample>, 9> measured;
};

} // namespace Records
