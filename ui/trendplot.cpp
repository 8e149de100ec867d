#include "ui/trendplot.h"

#include <QDateTime>
#include <QEvent>
#include <QPen>
#include <QTimer>
#include <qwt_date.h>
#include <qwt_date_scale_draw.h>
#include <qwt_date_scale_engine.h>
#include <qwt_legend.h>
#include <qwt_picker_machine.h>
#include <qwt_plot_canvas.h>
#include <qwt_plot_curve.h>
#include <qwt_plot_grid.h>
#include <qwt_plot_picker.h>
#include <qwt_scale_engine.h>
#include <qwt_series_data.h>
#include <qwt_text.h>

#include <algorithm>
#include <cmath>

using Model::Live::MeasurementSample;
using Model::Live::TrendHistory;
using Model::Live::TrendSeries;

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
constexpr double GapLimit = 2000.0; // milliseconds
// A redraw every 300 ms moves a 30 s window smoothly enough; each redraw lays out the axes and
// paints the canvas anew, which with eight plots in view is most of the GUI thread's work.
constexpr qint64 RedrawInterval = 300; // milliseconds

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

// One curve's view of a series: only the points in the plot's window, so that a long history
// costs the redraw nothing.
class TrendPlot::SeriesData : public QwtSeriesData<QPointF>
{
public:
    void set(const TrendSeries* series, double from, double to)
    {
        m_series = series;
        const std::size_t size = series->size();
        // One point before the window, so that the line enters it from the left edge.
        const std::size_t first = series->lowerBound(from);
        m_first = first > 0 ? first - 1 : 0;
        m_end = std::min(size, series->lowerBound(to) + 1);
        if (m_end < m_first)
            m_end = m_first;
        d_boundingRect = QRectF(1.0, 1.0, -2.0, -2.0); // invalid: not asked for
    }
    [[nodiscard]] size_t size() const override { return m_series ? m_end - m_first : 0; }
    [[nodiscard]] QPointF sample(size_t index) const override
    {
        return m_series->point(m_first + index);
    }
    [[nodiscard]] QRectF boundingRect() const override { return d_boundingRect; }

private:
    const TrendSeries* m_series = nullptr;
    std::size_t m_first = 0;
    std::size_t m_end = 0;
};

TrendPlot::TrendPlot(QWidget* parent) : QwtPlot(parent)
{
    setAutoReplot(false);
    setCanvasBackground(Qt::white);
    if (auto* frame = qobject_cast<QwtPlotCanvas*>(canvas()))
        frame->setFrameStyle(QFrame::Box | QFrame::Plain);

    auto* grid = new QwtPlotGrid;
    grid->setMajorPen(QColor(0xd9, 0xd9, 0xd9), 1, Qt::DotLine);
    grid->attach(this);

    m_utcOffset = QDateTime::currentDateTime().offsetFromUtc();
    m_timeScale = new QwtDateScaleDraw(Qt::OffsetFromUTC);
    m_timeScale->setUtcOffset(m_utcOffset);
    m_timeScale->setDateFormat(QwtDate::Second, QStringLiteral("hh:mm:ss"));
    m_timeScale->setDateFormat(QwtDate::Minute, QStringLiteral("hh:mm"));
    setAxisScaleDraw(QwtPlot::xBottom, m_timeScale);
    m_timeEngine = new QwtDateScaleEngine(Qt::OffsetFromUTC);
    m_timeEngine->setUtcOffset(m_utcOffset);
    setAxisScaleEngine(QwtPlot::xBottom, m_timeEngine);
    setAxisMaxMinor(QwtPlot::xBottom, 0);

    for (std::size_t line = 0; line < m_curves.size(); ++line) {
        auto* curve = new GapCurve;
        curve->setPen(LineColours[line], 2.0);
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
    m_page = page;
    retranslate();
    m_changed = true;
    // A paused plot shows the new quantity at the moment of the pause.
    const bool paused = m_paused;
    m_paused = false;
    if (paused)
        rescale();
    else
        refresh();
    m_paused = paused;
    if (paused)
        replot();
}

void TrendPlot::setWindow(int seconds)
{
    m_windowSeconds = std::max(1, seconds);
    m_changed = true;
    rescale();
    replot();
}

void TrendPlot::setPaused(bool paused)
{
    m_paused = paused;
    m_changed = true;
    if (!paused)
        refresh();
}

void TrendPlot::refresh()
{
    if (m_paused || !m_changed || !isVisible())
        return;
    if (m_lastRedraw.isValid() && m_lastRedraw.elapsed() < RedrawInterval) {
        // The last values of a stream that stops now are drawn all the same.
        if (!m_redrawPending) {
            m_redrawPending = true;
            QTimer::singleShot(RedrawInterval - m_lastRedraw.elapsed(), this, [this] {
                m_redrawPending = false;
                refresh();
            });
        }
        return;
    }
    m_lastRedraw.start();
    m_changed = false;
    const QDateTime now = QDateTime::currentDateTime();
    m_end = double(now.toMSecsSinceEpoch());
    // Follows a change of daylight saving time while the screen is open.
    if (const int offset = now.offsetFromUtc(); offset != m_utcOffset) {
        m_utcOffset = offset;
        m_timeScale->setUtcOffset(offset);
        m_timeEngine->setUtcOffset(offset);
    }
    rescale();
    replot();
}

void TrendPlot::rescale()
{
    const double from = m_end - 1000.0 * m_windowSeconds;
    double low = INFINITY;
    double high = -INFINITY;
    for (std::size_t line = 0; line < m_curves.size(); ++line) {
        const TrendSeries& series = m_history.series(firstSeries() + int(line));
        m_data[line]->set(&series, from, m_end);
        for (std::size_t i = series.lowerBound(from); i < series.size(); ++i) {
            const double y = series.point(i).y();
            low = std::min(low, y);
            high = std::max(high, y);
        }
    }
    const Range defaults = DefaultRanges[std::size_t(m_page)];
    if (!(low <= high)) {
        low = defaults.low;
        high = defaults.high;
    } else {
        const double span = std::max(high - low, defaults.least);
        const double middle = (low + high) / 2.0;
        low = middle - span * (0.5 + Margin);
        high = middle + span * (0.5 + Margin);
    }
    // The bounds stay where the margins put them (a line at zero keeps its distance from the
    // axis); the ticks fall on round values within them.
    setAxisScale(QwtPlot::yLeft, low, high);
    setAxisScale(QwtPlot::xBottom, from, m_end);
}

QString TrendPlot::valuesAt(double x) const
{
    QString text = QwtDate::toDateTime(x, Qt::LocalTime).toString(QStringLiteral("hh:mm:ss.zzz"));
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
    switch (m_page) {
    case Page::Voltage:
        setAxisTitle(QwtPlot::yLeft, tr("Voltage (V)"));
        break;
    case Page::Current:
        setAxisTitle(QwtPlot::yLeft, tr("Current (A)"));
        break;
    case Page::Power:
        setAxisTitle(QwtPlot::yLeft, tr("Power"));
        break;
    }
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
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QwtPlot::changeEvent(event);
}

void TrendPlot::showEvent(QShowEvent* event)
{
    // What arrived while the plot was out of view is drawn as it comes back.
    m_changed = true;
    QwtPlot::showEvent(event);
    refresh();
}
