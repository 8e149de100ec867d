#pragma once

#include "model/modeltypes.h"

#include <QStringList>

class QJsonObject;

namespace Application::R58 {

// One threshold protection in a settings file: enable, threshold and what a
// violation counts as. The three protections share this form.
class ThresholdSettings
{
public:
    using FaultType = Model::Interfaces::ModelTypes::Settings::FaultType;

    virtual ~ThresholdSettings() = default;

    [[nodiscard]] bool getEnable() const { return m_enable; }
    void setEnable(bool enable) { m_enable = enable; }
    [[nodiscard]] float getThreshold() const { return m_threshold; }
    void setThreshold(float threshold) { m_threshold = threshold; }
    [[nodiscard]] FaultType getFaultType() const { return m_faultType; }
    void setFaultType(FaultType faultType) { m_faultType = faultType; }

    // Takes each key only when present with the expected type; returns how many it took. A
    // number that is no value of its field is not taken; its key is added to `refused`.
    int read(const QJsonObject& json, QStringList* refused = nullptr);
    void write(QJsonObject& json) const;

private:
    bool m_enable = false;
    float m_threshold = 0.0f;
    FaultType m_faultType = FaultType(0);
};

// Undercurrent threshold in amperes.
class UndercurrentSettings : public ThresholdSettings
{
};

// Undervoltage threshold in volts.
class UndervoltageSettings : public ThresholdSettings
{
};

// Overvoltage threshold in volts.
class OvervoltageSettings : public ThresholdSettings
{
};

} // namespace Application::R58
