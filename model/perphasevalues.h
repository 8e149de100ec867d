#pragma once

#include "model/measurementphasevalue.h"

#include <array>
#include <atomic>
#include <cstdint>

namespace Model::Database::Measurement {

// The last value measured on each phase, for a measured value the device streams phase after
// phase (a phase report, then the value). The device sends the three phases back to back, so
// by the time a screen handles the value of one phase the value itself has often moved on to
// the next; the screen reads that phase's own value from here. Written on the receive thread
// and read on the GUI thread, hence the atomics.
class PerPhaseValues
{
public:
    static constexpr std::uint8_t Count = 3;

    PerPhaseValues(const PhaseValue& phase, float value) : m_phase(phase) { fill(value); }

    // Files the value under the phase the device reported last; an "all phases" report or an
    // unknown one files nothing.
    void store(float value)
    {
        const auto phase = static_cast<std::uint8_t>(m_phase.getValue());
        if (phase < Count)
            m_values[phase].store(value, std::memory_order_relaxed);
    }

    [[nodiscard]] float load(std::uint8_t phase) const
    {
        return phase < Count ? m_values[phase].load(std::memory_order_relaxed) : 0.0f;
    }

    void fill(float value)
    {
        for (std::atomic<float>& stored : m_values)
            stored.store(value, std::memory_order_relaxed);
    }

private:
    const PhaseValue& m_phase;
    std::array<std::atomic<float>, Count> m_values;
};

} // namespace Model::Database::Measurement
