#pragma once

#include "records/trendhistory.h"

#include <QElapsedTimer>
#include <qwt_plot.h>

#include <array>
#include <vector>

class QwtPlotCurve;
class QwtPlotPicker;

// The trend of the measured values of one device: the three phases of the voltage or of the
// current, or the three powers, over a chosen window up to now. It keeps the history of all
// nine series, so switching what it shows loses nothing. It takes values at every refresh of
// the screen's measured values, but redraws at most twice a second (a long window less often),
// and only while it is in view and not paused.
class TrendPlot : public QwtPlot
{
    Q_OBJECT

public:
    enum class Page { Voltage, Current, Power };

    explicit TrendPlot(QWidget* parent = nullptr);
    ~TrendPlot() override;

    void addSamples(const std::vector<Records::MeasurementSample>& samples);
    void setPage(Page page);
    [[nodiscard]] Page page() const { return m_page; }
    // How far back the plot reaches, in seconds.
    void setWindow(int seconds);
    // A paused plot keeps its view while the history goes on filling.
    void setPaused(bool paused);
    [[nodiscard]] bool isPaused() const { return m_paused; }
    // Draws what arrived since the last redraw, if the plot is in view and not paused.
    void refresh();
    // Draws now, whatever the time since the last redraw: refresh() without its limit.
    void redraw();
    // The least time between two redraws by refresh(), in milliseconds.
    [[nodiscard]] qint64 redrawInterval() const;
    // The names of the three lines in the legend, as the page names them.
    void setLineTitles(const std::array<QString, 3>& titles);
    // The text the cursor shows at a point of the plot, given in seconds before the plot's
    // right edge: the clock time and the three values there.
    [[nodiscard]] QString valuesAt(double position) const;
    [[nodiscard]] const Records::TrendHistory& history() const { return m_history; }

protected:
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    class SeriesData;
    class TimeScale;

    void retranslate();
    void rescale();
    void updateTimeAxis();
    [[nodiscard]] int firstSeries() const;

    Records::TrendHistory m_history;
    std::array<QwtPlotCurve*, 3> m_curves {};
    std::array<SeriesData*, 3> m_data {};
    QwtPlotPicker* m_picker = nullptr;
    QElapsedTimer m_lastRedraw;
    bool m_redrawPending = false;
    Page m_page = Page::Voltage;
    int m_windowSeconds = 30;
    bool m_paused = false;
    bool m_changed = true;
    // The next rescale fits the value axis to the values, wherever it stood: another
    // quantity's axis says nothing about this one's.
    bool m_fitAxis = true;
    // The right edge, in milliseconds since the epoch: the last redraw, or the moment of the
    // pause.
    double m_end = 0.0;
};
