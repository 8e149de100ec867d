#include "config/thresholdsettings.h"

#include "config/settings.h"

#include <QJsonObject>
#include <QJsonValue>

namespace Application::R58 {

namespace {

const QString EnableKey = QStringLiteral("Enable");
const QString ThresholdKey = QStringLiteral("Threshold");
const QString FaultTypeKey = QStringLiteral("FaultType");

} // namespace

int ThresholdSettings::read(const QJsonObject& json, QStringList* refused)
{
    int taken = 0;
    if (json.value(EnableKey).isBool()) {
        m_enable = json.value(EnableKey).toBool();
        ++taken;
    }
    if (const auto threshold = Settings::toFloat(json.value(ThresholdKey))) {
        m_threshold = *threshold;
        ++taken;
    }
    if (const auto faultType = Settings::toByte(json.value(FaultTypeKey))) {
        m_faultType = FaultType(*faultType);
        ++taken;
    } else if (json.value(FaultTypeKey).isDouble() && refused) {
        refused->append(FaultTypeKey);
    }
    return taken;
}

void ThresholdSettings::write(QJsonObject& json) const
{
    json[EnableKey] = m_enable;
    json[ThresholdKey] = Settings::cutToTwoDecimals(m_threshold);
    json[FaultTypeKey] = int(m_faultType);
}

} // namespace Application::R58
