#pragma once

#include "model/measurementphasevalue.h"
#include "model/modeldisplayvalue.h"

#include <array>
#include <atomic>
#include <cstdint>

namespace Model::Database::Measurement {

// A measured value the device streams phase after phase (a phase report, then the value), which
// also keeps the value last measured on each phase. The device sends the three phases back to
// back, so by the time a screen handles the value of one phase the current value has often moved
// on to the next; the screen reads that phase's own value instead. Written on the receive thread
// and read on the GUI thread, hence the atomics.
class PhasedMeasurementValue : public Interfaces::ModelDisplayValue<float>
{
public:
    static constexpr std::uint8_t PhaseCount = 3;

    // The phase is the measurement group's own phase value.
    PhasedMeasurementValue(Interfaces::ModelValueID id, float maximum, Application& application,
        Registry& registry, const PhaseValue& phase)
        : ModelDisplayValue(id, 0.0f, 0.0f, maximum, application, registry), m_phase(phase)
    {
        fill(0.0f);
    }

    // Files the value under the phase reported last as well; an "all phases" report or an
    // unknown phase files nothing.
    void receive(const std::uint8_t* data, std::uint64_t length) override
    {
        ModelDisplayValue::receive(data, length);
        const auto phase = static_cast<std::uint8_t>(m_phase.getValue());
        if (phase < PhaseCount)
            m_phases[phase].store(getValue(), std::memory_order_relaxed);
    }

    void reset() override
    {
        ModelDisplayValue::reset();
        fill(getValue());
    }

    // The value last measured on a phase (0 to 2), and its text.
    [[nodiscard]] float getValueOfPhase(std::uint8_t phase) const
    {
        return phase < PhaseCount ? m_phases[phase].load(std::memory_order_relaxed) : 0.0f;
    }
    [[nodiscard]] QString toStringOfPhase(std::uint8_t phase) const
    {
        return toString(getValueOfPhase(phase));
    }

private:
    void fill(float value)
    {
        for (std::atomic<float>& stored : m_phases)
            stored.store(value, std::memory_order_relaxed);
    }

    const PhaseValue& m_phase;
    std::array<std::atomic<float>, PhaseCount> m_phases;
};

} // namespace Model::Database::Measurement
