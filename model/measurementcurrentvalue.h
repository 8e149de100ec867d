#pragma once

#include "model/modeldisplayvalue.h"
#include "model/perphasevalues.h"

namespace Model::Database::Measurement {

// Measured current, in amperes.
class CurrentValue final : public Interfaces::ModelDisplayValue<float>
{
public:
    // The phase is the measurement group's own phase value, which the device reports before
    // each measured value.
    CurrentValue(Application& application, Registry& registry, const PhaseValue& phase)
        : ModelDisplayValue(Interfaces::ModelValueID::MeasurementCurrent, 0.0f, 0.0f, 100.0f,
            application, registry),
          m_phases(phase, 0.0f)
    {
    }

    void receive(const std::uint8_t* data, std::uint64_t length) override
    {
        ModelDisplayValue::receive(data, length);
        m_phases.store(getValue());
    }

    void reset() override
    {
        ModelDisplayValue::reset();
        m_phases.fill(getValue());
    }

    // The value last measured on a phase (0 to 2), and its text.
    [[nodiscard]] float getValueOfPhase(std::uint8_t phase) const { return m_phases.load(phase); }
    [[nodiscard]] QString toStringOfPhase(std::uint8_t phase) const
    {
        return toString(m_phases.load(phase));
    }

private:
    PerPhaseValues m_phases;
};

} // namespace Model::Database::Measurement
