#include "config/settings.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <QSaveFile>

#include <cmath>
#include <limits>

namespace Application::R58 {

namespace {

const QString TripClassKey = QStringLiteral("TripClass");
const QString NominalCurrentKey = QStringLiteral("NominalCurrent");
const QString UndercurrentKey = QStringLiteral("Undercurrent");
const QString UndervoltageKey = QStringLiteral("Undervoltage");
const QString OvervoltageKey = QStringLiteral("Overvoltage");
const QString OverloadResetKey = QStringLiteral("OverloadReset");
// Extra keys, beyond the file format's own.
const QString SoftstartKey = QStringLiteral("Softstart");
const QString LoadAsymmetryKey = QStringLiteral("LoadAsymmetry");
const QString ArticleNumberKey = QStringLiteral("ArticleNumber");
// An article number is a whole number of at most eight digits.
constexpr double MaxArticleNumber = 99999999.0;

} // namespace

double Settings::cutToTwoDecimals(float value)
{
    const float scaled = value * 100.0f; // single precision, as the file format has it
    // Outside the integer range (or NaN) the cut has no meaning; keep the value.
    if (!std::isfinite(scaled) || std::fabs(scaled) >= float(std::numeric_limits<int>::max()))
        return double(value);
    return double(static_cast<int>(scaled)) / 100.0;
}

std::optional<float> Settings::toFloat(const QJsonValue& value)
{
    if (!value.isDouble())
        return std::nullopt;
    // Checked before converting: a double outside the float range has no float value.
    const double number = value.toDouble();
    if (!(std::fabs(number) <= double(std::numeric_limits<float>::max())))
        return std::nullopt;
    return float(number);
}

std::optional<std::uint8_t> Settings::toByte(const QJsonValue& value)
{
    if (!value.isDouble())
        return std::nullopt;
    const double number = value.toDouble();
    // Written so that NaN fails.
    if (!(number >= 0.0 && number <= 255.0) || std::trunc(number) != number)
        return std::nullopt;
    return std::uint8_t(number);
}

bool Settings::load(const QString& fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    loadData(file.readAll());
    return true;
}

void Settings::loadData(const QByteArray& data)
{
    m_loadedCount = read(QJsonDocument::fromJson(data).object());
}

bool Settings::save(const QString& fileName) const
{
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    const QByteArray bytes = toData();
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

QByteArray Settings::toData() const
{
    QJsonObject json;
    write(json);
    return QJsonDocument(json).toJson(QJsonDocument::Indented);
}

int Settings::read(const QJsonObject& json)
{
    int taken = 0;
    m_refusedKeys.clear();
    if (const auto tripClass = toByte(json.value(TripClassKey))) {
        m_tripClass = TripClass(*tripClass);
        ++taken;
    } else if (json.value(TripClassKey).isDouble()) {
        m_refusedKeys.append({TripClassKey, json.value(TripClassKey).toDouble()});
    }
    if (const auto current = toFloat(json.value(NominalCurrentKey))) {
        m_nominalCurrent = *current;
        ++taken;
    }
    if (json.value(UndercurrentKey).isObject())
        taken += readGroup(m_undercurrent, UndercurrentKey, json.value(UndercurrentKey).toObject());
    if (json.value(UndervoltageKey).isObject())
        taken += readGroup(m_undervoltage, UndervoltageKey, json.value(UndervoltageKey).toObject());
    if (json.value(OvervoltageKey).isObject())
        taken += readGroup(m_overvoltage, OvervoltageKey, json.value(OvervoltageKey).toObject());
    if (json.value(OverloadResetKey).isBool()) {
        m_overloadReset = json.value(OverloadResetKey).toBool();
        ++taken;
    }
    if (json.value(SoftstartKey).isBool())
        m_softstart = json.value(SoftstartKey).toBool();
    const double article = json.value(ArticleNumberKey).toDouble(-1.0);
    // Written so that NaN fails; any other value names no model and is left out.
    if (article >= 1.0 && article <= MaxArticleNumber && std::trunc(article) == article)
        m_articleNumber = quint32(article);
    if (json.value(LoadAsymmetryKey).isObject()) {
        ThresholdSettings group = m_loadAsymmetry.value_or(ThresholdSettings());
        // Taken only whole: a group that lacks a key would restore what no backup held.
        if (readGroup(group, LoadAsymmetryKey, json.value(LoadAsymmetryKey).toObject()) == 3)
            m_loadAsymmetry = group;
    }
    return taken;
}

int Settings::readGroup(ThresholdSettings& group, const QString& key, const QJsonObject& json)
{
    QStringList refused;
    const int taken = group.read(json, &refused);
    for (const QString& inner : refused)
        m_refusedKeys.append({key + QLatin1Char('/') + inner, json.value(inner).toDouble()});
    return taken;
}

void Settings::write(QJsonObject& json) const
{
    json[TripClassKey] = int(m_tripClass);
    json[NominalCurrentKey] = cutToTwoDecimals(m_nominalCurrent);
    QJsonObject undercurrent;
    m_undercurrent.write(undercurrent);
    json[UndercurrentKey] = undercurrent;
    QJsonObject undervoltage;
    m_undervoltage.write(undervoltage);
    json[UndervoltageKey] = undervoltage;
    QJsonObject overvoltage;
    m_overvoltage.write(overvoltage);
    json[OvervoltageKey] = overvoltage;
    json[OverloadResetKey] = m_overloadReset;
    if (m_softstart)
        json[SoftstartKey] = *m_softstart;
    if (m_loadAsymmetry) {
        QJsonObject asymmetry;
        m_loadAsymmetry->write(asymmetry);
        json[LoadAsymmetryKey] = asymmetry;
    }
    if (m_articleNumber)
        json[ArticleNumberKey] = double(*m_articleNumber);
}

} // namespace Application::R58
