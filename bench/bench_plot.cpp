// What one trend plot costs the GUI thread per redraw: a plot of a device's voltages, of the
// size it has when eight device screens share a 2560 × 1440 window, takes a tenth of a second
// of values from a device streaming at its line's full rate and is drawn anew, axes and
// canvas, as the data page's refresh does at most every 500 ms (less often for long windows).
// Windows of 30 s, the default, and 10 min, the longest.
#include "benchsupport.h"
#include "ui/stylesheet.h"
#include "ui/trendplot.h"

#include <QApplication>
#include <QDateTime>
#include <QVBoxLayout>
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

namespace {

using Records::MeasurementSample;
using Records::Quantity;

constexpr int PlotWidth = 620; // pixels
constexpr int PlotHeight = 330;
// About 500 voltage frames a second on a 115200-baud line, one phase each.
constexpr int ValuesPerSecond = 500;
constexpr int BatchMilliseconds = 100;

// Three phases near 400 V that wander by a few volts, as the simulated device's do.
std::vector<MeasurementSample> batch(qint64 from)
{
    std::vector<MeasurementSample> samples;
    const int count = ValuesPerSecond * BatchMilliseconds / 1000;
    for (int i = 0; i < count; ++i) {
        const qint64 time = from + i * BatchMilliseconds / count;
        const auto phase = std::uint8_t(i % 3);
        const double seconds = double(time) / 1000.0;
        const double wobble
            = 3.0 * std::sin(0.7 * seconds + 2.1 * phase) + 0.9 * std::sin(3.1 * seconds);
        samples.push_back({time, Quantity::Voltage, phase, float(400.0 + wobble)});
    }
    return samples;
}

void BM_TrendPlotRedraw(benchmark::State& state)
{
    const int window = int(state.range(0));
    // In a device screen's style, as on the data page.
    QWidget page;
    page.setStyleSheet(Application::R58::loadStyleSheet(QStringLiteral("r58subscreen")));
    auto* layout = new QVBoxLayout(&page);
    auto* plotWidget = new TrendPlot;
    layout->addWidget(plotWidget);
    page.resize(PlotWidth, PlotHeight);
    TrendPlot& plot = *plotWidget;
    plot.setLineTitles({QStringLiteral("L1-N"), QStringLiteral("L2-N"), QStringLiteral("L3-N")});
    plot.setWindow(window);
    page.show();
    // The whole window full of values, as after the plot has been in view that long.
    qint64 time = QDateTime::currentMSecsSinceEpoch() - 1000LL * window;
    for (; time < QDateTime::currentMSecsSinceEpoch(); time += BatchMilliseconds)
        plot.addSamples(batch(time));
    plot.redraw();
    QCoreApplication::processEvents();

    std::int64_t cpu = 0;
    for (auto _ : state) {
        const std::int64_t before = Bench::threadCpuNs();
        plot.addSamples(batch(time));
        time += BatchMilliseconds;
        plot.redraw();
        // The axes' and the legend's own repaints, which the redraw only schedules.
        QCoreApplication::processEvents();
        cpu += Bench::threadCpuNs() - before;
    }
    state.counters["cpu_us_per_redraw"] = double(cpu) / double(state.iterations()) / 1e3;
    state.counters["redraw_interval_ms"] = double(plot.redrawInterval());
}
BENCHMARK(BM_TrendPlotRedraw)->Arg(30)->Arg(600)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char* argv[])
{
    benchmark::Initialize(&argc, argv);
    QApplication app(argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
