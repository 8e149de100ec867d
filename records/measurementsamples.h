#pragma once

#include <QtGlobal>

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <vector>

namespace Records {

// The measured quantities a device streams, one series per phase or per kind of power.
enum class Quantity : std::uint8_t { Voltage, Current, ActivePower, ReactivePower, ApparentPower };

// One measured value as it arrived: when (milliseconds since the epoch, UTC), what, on which
// phase (0 to 2; 0 for the powers, which are totals) and the value in the unit the screen shows.
struct MeasurementSample
{
    qint64 time = 0;
    Quantity quantity = Quantity::Voltage;
    std::uint8_t phase = 0;
    float value = 0.0f;
};

// Measured values on their way from the link's receive thread, where they arrive, to the GUI
// thread, which takes them all a few times a second for the plot and the recording. One lock
// per value on the receive thread and one per batch on the GUI thread, instead of a queued
// call per value.
class MeasurementSamples
{
public:
    // A GUI thread that does not take the values for this many is stalled; later values are
    // counted as dropped rather than held without limit (about two minutes at a full line).
    static constexpr std::size_t Capacity = 65536;

    void add(const MeasurementSample& sample);
    // Every value added since the last call, oldest first.
    [[nodiscard]] std::vector<MeasurementSample> takeAll();
    // How many values did not fit since the last call.
    [[nodiscard]] quint64 takeDropped();

private:
    std::mutex m_mutex;
    std::vector<MeasurementSample> m_samples;
    quint64 m_dropped = 0;
};

} // namespace Records
