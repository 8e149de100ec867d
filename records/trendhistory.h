#pragma once

#include "records/measurementsamples.h"

#include <QPointF>

#include <array>
#include <cstddef>
#include <vector>

namespace Records {

// The recent course of one measured value for a trend plot, in bounded memory: the values are
// gathered into buckets of a fixed time, and each bucket keeps only its lowest and its highest
// value, in the order they came. A plot of them draws every peak of the raw values, and the
// memory stays the same however long the screen streams. x is milliseconds since the epoch.
class TrendSeries
{
public:
    TrendSeries(double bucketMilliseconds, double spanMilliseconds);

    void add(double x, double y);
    void clear();

    // The kept points, oldest first: the closed buckets, then the bucket being filled.
    [[nodiscard]] std::size_t size() const;
    [[nodiscard]] QPointF point(std::size_t index) const;
    // The most points size() can reach.
    [[nodiscard]] std::size_t capacity() const { return m_capacity + 2; }
    // The index of the first point at or after x (size() if none).
    [[nodiscard]] std::size_t lowerBound(double x) const;

private:
    void closeBucket();
    void push(const QPointF& point);

    double m_bucket;
    std::size_t m_capacity;
    std::vector<QPointF> m_ring; // empty until the first point, then m_capacity long
    std::size_t m_count = 0; // points kept in the ring
    std::size_t m_first = 0;
    // The bucket being filled: its number, and its lowest and highest point so far.
    bool m_open = false;
    qint64 m_bucketNumber = 0;
    QPointF m_low;
    QPointF m_high;
};

// The trend of every measured value of one device: three voltages, three currents and the
// three powers, nine series, each covering the longest window a plot offers.
class TrendHistory
{
public:
    static constexpr int SeriesCount = 9;
    // The longest window a plot shows, and the time one bucket covers: a tenth of a second,
    // finer than a plot's pixel columns in any window it offers.
    static constexpr double Span = 10 * 60 * 1000.0; // milliseconds
    static constexpr double Bucket = 100.0; // milliseconds

    TrendHistory();

    void add(const MeasurementSample& sample);
    // Series 0-2: voltage L1-L3, 3-5: current L1-L3, 6-8: active, reactive, apparent power.
    [[nodiscard]] const TrendSeries& series(int index) const;
    [[nodiscard]] static int seriesIndex(Quantity quantity, std::uint8_t phase);

private:
    std::array<TrendSeries, SeriesCount> m_series;
};

} // namespace Records
