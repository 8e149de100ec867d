#pragma once

#include "model/measurementactivepowervalue.h"
#include "model/measurementapparentpowervalue.h"
#include "model/measurementcurrentvalue.h"
#include "model/measurementphasevalue.h"
#include "model/measurementreactivepowervalue.h"
#include "model/measurementvoltagevalue.h"
#include "model/model.h"

namespace Model::Database {

// The measurements the device pushes after a start action. The three powers
// are never asked for: they arrive only while a power measurement runs.
class ModelMeasurement final : public Interfaces::Model
{
public:
    ModelMeasurement(Application& application, Interfaces::ModelIPCValueObserver& registry);
    ~ModelMeasurement() override = default;

    void init() override;
    void reset() override;

    [[nodiscard]] Measurement::CurrentValue& getCurrentValue() { return m_currentValue; }
    [[nodiscard]] Measurement::VoltageValue& getVoltageValue() { return m_voltageValue; }
    [[nodiscard]] Measurement::ActivePowerValue& getActivePowerValue()
    {
        return m_activePowerValue;
    }
    [[nodiscard]] Measurement::ApparentPowerValue& getApparentPowerValue()
    {
        return m_apparentPowerValue;
    }
    [[nodiscard]] Measurement::ReactivePowerValue& getReactivePowerValue()
    {
        return m_reactivePowerValue;
    }
    [[nodiscard]] Measurement::PhaseValue& getPhaseValue() { return m_phaseValue; }

private:
    Measurement::CurrentValue m_currentValue;
    Measurement::VoltageValue m_voltageValue;
    Measurement::ActivePowerValue m_activePowerValue;
    Measurement::ApparentPowerValue m_apparentPowerValue;
    Measurement::ReactivePowerValue m_reactivePowerValue;
    Measurement::PhaseValue m_phaseValue;
};

} // namespace Model::Database
