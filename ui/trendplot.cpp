#include "ui/trendplot.h"

#include <QDateTime>
#include <QEvent>
#include <QLocale>
#include <QPen>
#include <QTimer>
#include <qwt_legend.h>
#include <qwt_picker_machine.h>
#include <qwt_plot_canvas.h>
#include <qwt_plot_curve.h>
#include <qwt_plot_grid.h>
#include <qwt_plot_picker.h>
#include <qwt_scale_draw.h>
#include <qwt_scale_engine.h>
#include <qwt_series_data.h>
#include <qwt_text.h>

#include <algorithm>
#include <cmath>
#include <utility>

using Records::MeasurementSample;
using Records::TrendHistory;
using Records::TrendSeries;

namespace {

// The page's colours: accent orange, dark blue text, and a lighter blue.
const std::array<QColor, 3> LineColours {
    QColor(0xef, 0x7c, 0x00), QColor(0x20, 0x42, 0x53), QColor(0x4f, 0x9a, 0xc4)};

// Without values yet the axis shows a range typical of the quantity.
struct Range
{
    double low;
    double high;
    // The least span the axis shows, so that a steady value is not blown up into noise.
    double least;
};
constexpr std::array<Range, 3> DefaultRanges {
    Range {0.0, 400.0, 10.0}, Range {0.0, 10.0, 1.0}, Range {0.0, 10.0, 1.0}};

// Space above and below the values, as a share of their span.
constexpr double Margin = 0.1;

// Values further apart than this are not joined by a line: the device did not stream this
// quantity in between (another quantity was on screen, or the device was away). A device that
// streams sends many values a second; the simulator's pace is no guide, so the limit is generous.
constexpr double GapLimit = 2.0; // seconds
// Two redraws a second move a 30 s window in steps of about 1 % of its width, as a trend
// recorder's chart moves; more would cost eight plots in view a point of a core for little.
constexpr qint64 RedrawInterval = 500; // milliseconds

// The time axis runs from the window's length before the right edge up to it, in seconds, with
// about six steps between its labels.
double tickStep(int windowSeconds)
{
    for (const double step : {1.0, 2.0, 5.0, 10.0, 15.0, 20.0, 30.0, 60.0, 120.0, 300.0, 600.0}) {
        if (step * 6.0 >= windowSeconds)
            return step;
    }
    return 600.0 * std::ceil(windowSeconds / 3600.0);
}

// A curve that leaves the gaps in its values open instead of bridging them with a straight line.
class GapCurve : public QwtPlotCurve
{
public:
    void drawSeries(QPainter* painter, const QwtScaleMap& xMap, const QwtScaleMap& yMap,
        const QRectF& canvasRect, int from, int to) const override
    {
        if (to < 0)
            to = int(dataSize()) - 1;
        int start = std::max(0, from);
        for (int i = start + 1; i <= to; ++i) {
            if (sample(size_t(i)).x() - sample(size_t(i - 1)).x() > GapLimit) {
                QwtPlotCurve::drawSeries(painter, xMap, yMap, canvasRect, start, i - 1);
                start = i;
            }
        }
        if (start <= to)
            QwtPlotCurve::drawSeries(painter, xMap, yMap, canvasRect, start, to);
    }
};

class Picker : public QwtPlotPicker
{
public:
    explicit Picker(TrendPlot* plot)
        : QwtPlotPicker(QwtPlot::xBottom, QwtPlot::yLeft, QwtPlotPicker::VLineRubberBand,
            QwtPicker::AlwaysOn, plot->canvas()),
          m_plot(plot)
    {
        setStateMachine(new QwtPickerTrackerMachine);
        setRubberBandPen(QPen(QColor(0x87, 0x87, 0x87), 1, Qt::DashLine));
        setTrackerPen(QPen(QColor(0x20, 0x42, 0x53)));
    }

protected:
    QwtText trackerTextF(const QPointF& position) const override
    {
        QwtText text(m_plot->valuesAt(position.x()));
        QColor background(Qt::white);
        background.setAlpha(220);
        text.setBackgroundBrush(background);
        text.setBorderPen(QPen(QColor(0xef, 0x7c, 0x00)));
        text.setRenderFlags(Qt::AlignLeft);
        return text;
    }

private:
    TrendPlot* m_plot;
};

} // namespace

// One curve's view of a series: only the points in the plot's window, in seconds before its
// right edge, and of those no more than the canvas can show. Where the window holds more points
// than the canvas has pixel columns (a 10 min window holds 12,000 per line), each column keeps
// the lowest and the highest of its points, in the order they came, and the newest point is
// kept: the line still reaches every peak and ends at the latest value, and a redraw strokes a
// few hundred segments instead of thousands.
class TrendPlot::SeriesData : public QwtSeriesData<QPointF>
{
public:
    void set(const TrendSeries& series, double from, double to, int columns)
    {
        m_points.clear();
        m_low = INFINITY;
        m_high = -INFINITY;
        // One point before the window, so that the line enters it from the left edge.
        std::size_t first = series.lowerBound(from);
        first = first > 0 ? first - 1 : 0;
        const std::size_t end = std::min(series.size(), series.lowerBound(to) + 1);
        columns = std::max(1, columns);
        const double columnWidth = (to - from) / columns;
        const bool thin = end > first && end - first > 2 * std::size_t(columns);
        QPointF low;
        QPointF high;
        std::size_t lowIndex = 0;
        std::size_t highIndex = 0;
        double column = NAN;
        const auto closeColumn = [&] {
            if (std::isnan(column))
                return;
            m_points.push_back(relative(lowIndex <= highIndex ? low : high, to));
            if (lowIndex != highIndex)
                m_points.push_back(relative(lowIndex <= highIndex ? high : low, to));
        };
        for (std::size_t i = first; i < end; ++i) {
            const QPointF point = series.point(i);
            if (point.x() >= from) {
                m_low = std::min(m_low, point.y());
                m_high = std::max(m_high, point.y());
            }
            if (!thin) {
                m_points.push_back(relative(point, to));
                continue;
            }
            const double pointColumn = std::floor((point.x() - from) / columnWidth);
            if (pointColumn != column) {
                closeColumn();
                column = pointColumn;
                low = high = point;
                lowIndex = highIndex = i;
            } else if (point.y() < low.y()) {
                low = point;
                lowIndex = i;
            } else if (point.y() > high.y()) {
                high = point;
                highIndex = i;
            }
        }
        if (thin) {
            closeColumn();
            // The line ends at the newest value, whether or not it is its column's extreme.
            if (std::max(lowIndex, highIndex) + 1 < end)
                m_points.push_back(relative(series.point(end - 1), to));
        }
        d_boundingRect = QRectF(1.0, 1.0, -2.0, -2.0); // invalid: not asked for
    }
    [[nodiscard]] size_t size() const override { return m_points.size(); }
    [[nodiscard]] QPointF sample(size_t index) const override { return m_points[index]; }
    [[nodiscard]] QRectF boundingRect() const override { return d_boundingRect; }
    // The lowest and the highest value within the window; low() > high() if there is none.
    [[nodiscard]] double low() const { return m_low; }
    [[nodiscard]] double high() const { return m_high; }

private:
    static QPointF relative(const QPointF& point, double edge)
    {
        return {(point.x() - edge) / 1000.0, point.y()};
    }

    std::vector<QPointF> m_points;
    double m_low = INFINITY;
    double m_high = -INFINITY;
};

// Numbers with the locale's decimal sign and a true minus sign, as the time axis writes them.
QString axisNumber(double value)
{
    QString text = QLocale().toString(value, 'g', 6);
    text.replace(QLocale().negativeSign(), QStringLiteral("\u2212"));
    return text;
}

class ValueScale : public QwtScaleDraw
{
public:
    [[nodiscard]] QwtText label(double value) const override
    {
        // A tick at zero can come out as a rounding error's -1e-17.
        return axisNumber(std::fabs(value) < 1e-9 ? 0.0 : value);
    }
};

// The time axis: seconds (minutes for long windows) before the right edge, which is now while
// the plot follows the device and the moment of the pause while it is paused. An axis that
// stays where it is need not be laid out and labelled anew at each redraw, which with the clock
// times moving along it was most of a redraw's cost; the cursor shows the clock time.
class TrendPlot::TimeScale : public QwtScaleDraw
{
public:
    TimeScale(int windowSeconds, QString edge)
        : m_minutes(windowSeconds >= 300), m_edge(std::move(edge))
    {
    }
    [[nodiscard]] QwtText label(double value) const override
    {
        if (std::fabs(value) < 1e-6)
            return m_edge;
        return m_minutes ? TrendPlot::tr("%1 min").arg(axisNumber(value / 60.0))
                         : TrendPlot::tr("%1 s").arg(axisNumber(value));
    }

private:
    bool m_minutes;
    QString m_edge;
};

TrendPlot::TrendPlot(QWidget* parent) : QwtPlot(parent)
{
    setAutoReplot(false);
    setCanvasBackground(Qt::white);
    if (auto* frame = qobject_cast<QwtPlotCanvas*>(canvas())) {
        frame->setFrameStyle(QFrame::NoFrame);
        // The canvas paints straight into the window: a pixmap of its own would be filled and
        // copied on every redraw, which costs more than drawing the few hundred points again
        // when the cursor's tracker moves over it.
        frame->setPaintAttribute(QwtPlotCanvas::BackingStore, false);
    }

    auto* grid = new QwtPlotGrid;
    grid->setMajorPen(QColor(0xe6, 0xe6, 0xe6), 1, Qt::SolidLine);
    grid->attach(this);

    setAxisMaxMinor(QwtPlot::xBottom, 0);
    setAxisScaleDraw(QwtPlot::yLeft, new ValueScale);

    for (std::size_t line = 0; line < m_curves.size(); ++line) {
        auto* curve = new GapCurve;
        curve->setPen(LineColours[line], 1.0);
        curve->setRenderHint(QwtPlotItem::RenderAntialiased, true);
        curve->setPaintAttribute(QwtPlotCurve::ClipPolygons, true);
        curve->setPaintAttribute(QwtPlotCurve::FilterPoints, true);
        m_data[line] = new SeriesData;
        curve->setData(m_data[line]); // the curve owns its data
        curve->attach(this);
        m_curves[line] = curve;
    }
    insertLegend(new QwtLegend, QwtPlot::TopLegend);
    m_picker = new Picker(this);

    m_end = double(QDateTime::currentMSecsSinceEpoch());
    retranslate();
    updateTimeAxis();
    setPage(Page::Voltage);
}

TrendPlot::~TrendPlot() = default;

void TrendPlot::addSamples(const std::vector<MeasurementSample>& samples)
{
    for (const MeasurementSample& sample : samples)
        m_history.add(sample);
    if (!samples.empty())
        m_changed = true;
}

int TrendPlot::firstSeries() const
{
    return 3 * int(m_page);
}

void TrendPlot::setPage(Page page)
{
    if (page != m_page)
        m_fitAxis = true;
    m_page = page;
    retranslate();
    // The curves take the new quantity's values at once: waiting for the next redraw would
    // show the old values under the new axis and legend. A paused plot shows the new quantity
    // at the moment of the pause.
    if (!m_paused) {
        m_end = double(QDateTime::currentMSecsSinceEpoch());
        m_lastRedraw.start();
    }
    m_changed = false;
    rescale();
    replot();
}

void TrendPlot::setWindow(int seconds)
{
    m_windowSeconds = std::max(1, seconds);
    m_changed = true;
    updateTimeAxis();
    rescale();
    replot();
}

void TrendPlot::setPaused(bool paused)
{
    m_paused = paused;
    m_changed = true;
    // The right edge is named by the moment of the pause, or again as now.
    updateTimeAxis();
    if (paused)
        replot();
    else
        refresh();
}

void TrendPlot::refresh()
{
    if (m_paused || !m_changed || !isVisible())
        return;
    const qint64 interval = redrawInterval();
    if (m_lastRedraw.isValid() && m_lastRedraw.elapsed() < interval) {
        // The last values of a stream that stops now are drawn all the same.
        if (!m_redrawPending) {
            m_redrawPending = true;
            QTimer::singleShot(interval - m_lastRedraw.elapsed(), this, [this] {
                m_redrawPending = false;
                refresh();
            });
        }
        return;
    }
    redraw();
}

qint64 TrendPlot::redrawInterval() const
{
    // A long window moves by less than a pixel in 500 ms: it is redrawn when its newest values
    // have moved by one pixel column (about once a second for 10 min).
    return std::max(
        RedrawInterval, qint64(1000.0 * m_windowSeconds / std::max(1, canvas()->width())));
}

void TrendPlot::redraw()
{
    m_lastRedraw.start();
    m_changed = false;
    m_end = double(QDateTime::currentMSecsSinceEpoch());
    rescale();
    replot();
}

void TrendPlot::rescale()
{
    const double from = m_end - 1000.0 * m_windowSeconds;
    double low = INFINITY;
    double high = -INFINITY;
    const int columns = canvas()->width();
    for (std::size_t line = 0; line < m_curves.size(); ++line) {
        m_data[line]->set(m_history.series(firstSeries() + int(line)), from, m_end, columns);
        low = std::min(low, m_data[line]->low());
        high = std::max(high, m_data[line]->high());
    }
    const Range defaults = DefaultRanges[std::size_t(m_page)];
    const bool fit = std::exchange(m_fitAxis, false);
    if (!(low <= high)) {
        setAxisScale(QwtPlot::yLeft, defaults.low, defaults.high);
    } else {
        const double span = std::max(high - low, defaults.least);
        // The axis stays while every value fits on it and they fill at least half of it: an
        // axis that followed every wobble would be hard to read, and each change of it lays
        // the plot out anew.
        const QwtInterval shown = axisInterval(QwtPlot::yLeft);
        if (fit || low < shown.minValue() || high > shown.maxValue()
            || span * (1.0 + 2.0 * Margin) < 0.5 * shown.width()) {
            const double middle = (low + high) / 2.0;
            // The bounds stay where the margins put them (a line at zero keeps its distance
            // from the axis); the ticks fall on round values within them.
            double bottom = middle - span * (0.5 + Margin);
            double top = middle + span * (0.5 + Margin);
            // Values that are all at or above zero (a voltage, a current, a motor at rest)
            // get no negative half: the axis starts at zero and keeps its span.
            if (low >= 0.0 && bottom < 0.0) {
                top -= bottom;
                bottom = 0.0;
            }
            setAxisScale(QwtPlot::yLeft, bottom, top);
        }
    }
}

void TrendPlot::updateTimeAxis()
{
    const QString edge = m_paused
        ? QDateTime::fromMSecsSinceEpoch(qint64(m_end)).toString(QStringLiteral("hh:mm:ss"))
        : tr("now");
    setAxisScaleDraw(QwtPlot::xBottom, new TimeScale(m_windowSeconds, edge));
    setAxisScale(QwtPlot::xBottom, -m_windowSeconds, 0.0, tickStep(m_windowSeconds));
}

QString TrendPlot::valuesAt(double position) const
{
    const double x = m_end + 1000.0 * position;
    QString text = QDateTime::fromMSecsSinceEpoch(qint64(std::llround(x)))
                       .toString(QStringLiteral("hh:mm:ss.zzz"));
    for (std::size_t line = 0; line < m_curves.size(); ++line) {
        const TrendSeries& series = m_history.series(firstSeries() + int(line));
        const std::size_t index = series.lowerBound(x);
        if (index >= series.size())
            continue;
        std::size_t nearest = index;
        if (index > 0
            && std::fabs(series.point(index - 1).x() - x) < std::fabs(series.point(index).x() - x))
            nearest = index - 1;
        // A gap in the values shows no value rather than a distant one.
        if (std::fabs(series.point(nearest).x() - x) > 2.0 * TrendHistory::Bucket)
            continue;
        text += QLatin1Char('\n') + m_curves[line]->title().text() + QStringLiteral(": ")
            + QLocale().toString(series.point(nearest).y(), 'f', m_page == Page::Voltage ? 0 : 2);
    }
    return text;
}

void TrendPlot::retranslate()
{
    QString text;
    switch (m_page) {
    case Page::Voltage:
        text = tr("Voltage (V)");
        break;
    case Page::Current:
        text = tr("Current (A)");
        break;
    case Page::Power:
        text = tr("Power (kW, kVAr, kVA)");
        break;
    }
    // On one line: Qwt wraps an axis title by default, and a long one ("Leistung (kW, kVAr,
    // kVA)") then stood in two columns beside the scale.
    QwtText title(text);
    title.setRenderFlags(Qt::AlignHCenter | Qt::TextExpandTabs);
    setAxisTitle(QwtPlot::yLeft, title);
}

void TrendPlot::setLineTitles(const std::array<QString, 3>& titles)
{
    for (std::size_t line = 0; line < m_curves.size(); ++line)
        m_curves[line]->setTitle(titles[line]);
    if (m_paused || !isVisible())
        updateLegend();
}

void TrendPlot::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) {
        retranslate();
        updateTimeAxis();
    }
    QwtPlot::changeEvent(event);
}

void TrendPlot::showEvent(QShowEvent* event)
{
    // What arrived while the plot was out of view is drawn as it comes back.
    m_changed = true;
    // The device screen's style sheet gives every widget a styled background, and a styled
    // canvas fills itself through the style sheet on each redraw. Its own white fill looks the
    // same and costs less. Polishing (done by now) marks the canvas styled and turns its own
    // fill off; both are set back.
    canvas()->setAttribute(Qt::WA_StyledBackground, false);
    canvas()->setAutoFillBackground(true);
    QwtPlot::showEvent(event);
    refresh();
}
