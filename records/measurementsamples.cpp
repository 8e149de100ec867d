#include "records/measurementsamples.h"

namespace Records {

void MeasurementSamples::add(const MeasurementSample& sample)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    if (m_samples.size() >= Capacity) {
        ++m_dropped;
        return;
    }
    m_samples.push_back(sample);
}

std::vector<MeasurementSample> MeasurementSamples::takeAll()
{
    std::vector<MeasurementSample> taken;
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        taken.swap(m_samples);
    }
    return taken;
}

quint64 MeasurementSamples::takeDropped()
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    const quint64 dropped = m_dropped;
    m_dropped = 0;
    return dropped;
}

} // namespace Records
