#include "records/trendhistory.h"

#include <algorithm>
#include <cmath>

namespace Records {

TrendSeries::TrendSeries(double bucketMilliseconds, double spanMilliseconds)
    : m_bucket(bucketMilliseconds),
      // Two points per bucket over the span, and one bucket more for the one that is filling.
      m_capacity(2 * (std::size_t(std::ceil(spanMilliseconds / bucketMilliseconds)) + 1))
{
}

void TrendSeries::add(double x, double y)
{
    if (!std::isfinite(x) || !std::isfinite(y))
        return;
    const auto number = qint64(std::floor(x / m_bucket));
    if (m_open && number != m_bucketNumber)
        closeBucket();
    if (!m_open) {
        m_open = true;
        m_bucketNumber = number;
        m_low = m_high = QPointF(x, y);
        return;
    }
    if (y < m_low.y())
        m_low = QPointF(x, y);
    if (y > m_high.y())
        m_high = QPointF(x, y);
}

void TrendSeries::clear()
{
    m_count = 0;
    m_first = 0;
    m_open = false;
}

void TrendSeries::closeBucket()
{
    const bool lowFirst = m_low.x() <= m_high.x();
    push(lowFirst ? m_low : m_high);
    if (m_low != m_high)
        push(lowFirst ? m_high : m_low);
    m_open = false;
}

void TrendSeries::push(const QPointF& point)
{
    // The whole ring is taken with the first point (a screen that never streams keeps none), so
    // that a streaming screen's memory is the same from its first minute to the end of a shift,
    // with no copies as a growing vector would make; once full, the oldest point gives way.
    if (m_ring.empty())
        m_ring.assign(m_capacity, QPointF());
    if (m_count < m_capacity) {
        m_ring[(m_first + m_count) % m_capacity] = point;
        ++m_count;
        return;
    }
    m_ring[m_first] = point;
    m_first = (m_first + 1) % m_capacity;
}

std::size_t TrendSeries::size() const
{
    if (!m_open)
        return m_count;
    return m_count + (m_low == m_high ? 1 : 2);
}

QPointF TrendSeries::point(std::size_t index) const
{
    if (index < m_count)
        return m_ring[(m_first + index) % m_capacity];
    const bool lowFirst = m_low.x() <= m_high.x();
    return (index == m_count) == lowFirst ? m_low : m_high;
}

std::size_t TrendSeries::lowerBound(double x) const
{
    std::size_t low = 0;
    std::size_t high = size();
    while (low < high) {
        const std::size_t middle = low + (high - low) / 2;
        if (point(middle).x() < x)
            low = middle + 1;
        else
            high = middle;
    }
    return low;
}

TrendHistory::TrendHistory()
    : m_series {TrendSeries(Bucket, Span), TrendSeries(Bucket, Span), TrendSeries(Bucket, Span),
        TrendSeries(Bucket, Span), TrendSeries(Bucket, Span), TrendSeries(Bucket, Span),
        TrendSeries(Bucket, Span), TrendSeries(Bucket, Span), TrendSeries(Bucket, Span)}
{
}

int TrendHistory::seriesIndex(Quantity quantity, std::uint8_t phase)
{
    const int line = std::min<int>(phase, 2);
    switch (quantity) {
    case Quantity::Voltage:
        return line;
    case Quantity::Current:
        return 3 + line;
    case Quantity::ActivePower:
        return 6;
    case Quantity::ReactivePower:
        return 7;
    case Quantity::ApparentPower:
        return 8;
    }
    return 0;
}

void TrendHistory::add(const MeasurementSample& sample)
{
    m_series[std::size_t(seriesIndex(sample.quantity, sample.phase))].add(
        double(sample.time), double(sample.value));
}

const TrendSeries& TrendHistory::series(int index) const
{
    return m_series[std::size_t(std::clamp(index, 0, SeriesCount - 1))];
}

} // namespace Records
