// Several devices at once: the main window with one device screen per simulated device, each
// on its data page so that every device streams voltage measurements near the full rate of its
// 115200-baud line, with the service page's log enabled as it starts (or disabled, or in view
// on the service page, or with every screen's trend plot in view), and the memory and GUI-thread
// CPU this costs. The simulated devices run on
// a thread of their own so that the GUI thread's CPU time is the tool's alone. Run one device
// count per process (--benchmark_filter=BM_Scale/N/), so that each resident size starts from
// nothing.
#include "benchsupport.h"
#include "scalesupport.h"
#include "config/config.h"
#include "config/useraccount.h"
#include "link/listserialportsource.h"
#include "link/serialportmanager.h"
#include "link/talolinkterminalservice.h"
#include "link/talolinkusbcomponent.h"
#include "sim/simulateddevice.h"
#include "ui/mainscreen.h"
#include "ui/r58subscreen.h"
#include "ui/startup.h"
#include "ui/trendplot.h"

#include <QApplication>
#include <QCheckBox>
#include <QEventLoop>
#include <QMdiArea>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

// Under valgrind --tool=callgrind --instr-atstart=no, only the measured steady state is
// counted; elsewhere these are no-ops.
#if __has_include(<valgrind/callgrind.h>)
#include <valgrind/callgrind.h>
#else
#define CALLGRIND_START_INSTRUMENTATION
#define CALLGRIND_STOP_INSTRUMENTATION
#endif
#include <atomic>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

constexpr int SettleTime = 3000; // milliseconds for start-up requests and the first values
constexpr int MeasureTime = 5000; // milliseconds
constexpr int PlotSettleTime = 30000; // milliseconds: a trend plot's default window

// Log enabled and out of view as for LogEnabled, but the main window shows every device screen
// side by side instead of as tabs, so that every data page's trend plot is in view and redrawn.
constexpr int PlotsInView = 3;
// With the plots in view, the measured time is cut into slices in which the plots draw and
// slices in which they are paused, taken in turn, so that the plots' own share is the
// difference of two figures from the same minutes: on a virtual machine the cost of the same
// work drifts between runs by more than the plots cost. A slice is three redraw intervals.
constexpr int PlotSlice = 1500; // milliseconds
constexpr int PlotSlices = 8;
// The main window's size for that: eight screens of about 640 by 720 pixels.
constexpr int TiledWidth = 2560;
constexpr int TiledHeight = 1440;

void runEventLoop(int milliseconds)
{
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

// The GUI thread's use over some time of streaming.
struct Usage
{
    double cpu = 0.0; // nanoseconds
    double user = 0.0; // nanoseconds, user space only
    double wall = 0.0; // nanoseconds
    double frames = 0.0;
    double wakeUps = 0.0;

    template<typename Factory>
    void measure(const Factory& factory, int milliseconds)
    {
        const long framesBefore = factory.getAnnounced();
        const long wakeUpsBefore = Bench::threadWakeUps();
        const std::int64_t userBefore = Bench::threadUserNs();
        const std::int64_t cpuBefore = Bench::threadCpuNs();
        const std::int64_t wallBefore = Bench::monotonicNs();
        runEventLoop(milliseconds);
        cpu += double(Bench::threadCpuNs() - cpuBefore);
        wall += double(Bench::monotonicNs() - wallBefore);
        user += double(Bench::threadUserNs() - userBefore);
        frames += double(factory.getAnnounced() - framesBefore);
        wakeUps += double(Bench::threadWakeUps() - wakeUpsBefore);
    }
    [[nodiscard]] double cpuPercent() const { return 100.0 * cpu / wall; }
};

void BM_Scale(benchmark::State& state)
{
    const int count = int(state.range(0));
    const int log = int(state.range(1));
    for (auto _ : state) {
        auto source = QSharedPointer<ListSerialPortSource>::create();
        auto devices = std::make_unique<DeviceThread>(count, source);
        auto manager = QSharedPointer<SerialPortManager>::create(source);
        manager->poll();
        auto account = QSharedPointer<Application::R58::UserAccount>::create();
        auto config = QSharedPointer<Application::R58::Config>::create();
        auto factory = QSharedPointer<CountingFactory>::create(manager, account, config);
        auto window = std::make_unique<MainScreen>(manager, account, config, factory);
        const bool tiled = log == PlotsInView;
        if (tiled) {
            window->resize(TiledWidth, TiledHeight);
            window->getMdiArea()->setViewMode(QMdiArea::SubWindowView);
        }
        window->show();
        if (tiled)
            window->getMdiArea()->tileSubWindows();
        if (devices->getCount() != count || factory->getScreenCount() != count) {
            state.SkipWithError("not every simulated device came up");
            return;
        }
        runEventLoop(SettleTime);
        factory->startMeasurements(log);
        // Plots are measured with their window full, as they are drawn most of the time.
        runEventLoop(log == PlotsInView ? PlotSettleTime : SettleTime);

        Usage drawing;
        Usage paused;
        CALLGRIND_START_INSTRUMENTATION;
        if (log == PlotsInView) {
            for (int slice = 0; slice < PlotSlices; ++slice) {
                const bool pause = slice % 2 == 1;
                factory->pausePlots(pause);
                (pause ? paused : drawing).measure(*factory, PlotSlice);
            }
        } else {
            drawing.measure(*factory, MeasureTime);
        }
        CALLGRIND_STOP_INSTRUMENTATION;
        // Instructions per frame in a callgrind profile are its counts over this.
        std::fprintf(stderr, "frames measured: %.0f\n", drawing.frames + paused.frames);
        const long resident = Bench::residentKiB();
        if (drawing.frames <= 0) {
            state.SkipWithError("no measurement arrived");
            return;
        }

        state.SetIterationTime(drawing.wall / 1e9);
        state.counters["devices"] = count;
        state.counters["log"] = log;
        state.counters["rss_mib"] = double(resident) / 1024.0;
        state.counters["gui_cpu_percent"] = drawing.cpuPercent();
        state.counters["gui_user_percent"] = 100.0 * drawing.user / drawing.wall;
        state.counters["frames_per_s"] = drawing.frames / (drawing.wall / 1e9);
        state.counters["gui_us_per_frame"] = drawing.cpu / drawing.frames / 1e3;
        state.counters["gui_wakeups_per_s"] = drawing.wakeUps / (drawing.wall / 1e9);
        if (log == PlotsInView) {
            state.counters["paused_gui_cpu_percent"] = paused.cpuPercent();
            state.counters["paused_gui_user_percent"] = 100.0 * paused.user / paused.wall;
        }

        window.reset(); // the screens with their receive threads
        factory.reset();
        manager.reset();
        devices.reset();
    }
}
// Devices, and the log.
BENCHMARK(BM_Scale)
    ->Args({1, LogInView})
    ->Args({1, LogEnabled})
    ->Args({2, LogEnabled})
    ->Args({4, LogEnabled})
    ->Args({8, LogEnabled})
    ->Args({8, LogDisabled})
    ->Args({8, PlotsInView})
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kSecond);

} // namespace

int main(int argc, char* argv[])
{
    benchmark::Initialize(&argc, argv);
    // The configuration of the user running the benchmark is neither read nor written.
    QStandardPaths::setTestModeEnabled(true);
    QApplication app(argc, argv);
    Application::R58::StartUp startUp;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
