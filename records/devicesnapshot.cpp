#include "records/devicesnapshot.h"

#include "app/application.h"
#include "config/settingsmapper.h"
#include "link/talolinkterminalservice.h"
#include "model/modeldatabase.h"
#include "model/modelvalueid.h"
#include "records/displaynames.h"
#include "records/measurementcapture.h"

#include <QCoreApplication>
#include <QLocale>

namespace Records {

using Application::R58::SettingKey;
using Application::R58::SettingsMapper;
using Model::Interfaces::ModelValueID;

namespace {

// A measured value older than this is shown with its own time: the snapshot's time alone would
// say it was measured then.
constexpr qint64 StaleMeasurement = 10000; // milliseconds

QString tr(const char* text)
{
    return QCoreApplication::translate("Records::DeviceSnapshot", text);
}

QString versionText(quint32 version)
{
    return QStringLiteral("V%1.%2.%3.%4")
        .arg(version >> 24)
        .arg((version >> 16) & 0xFFu)
        .arg((version >> 8) & 0xFFu)
        .arg(version & 0xFFu);
}

// The locale's short date with all four digits of the year, and the time to the second: a
// long format names the weekday and the time zone and wraps in the report's column.
QString dateTimeText(const QDateTime& time)
{
    const QLocale locale;
    QString date = locale.dateFormat(QLocale::ShortFormat);
    if (!date.contains(QStringLiteral("yyyy")))
        date.replace(QStringLiteral("yy"), QStringLiteral("yyyy"));
    QString clock = locale.timeFormat(QLocale::LongFormat);
    clock.remove(QStringLiteral(" t")).remove(QLatin1Char('t'));
    return locale.toString(time, date + QLatin1Char(' ') + clock.trimmed());
}

QString orDash(const QString& text)
{
    const QString trimmed = text.trimmed();
    return trimmed.isEmpty() ? QStringLiteral("–") : trimmed;
}

} // namespace

const DeviceSnapshot::Variant* DeviceSnapshot::findVariant(quint32 articleNumber)
{
    return Application::R58::DeviceModel::find(articleNumber);
}

bool DeviceSnapshot::hasAsymmetryProtection(const Application::R58::Application& device)
{
    return device.getTerminalService()->hasReported(ModelValueID::PlatformVersion)
        && device.getModelDatabase()->getInformation().getPlatformVersionValue().getValue()
        >= LineVoltagePlatformVersion;
}

DeviceSnapshot DeviceSnapshot::take(
    const Application::R58::Application& device, const MeasurementCapture* capture)
{
    DeviceSnapshot snapshot;
    snapshot.time = QDateTime::currentDateTime();
    auto& database = *device.getModelDatabase();
    const auto& link = *device.getTerminalService();
    const auto reported = [&link](ModelValueID id) { return link.hasReported(id); };
    auto& information = database.getInformation();

    if (reported(ModelValueID::ArticleNumber)) {
        const auto article = static_cast<quint32>(information.getArticleNumberValue().getValue());
        if (const Variant* variant = findVariant(article))
            snapshot.product = QString::fromUtf8(variant->productName);
        QString text = information.getArticleNumberValue().toString();
        if (reported(ModelValueID::ArticleIndex))
            text += information.getArticleIndexNumberValue().toString();
        snapshot.articleNumber = text.trimmed();
    }
    if (reported(ModelValueID::SerialNumber))
        snapshot.serialNumber = information.getSerialNumberValue().toString().trimmed();
    if (reported(ModelValueID::PlatformVersion)) {
        auto& version = information.getPlatformVersionValue();
        snapshot.softwareVersion = version.toString();
        snapshot.lineVoltages = version.getValue() >= LineVoltagePlatformVersion;
        snapshot.hasAsymmetry = snapshot.lineVoltages;
    }
    if (reported(ModelValueID::HardwareIDControllerBoard)
        || reported(ModelValueID::HardwareIDPowerBoard)
        || reported(ModelValueID::HardwareIDDisplayBoard)) {
        const auto hex = [](unsigned value) {
            return QStringLiteral("%1").arg(value, 2, 16, QLatin1Char('0')).toUpper();
        };
        snapshot.hardwareRevision = QStringList {hex(information.getControllerBoardValue().getValue()),
            hex(information.getPowerBoardValue().getValue()),
            hex(information.getDisplayBoardValue().getValue())}
                                        .join(QLatin1Char(':'));
    }
    if (reported(ModelValueID::Error) || reported(ModelValueID::Warning))
        snapshot.faults = FaultState::fromModel(database);
    if (reported(ModelValueID::OperatingMode))
        snapshot.motor = database.getOperation().getOperatingModeValue().toString();

    const SettingsMapper mapper(database.getSettings());
    for (const SettingKey key : SettingsMapper::keys()) {
        Setting setting;
        setting.name = SettingsMapper::name(key);
        setting.asymmetry = key == SettingKey::AsymmetryEnable
            || key == SettingKey::AsymmetryThreshold || key == SettingKey::AsymmetryFaultType;
        if (reported(SettingsMapper::valueId(key)))
            setting.value = mapper.deviceText(key);
        snapshot.settings.append(setting);
    }

    if (capture) {
        const std::array<std::pair<Quantity, int>, 9> series {{{Quantity::Voltage, 0},
            {Quantity::Voltage, 1}, {Quantity::Voltage, 2}, {Quantity::Current, 0},
            {Quantity::Current, 1}, {Quantity::Current, 2}, {Quantity::ActivePower, 0},
            {Quantity::ReactivePower, 0}, {Quantity::ApparentPower, 0}}};
        for (std::size_t i = 0; i < series.size(); ++i)
            snapshot.measured[i] = capture->latest(series[i].first, series[i].second);
    }
    return snapshot;
}

CommissioningReport DeviceSnapshot::report(
    const CommissioningReport::Fields& fields, const QString& role) const
{
    const QString notReported = tr("not reported by the device");
    const QString notMeasured = tr("not measured");
    const auto fact = [&notReported](const std::optional<QString>& value) {
        return value ? orDash(*value) : notReported;
    };

    CommissioningReport report;
    report.title = tr("Commissioning report");
    report.header = {
        {tr("Tool"), QStringLiteral("VELOR®R58 VizorevAvuv")},
        {tr("Tool version"), versionText(Application::R58::Application::Version)},
        {tr("Date and time"), dateTimeText(time)},
        {tr("Role"), orDash(role)},
        {tr("Site"), orDash(fields.site)},
        {tr("Motor"), orDash(fields.motor)},
        {tr("Technician"), orDash(fields.technician)},
    };

    QString faultText = notReported;
    if (faults) {
        faultText = faults->kind == FaultState::Kind::None ? tr("No fault, no warning")
                                                          : orDash(DisplayNames::fault(faults->summary()));
    }
    report.sections.append({tr("Device"),
        {
            {tr("Product"), fact(product)},
            {tr("Article number"), fact(articleNumber)},
            {tr("Serial number"), fact(serialNumber)},
            {tr("Software version"), fact(softwareVersion)},
            {tr("Hardware revision"), fact(hardwareRevision)},
            {tr("Fault and warning state"), faultText},
        }});

    QList<CommissioningReport::Row> rows;
    for (const Setting& setting : settings) {
        // A device without the protection has no such settings to list.
        if (setting.asymmetry && !hasAsymmetry)
            continue;
        rows.append({setting.name, fact(setting.value)});
    }
    report.sections.append({tr("Protection settings"), rows});

    const QString phaseVoltage = lineVoltages ? tr("Voltage %1") : tr("Voltage %1-N");
    static const char* const LineNames[] = {"L1-L2", "L2-L3", "L3-L1"};
    static const char* const PhaseNames[] = {"L1", "L2", "L3"};
    const QString names[9] {phaseVoltage.arg(QLatin1String(lineVoltages ? LineNames[0] : PhaseNames[0])),
        phaseVoltage.arg(QLatin1String(lineVoltages ? LineNames[1] : PhaseNames[1])),
        phaseVoltage.arg(QLatin1String(lineVoltages ? LineNames[2] : PhaseNames[2])),
        tr("Current %1").arg(QLatin1String(PhaseNames[0])),
        tr("Current %1").arg(QLatin1String(PhaseNames[1])),
        tr("Current %1").arg(QLatin1String(PhaseNames[2])), tr("Active power"),
        tr("Reactive power"), tr("Apparent power")};
    static const char* const Units[9] {"V", "V", "V", "A", "A", "A", "kW", "kVAr", "kVA"};
    QList<CommissioningReport::Row> measuredRows {
        {tr("Time of the snapshot"), dateTimeText(time)},
        {tr("Motor"), motor ? DisplayNames::operatingMode(*motor) : notReported},
    };
    for (std::size_t i = 0; i < measured.size(); ++i) {
        QString value = notMeasured;
        if (const auto& sample = measured[i]) {
            value = QStringLiteral("%1 %2").arg(
                QLocale().toString(double(sample->value), 'f', i < 3 ? 1 : 2),
                QLatin1String(Units[i]));
            if (time.toMSecsSinceEpoch() - sample->time > StaleMeasurement)
                value += QLatin1Char(' ')
                    + tr("(measured %1)")
                          .arg(dateTimeText(QDateTime::fromMSecsSinceEpoch(sample->time)));
        }
        measuredRows.append({names[i], value});
    }
    report.sections.append({tr("Measured values"), measuredRows});

    report.notesTitle = tr("Notes");
    report.notes = orDash(fields.notes);
    report.signatures = {tr("Signatures"), {tr("Technician"), tr("Customer")},
        tr("Place and date"), tr("Signature")};
    QStringList footer {product.value_or(QStringLiteral("VELOR®R58"))};
    if (serialNumber)
        footer << tr("Serial number %1").arg(*serialNumber);
    footer << dateTimeText(time);
    report.footer = footer.join(QStringLiteral(" · "));
    report.pageNumber = tr("Page %1 of %2");
    return report;
}

} // namespace Records
