#include "config/settingsdocument.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

namespace Application::R58 {

namespace {

using TripClass = Model::Interfaces::ModelTypes::Settings::TripClass;
using FaultType = Model::Interfaces::ModelTypes::Settings::FaultType;

// Starting values of a new file: the usual class for standard motors, every monitoring off, the
// voltage thresholds at 230 V less and more 10 %; the nominal current is the user's to set from
// the motor's plate and starts at the model's highest.
constexpr TripClass StartingTripClass = TripClass::Class10A;
constexpr float StartingThresholdCurrent = 0.1f; // amperes, the lowest offered
constexpr float StartingUndervoltage = 207.0f; // volts
constexpr float StartingOvervoltage = 253.0f; // volts

ThresholdSettings startingGroup(float threshold)
{
    ThresholdSettings group;
    group.setEnable(false);
    group.setThreshold(threshold);
    group.setFaultType(FaultType::Warning);
    return group;
}

Settings startingSettings(const DeviceModel& model)
{
    Settings settings;
    settings.setTripClass(StartingTripClass);
    settings.setNominalCurrent(float(model.maxNominalCurrent));
    settings.setOverloadReset(false);
    static_cast<ThresholdSettings&>(settings.getUndercurrentSettings())
        = startingGroup(StartingThresholdCurrent);
    static_cast<ThresholdSettings&>(settings.getUndervoltageSettings())
        = startingGroup(StartingUndervoltage);
    static_cast<ThresholdSettings&>(settings.getOvervoltageSettings())
        = startingGroup(StartingOvervoltage);
    if (model.loadAsymmetry)
        settings.setLoadAsymmetry(startingGroup(StartingThresholdCurrent));
    return settings;
}

} // namespace

SettingsDocument::SettingsDocument(const DeviceModel& model)
    : m_model(&model), m_settings(startingSettings(model))
{
}

std::optional<quint32> SettingsDocument::articleNumberOf(const QString& path)
{
    Settings settings;
    if (!settings.load(path))
        return std::nullopt;
    return settings.getArticleNumber();
}

bool SettingsDocument::load(const QString& path)
{
    const QString name = QDir::toNativeSeparators(path);
    Settings settings = startingSettings(*m_model);
    if (!settings.load(path)) {
        m_error = tr("%1 could not be read.").arg(name);
        return false;
    }
    if (settings.getLoadedCount() == 0 && settings.getRefusedKeys().isEmpty()) {
        m_error = tr("%1 holds no device settings.").arg(name);
        return false;
    }
    m_refused.clear();
    for (const auto& refused : settings.getRefusedKeys())
        m_refused << tr("\"%1\" holds %2, which is no value of that setting.")
                         .arg(refused.key, QString::number(refused.number));
    m_fileArticle = settings.getArticleNumber();
    // Kept for what it is: the model chosen now is what a save writes.
    settings.setArticleNumber(m_model->articleNumber);
    m_settings = settings;
    m_path = path;
    m_modified = false;
    m_error.clear();
    return true;
}

bool SettingsDocument::save(const QString& path)
{
    m_settings.setArticleNumber(m_model->articleNumber);
    if (!m_settings.save(path)) {
        m_error = tr("The settings could not be written to %1.").arg(QDir::toNativeSeparators(path));
        return false;
    }
    m_path = path;
    m_fileArticle = m_model->articleNumber;
    m_refused.clear();
    m_modified = false;
    m_error.clear();
    return true;
}

QList<SettingKey> SettingsDocument::keys() const
{
    QList<SettingKey> shown;
    for (const SettingKey key : SettingsMapper::keys()) {
        if (key == SettingKey::Softstart
            || (SettingsMapper::isAsymmetry(key) && !m_model->loadAsymmetry))
            continue;
        shown << key;
    }
    return shown;
}

double SettingsDocument::value(SettingKey key) const
{
    return SettingsMapper::fileValue(m_settings, key).value_or(0.0);
}

void SettingsDocument::setValue(SettingKey key, double value)
{
    const std::optional<double> before = SettingsMapper::fileValue(m_settings, key);
    if (before && SettingsMapper::sameValue(key, *before, value))
        return;
    SettingsMapper::setFileValue(m_settings, key, value);
    m_modified = true;
}

SettingsMapper::Limits SettingsDocument::limits(SettingKey key) const
{
    return SettingsMapper::limits(key, *m_model, value(SettingKey::NominalCurrent));
}

QStringList SettingsDocument::problems() const
{
    return m_refused + SettingsMapper::check(m_settings, *m_model);
}

} // namespace Application::R58
