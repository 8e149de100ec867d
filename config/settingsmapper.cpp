#include "config/settingsmapper.h"

#include "config/devicemodel.h"
#include "config/settings.h"
#include "link/talolinkpacket.h"
#include "model/modelsettings.h"
#include "model/modeltypes.h"
#include "model/modelvalueid.h"

#include <QCoreApplication>
#include <QLocale>
#include <QPair>

#include <cmath>
#include <type_traits>

namespace Application::R58 {

namespace {

using Model::Interfaces::ModelValueID;
using TripClass = Model::Interfaces::ModelTypes::Settings::TripClass;
using FaultType = Model::Interfaces::ModelTypes::Settings::FaultType;

// The lowest values the configuration page offers: a threshold of zero would never trip.
constexpr double MinimumCurrent = 0.1; // amperes
constexpr double MinimumVoltage = 1.0; // volts
// The highest voltage threshold every model allows; a device does not report its own.
constexpr double MaximumVoltage = 600.0; // volts

QString translated(const char* text)
{
    return QCoreApplication::translate("SettingsMapper", text);
}

QString worded(const char* text, SettingsMapper::Wording wording)
{
    return wording == SettingsMapper::Wording::Record ? QString::fromUtf8(text) : translated(text);
}

template <typename T> double toNumber(T value)
{
    if constexpr (std::is_enum_v<T>)
        return double(static_cast<std::underlying_type_t<T>>(value));
    else if constexpr (std::is_same_v<T, bool>)
        return value ? 1.0 : 0.0;
    else
        return double(value);
}

template <typename T> T fromNumber(double value)
{
    if constexpr (std::is_enum_v<T>)
        return T(static_cast<std::underlying_type_t<T>>(value));
    else if constexpr (std::is_same_v<T, bool>)
        return value != 0.0;
    else
        return T(value);
}

// Calls `f` with the model value of the setting.
template <typename F> double visit(Model::Database::ModelSettings& m, SettingKey key, F&& f)
{
    switch (key) {
    case SettingKey::TripClass:
        return f(m.getTripClassValue());
    case SettingKey::NominalCurrent:
        return f(m.getNominalCurrentValue());
    case SettingKey::OverloadReset:
        return f(m.getOverloadResetValue());
    case SettingKey::UndercurrentEnable:
        return f(m.getUndercurrentEnableValue());
    case SettingKey::UndercurrentThreshold:
        return f(m.getUndercurrentThresholdValue());
    case SettingKey::UndercurrentFaultType:
        return f(m.getUndercurrentFaultValue());
    case SettingKey::UndervoltageEnable:
        return f(m.getUndervoltageEnableValue());
    case SettingKey::UndervoltageThreshold:
        return f(m.getUndervoltageThresholdValue());
    case SettingKey::UndervoltageFaultType:
        return f(m.getUndervoltageFaultValue());
    case SettingKey::OvervoltageEnable:
        return f(m.getOvervoltageEnableValue());
    case SettingKey::OvervoltageThreshold:
        return f(m.getOvervoltageThresholdValue());
    case SettingKey::OvervoltageFaultType:
        return f(m.getOvervoltageFaultValue());
    case SettingKey::Softstart:
        return f(m.getSoftstartEnableValue());
    case SettingKey::AsymmetryEnable:
        return f(m.getLoadAsymmetryEnableValue());
    case SettingKey::AsymmetryThreshold:
        return f(m.getLoadAsymmetryThresholdValue());
    case SettingKey::AsymmetryFaultType:
        return f(m.getLoadAsymmetryFaultValue());
    }
    return 0.0;
}

double hundredths(double value)
{
    return std::round(value * 100.0);
}

const ThresholdSettings* group(const Settings& settings, SettingKey key)
{
    switch (key) {
    case SettingKey::UndercurrentEnable:
    case SettingKey::UndercurrentThreshold:
    case SettingKey::UndercurrentFaultType:
        return &settings.getUndercurrentSettings();
    case SettingKey::UndervoltageEnable:
    case SettingKey::UndervoltageThreshold:
    case SettingKey::UndervoltageFaultType:
        return &settings.getUndervoltageSettings();
    case SettingKey::OvervoltageEnable:
    case SettingKey::OvervoltageThreshold:
    case SettingKey::OvervoltageFaultType:
        return &settings.getOvervoltageSettings();
    case SettingKey::AsymmetryEnable:
    case SettingKey::AsymmetryThreshold:
    case SettingKey::AsymmetryFaultType:
        return settings.getLoadAsymmetry() ? &*settings.getLoadAsymmetry() : nullptr;
    default:
        return nullptr;
    }
}

} // namespace

SettingsMapper::SettingsMapper(Model::Database::ModelSettings& model) : m_model(model) { }

const QList<SettingKey>& SettingsMapper::keys()
{
    static const QList<SettingKey> all {SettingKey::TripClass, SettingKey::NominalCurrent,
        SettingKey::OverloadReset, SettingKey::UndercurrentEnable,
        SettingKey::UndercurrentThreshold, SettingKey::UndercurrentFaultType,
        SettingKey::UndervoltageEnable, SettingKey::UndervoltageThreshold,
        SettingKey::UndervoltageFaultType, SettingKey::OvervoltageEnable,
        SettingKey::OvervoltageThreshold, SettingKey::OvervoltageFaultType, SettingKey::Softstart,
        SettingKey::AsymmetryEnable, SettingKey::AsymmetryThreshold,
        SettingKey::AsymmetryFaultType};
    return all;
}

bool SettingsMapper::isExtra(SettingKey key)
{
    return int(key) >= int(SettingKey::Softstart);
}

bool SettingsMapper::isAsymmetry(SettingKey key)
{
    return key == SettingKey::AsymmetryEnable || key == SettingKey::AsymmetryThreshold
        || key == SettingKey::AsymmetryFaultType;
}

SettingsMapper::Kind SettingsMapper::kind(SettingKey key)
{
    switch (key) {
    case SettingKey::TripClass:
        return Kind::TripClass;
    case SettingKey::NominalCurrent:
    case SettingKey::UndercurrentThreshold:
    case SettingKey::UndervoltageThreshold:
    case SettingKey::OvervoltageThreshold:
    case SettingKey::AsymmetryThreshold:
        return Kind::Number;
    case SettingKey::UndercurrentFaultType:
    case SettingKey::UndervoltageFaultType:
    case SettingKey::OvervoltageFaultType:
    case SettingKey::AsymmetryFaultType:
        return Kind::FaultType;
    default:
        return Kind::OnOff;
    }
}

QString SettingsMapper::name(SettingKey key, Wording wording)
{
    switch (key) {
    case SettingKey::TripClass:
        return worded(QT_TRANSLATE_NOOP("SettingsMapper", "Trip class"), wording);
    case SettingKey::NominalCurrent:
        return worded(QT_TRANSLATE_NOOP("SettingsMapper", "Nominal current"), wording);
    case SettingKey::OverloadReset:
        return worded(QT_TRANSLATE_NOOP("SettingsMapper", "Automatic reset"), wording);
    case SettingKey::UndercurrentEnable:
        return worded(QT_TRANSLATE_NOOP("SettingsMapper", "Undercurrent monitoring"), wording);
    case SettingKey::UndercurrentThreshold:
        return worded(QT_TRANSLATE_NOOP("SettingsMapper", "Undercurrent threshold"), wording);
    case SettingKey::UndercurrentFaultType:
        return worded(QT_TRANSLATE_NOOP("SettingsMapper", "Undercurrent fault type"), wording);
    case SettingKey::UndervoltageEnable:
        return worded(QT_TRANSLATE_NOOP("SettingsMapper", "Undervoltage monitoring"), wording);
    case SettingKey::UndervoltageThreshold:
        return worded(QT_TRANSLATE_NOOP("SettingsMapper", "Undervoltage threshold"), wording);
    case SettingKey::UndervoltageFaultType:
        return worded(QT_TRANSLATE_NOOP("SettingsMapper", "Undervoltage fault type"), wording);
    case SettingKey::OvervoltageEnable:
        return worded(QT_TRANSLATE_NOOP("SettingsMapper", "Overvoltage monitoring"), wording);
    case SettingKey::OvervoltageThreshold:
        return worded(QT_TRANSLATE_NOOP("SettingsMapper", "Overvoltage threshold"), wording);
    case SettingKey::OvervoltageFaultType:
        return worded(QT_TRANSLATE_NOOP("SettingsMapper", "Overvoltage fault type"), wording);
    case SettingKey::Softstart:
        return worded(QT_TRANSLATE_NOOP("SettingsMapper", "Soft start"), wording);
    case SettingKey::AsymmetryEnable:
        return worded(QT_TRANSLATE_NOOP("SettingsMapper", "Load asymmetry monitoring"), wording);
    case SettingKey::AsymmetryThreshold:
        return worded(QT_TRANSLATE_NOOP("SettingsMapper", "Load asymmetry threshold"), wording);
    case SettingKey::AsymmetryFaultType:
        return worded(QT_TRANSLATE_NOOP("SettingsMapper", "Load asymmetry fault type"), wording);
    }
    return {};
}

std::optional<SettingKey> SettingsMapper::keyOfRecordName(const QString& name)
{
    for (const SettingKey key : keys()) {
        if (SettingsMapper::name(key, Wording::Record) == name)
            return key;
    }
    return std::nullopt;
}

QString SettingsMapper::unit(SettingKey key)
{
    switch (key) {
    case SettingKey::NominalCurrent:
    case SettingKey::UndercurrentThreshold:
    case SettingKey::AsymmetryThreshold:
        return QStringLiteral("A");
    case SettingKey::UndervoltageThreshold:
    case SettingKey::OvervoltageThreshold:
        return QStringLiteral("V");
    default:
        return {};
    }
}

QString SettingsMapper::text(SettingKey key, double value, Wording wording)
{
    switch (kind(key)) {
    case Kind::Number: {
        const QLocale locale = wording == Wording::Record ? QLocale::c() : QLocale();
        return QStringLiteral("%1 %2").arg(
            locale.toString(hundredths(value) / 100.0, 'g', 6), unit(key));
    }
    case Kind::OnOff:
        return value != 0.0 ? worded(QT_TRANSLATE_NOOP("SettingsMapper", "On"), wording)
                            : worded(QT_TRANSLATE_NOOP("SettingsMapper", "Off"), wording);
    case Kind::FaultType:
        switch (fromNumber<FaultType>(value)) {
        case FaultType::Warning:
            return worded(QT_TRANSLATE_NOOP("SettingsMapper", "Warning"), wording);
        case FaultType::Error:
            return worded(QT_TRANSLATE_NOOP("SettingsMapper", "Error"), wording);
        }
        return QString::number(int(value));
    case Kind::TripClass: {
        const QString text = Model::Interfaces::ModelTypes::toString(fromNumber<TripClass>(value));
        return text.isEmpty() ? QString::number(int(value)) : text;
    }
    }
    return {};
}

QString SettingsMapper::displayText(SettingKey key, const QString& recordText)
{
    if (kind(key) == Kind::Number) {
        const QString suffix = QLatin1Char(' ') + unit(key);
        bool ok = false;
        const double value = recordText.endsWith(suffix)
            ? QLocale::c().toDouble(recordText.chopped(suffix.size()), &ok)
            : 0.0;
        return ok ? text(key, value) : recordText;
    }
    // Named values are few: on/off, warning/error, the trip classes.
    for (int value = 0; value <= 255; ++value) {
        if (text(key, value, Wording::Record) == recordText)
            return text(key, value);
    }
    return recordText;
}

ModelValueID SettingsMapper::valueId(SettingKey key)
{
    switch (key) {
    case SettingKey::TripClass:
        return ModelValueID::TripClass;
    case SettingKey::NominalCurrent:
        return ModelValueID::NominalCurrent;
    case SettingKey::OverloadReset:
        return ModelValueID::OverloadReset;
    case SettingKey::UndercurrentEnable:
        return ModelValueID::UndercurrentEnable;
    case SettingKey::UndercurrentThreshold:
        return ModelValueID::UndercurrentThreshold;
    case SettingKey::UndercurrentFaultType:
        return ModelValueID::UndercurrentFaultType;
    case SettingKey::UndervoltageEnable:
        return ModelValueID::UndervoltageEnable;
    case SettingKey::UndervoltageThreshold:
        return ModelValueID::UndervoltageThreshold;
    case SettingKey::UndervoltageFaultType:
        return ModelValueID::UndervoltageFaultType;
    case SettingKey::OvervoltageEnable:
        return ModelValueID::OvervoltageEnable;
    case SettingKey::OvervoltageThreshold:
        return ModelValueID::OvervoltageThreshold;
    case SettingKey::OvervoltageFaultType:
        return ModelValueID::OvervoltageFaultType;
    case SettingKey::Softstart:
        return ModelValueID::SoftstartEnable;
    case SettingKey::AsymmetryEnable:
        return ModelValueID::LoadAsymmetryEnable;
    case SettingKey::AsymmetryThreshold:
        return ModelValueID::LoadAsymmetryThreshold;
    case SettingKey::AsymmetryFaultType:
        return ModelValueID::LoadAsymmetryFaultType;
    }
    return ModelValueID::TripClass;
}

std::optional<SettingKey> SettingsMapper::keyOf(ModelValueID id)
{
    for (const SettingKey key : keys()) {
        if (valueId(key) == id)
            return key;
    }
    return std::nullopt;
}

std::optional<SettingKey> SettingsMapper::keyOfWrite(const QByteArray& frame)
{
    using Component::Interfaces::TaloLinkCommandID;
    const auto packet = Component::Interfaces::TaloLinkPacket::decode(frame);
    if (packet.command != TaloLinkCommandID::SetModelValue || packet.args.empty())
        return std::nullopt;
    int id = 0;
    for (int i = packet.args[0].length - 1; i >= 0; --i)
        id = id << 8 | packet.args[0].data[i];
    return keyOf(ModelValueID(id));
}

std::optional<double> SettingsMapper::fileValue(const Settings& settings, SettingKey key)
{
    switch (key) {
    case SettingKey::TripClass:
        return toNumber(settings.getTripClass());
    case SettingKey::NominalCurrent:
        return toNumber(settings.getNominalCurrent());
    case SettingKey::OverloadReset:
        return toNumber(settings.getOverloadReset());
    case SettingKey::Softstart:
        if (!settings.getSoftstart())
            return std::nullopt;
        return toNumber(*settings.getSoftstart());
    default:
        break;
    }
    const ThresholdSettings* values = group(settings, key);
    if (!values)
        return std::nullopt;
    switch (key) {
    case SettingKey::UndercurrentEnable:
    case SettingKey::UndervoltageEnable:
    case SettingKey::OvervoltageEnable:
    case SettingKey::AsymmetryEnable:
        return toNumber(values->getEnable());
    case SettingKey::UndercurrentThreshold:
    case SettingKey::UndervoltageThreshold:
    case SettingKey::OvervoltageThreshold:
    case SettingKey::AsymmetryThreshold:
        return toNumber(values->getThreshold());
    default:
        return toNumber(values->getFaultType());
    }
}

void SettingsMapper::setFileValue(Settings& settings, SettingKey key, double value)
{
    switch (key) {
    case SettingKey::TripClass:
        settings.setTripClass(fromNumber<TripClass>(value));
        return;
    case SettingKey::NominalCurrent:
        settings.setNominalCurrent(fromNumber<float>(value));
        return;
    case SettingKey::OverloadReset:
        settings.setOverloadReset(fromNumber<bool>(value));
        return;
    case SettingKey::Softstart:
        settings.setSoftstart(fromNumber<bool>(value));
        return;
    default:
        break;
    }
    // The load asymmetry group is an optional copy, written back at the end.
    std::optional<ThresholdSettings> asymmetry;
    ThresholdSettings* values = nullptr;
    switch (key) {
    case SettingKey::UndercurrentEnable:
    case SettingKey::UndercurrentThreshold:
    case SettingKey::UndercurrentFaultType:
        values = &settings.getUndercurrentSettings();
        break;
    case SettingKey::UndervoltageEnable:
    case SettingKey::UndervoltageThreshold:
    case SettingKey::UndervoltageFaultType:
        values = &settings.getUndervoltageSettings();
        break;
    case SettingKey::OvervoltageEnable:
    case SettingKey::OvervoltageThreshold:
    case SettingKey::OvervoltageFaultType:
        values = &settings.getOvervoltageSettings();
        break;
    default:
        asymmetry = settings.getLoadAsymmetry().value_or(ThresholdSettings());
        values = &*asymmetry;
        break;
    }
    switch (key) {
    case SettingKey::UndercurrentEnable:
    case SettingKey::UndervoltageEnable:
    case SettingKey::OvervoltageEnable:
    case SettingKey::AsymmetryEnable:
        values->setEnable(fromNumber<bool>(value));
        break;
    case SettingKey::UndercurrentThreshold:
    case SettingKey::UndervoltageThreshold:
    case SettingKey::OvervoltageThreshold:
    case SettingKey::AsymmetryThreshold:
        values->setThreshold(fromNumber<float>(value));
        break;
    default:
        values->setFaultType(fromNumber<FaultType>(value));
        break;
    }
    if (asymmetry)
        settings.setLoadAsymmetry(asymmetry);
}

bool SettingsMapper::sameValue(SettingKey key, double a, double b)
{
    // NaN never equals anything and so counts as changed.
    if (kind(key) == Kind::Number)
        return hundredths(a) == hundredths(b);
    return a == b;
}

double SettingsMapper::deviceValue(SettingKey key) const
{
    return visit(m_model, key, [](auto& value) { return toNumber(value.getValue()); });
}

Settings SettingsMapper::deviceSettings(bool withExtras) const
{
    auto& model = m_model;
    Settings settings;
    settings.setTripClass(model.getTripClassValue().getValue());
    settings.setNominalCurrent(model.getNominalCurrentValue().getValue());
    settings.setOverloadReset(model.getOverloadResetValue().getValue());
    const auto fill = [](ThresholdSettings& group, const auto& enable, const auto& threshold,
                          const auto& fault) {
        group.setEnable(enable.getValue());
        group.setThreshold(threshold.getValue());
        group.setFaultType(fault.getValue());
    };
    fill(settings.getUndercurrentSettings(), model.getUndercurrentEnableValue(),
        model.getUndercurrentThresholdValue(), model.getUndercurrentFaultValue());
    fill(settings.getUndervoltageSettings(), model.getUndervoltageEnableValue(),
        model.getUndervoltageThresholdValue(), model.getUndervoltageFaultValue());
    fill(settings.getOvervoltageSettings(), model.getOvervoltageEnableValue(),
        model.getOvervoltageThresholdValue(), model.getOvervoltageFaultValue());
    if (withExtras) {
        settings.setSoftstart(model.getSoftstartEnableValue().getValue());
        ThresholdSettings asymmetry;
        fill(asymmetry, model.getLoadAsymmetryEnableValue(),
            model.getLoadAsymmetryThresholdValue(), model.getLoadAsymmetryFaultValue());
        settings.setLoadAsymmetry(asymmetry);
    }
    return settings;
}

SettingsMapper::Limits SettingsMapper::limits(
    SettingKey key, std::optional<double> nominalCurrent) const
{
    auto& model = m_model;
    switch (key) {
    case SettingKey::TripClass:
        return {0.0, toNumber(model.getTripClassValue().getMaximum())};
    case SettingKey::NominalCurrent:
        return {MinimumCurrent, toNumber(model.getNominalCurrentValue().getMaximum())};
    case SettingKey::UndercurrentThreshold:
    case SettingKey::AsymmetryThreshold:
        return {MinimumCurrent,
            nominalCurrent.value_or(toNumber(model.getNominalCurrentValue().getValue()))};
    case SettingKey::UndervoltageThreshold:
        return {MinimumVoltage, toNumber(model.getUndervoltageThresholdValue().getMaximum())};
    case SettingKey::OvervoltageThreshold:
        return {MinimumVoltage, toNumber(model.getOvervoltageThresholdValue().getMaximum())};
    case SettingKey::UndercurrentFaultType:
    case SettingKey::UndervoltageFaultType:
    case SettingKey::OvervoltageFaultType:
    case SettingKey::AsymmetryFaultType:
        return {toNumber(model.getUndercurrentFaultValue().getMinimum()),
            toNumber(model.getUndercurrentFaultValue().getMaximum())};
    default:
        return {0.0, 1.0};
    }
}

std::optional<SettingKey> SettingsMapper::keyOfFileKey(const QString& fileKey)
{
    static const QList<QPair<QString, SettingKey>> FileKeys {
        {QStringLiteral("TripClass"), SettingKey::TripClass},
        {QStringLiteral("NominalCurrent"), SettingKey::NominalCurrent},
        {QStringLiteral("OverloadReset"), SettingKey::OverloadReset},
        {QStringLiteral("Undercurrent/Enable"), SettingKey::UndercurrentEnable},
        {QStringLiteral("Undercurrent/Threshold"), SettingKey::UndercurrentThreshold},
        {QStringLiteral("Undercurrent/FaultType"), SettingKey::UndercurrentFaultType},
        {QStringLiteral("Undervoltage/Enable"), SettingKey::UndervoltageEnable},
        {QStringLiteral("Undervoltage/Threshold"), SettingKey::UndervoltageThreshold},
        {QStringLiteral("Undervoltage/FaultType"), SettingKey::UndervoltageFaultType},
        {QStringLiteral("Overvoltage/Enable"), SettingKey::OvervoltageEnable},
        {QStringLiteral("Overvoltage/Threshold"), SettingKey::OvervoltageThreshold},
        {QStringLiteral("Overvoltage/FaultType"), SettingKey::OvervoltageFaultType},
        {QStringLiteral("Softstart"), SettingKey::Softstart},
        {QStringLiteral("LoadAsymmetry/Enable"), SettingKey::AsymmetryEnable},
        {QStringLiteral("LoadAsymmetry/Threshold"), SettingKey::AsymmetryThreshold},
        {QStringLiteral("LoadAsymmetry/FaultType"), SettingKey::AsymmetryFaultType}};
    for (const auto& [name, key] : FileKeys) {
        if (name == fileKey)
            return key;
    }
    return std::nullopt;
}

SettingsMapper::Refusal SettingsMapper::notAValue(SettingKey key, double number)
{
    return {key,
        translated(QT_TRANSLATE_NOOP("SettingsMapper", "%1: %2 is no value of this setting."))
            .arg(name(key), QLocale().toString(number, 'g', 6))};
}

QStringList SettingsMapper::check(const Settings& file, bool withAsymmetry) const
{
    QStringList texts;
    for (const Refusal& refusal : refusals(file, withAsymmetry))
        texts << refusal.text;
    return texts;
}

QList<SettingsMapper::Refusal> SettingsMapper::refusals(
    const Settings& file, bool withAsymmetry) const
{
    return refusals(file, withAsymmetry,
        [this](SettingKey key, std::optional<double> nominal) { return limits(key, nominal); });
}
SettingsMapper::Limits SettingsMapper::limits(
    SettingKey key, const DeviceModel& model, double nominalCurrent)
{
    switch (key) {
    case SettingKey::TripClass:
        return {0.0, toNumber(model.maxTripClass)};
    case SettingKey::NominalCurrent:
        return {MinimumCurrent, model.maxNominalCurrent};
    case SettingKey::UndercurrentThreshold:
    case SettingKey::AsymmetryThreshold:
        return {MinimumCurrent, nominalCurrent};
    case SettingKey::UndervoltageThreshold:
    case SettingKey::OvervoltageThreshold:
        return {MinimumVoltage, MaximumVoltage};
    case SettingKey::UndercurrentFaultType:
    case SettingKey::UndervoltageFaultType:
    case SettingKey::OvervoltageFaultType:
    case SettingKey::AsymmetryFaultType:
        return {toNumber(FaultType::Warning), toNumber(FaultType::Error)};
    default:
        return {0.0, 1.0};
    }
}

QStringList SettingsMapper::check(const Settings& file, const DeviceModel& model)
{
    QStringList texts;
    const auto limitsOf = [&model](SettingKey key, std::optional<double> nominal) {
        return limits(key, model, nominal.value_or(model.maxNominalCurrent));
    };
    for (const Refusal& refusal : refusals(file, model.loadAsymmetry, limitsOf))
        texts << refusal.text;
    return texts;
}

QList<SettingsMapper::Refusal> SettingsMapper::refusals(
    const Settings& file, bool withAsymmetry, const LimitsOf& limitsOf)
{
    QList<Refusal> wrong;
    const std::optional<double> nominal = fileValue(file, SettingKey::NominalCurrent);
    for (const SettingKey key : keys()) {
        if (isAsymmetry(key) && !withAsymmetry)
            continue;
        const std::optional<double> value = fileValue(file, key);
        if (!value)
            continue;
        const Limits range = limitsOf(key, nominal);
        // Written so that NaN fails. A float's nearest double may lie a hair outside.
        const double slack = 1e-6 * std::max(1.0, std::fabs(range.maximum));
        if (*value >= range.minimum - slack && *value <= range.maximum + slack)
            continue;
        wrong << Refusal {key,
            translated(QT_TRANSLATE_NOOP("SettingsMapper", "%1: %2 is outside %3 to %4."))
                .arg(name(key), text(key, *value), text(key, range.minimum),
                    text(key, range.maximum))};
    }
    return wrong;
}

void SettingsMapper::write(SettingKey key, double value)
{
    visit(m_model, key, [value](auto& setting) {
        using T = std::decay_t<decltype(setting.getValue())>;
        setting.setValue(fromNumber<T>(value));
        setting.transmit();
        return 0.0;
    });
}

} // namespace Application::R58
