// Several devices at once: the main window with one tab per simulated device, every device
// streaming voltage measurements near the full rate of its 115200-baud line, and the memory
// and GUI-thread CPU this costs. The simulated devices run on a thread of their own so that
// the GUI thread's CPU time is the tool's alone. Run one device count per process
// (--benchmark_filter=BM_Scale/N/), so that each resident size starts from nothing.
//
// TODO: the tabs still show the placeholder device screen, which builds no link stack of its
// own; the factory below builds one per tab beside it. Once the full device screen is on
// main, use the program's default factory and start the measurement through the screen, so
// that its widget updates and its log are part of the figures.
#include "app/application.h"
#include "benchsupport.h"
#include "config/config.h"
#include "config/useraccount.h"
#include "link/listserialportsource.h"
#include "link/serialportmanager.h"
#include "link/talolinkterminalservice.h"
#include "model/modelactions.h"
#include "model/modeldatabase.h"
#include "sim/simulateddevice.h"
#include "ui/mainscreen.h"
#include "ui/placeholdersubscreen.h"
#include "ui/startup.h"

#include <QApplication>
#include <QEventLoop>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <benchmark/benchmark.h>
#include <map>
#include <memory>
#include <vector>

namespace {

using Application::R58::ListSerialPortSource;
using Application::R58::SerialPortManager;
using Service::R58::TaloLinkTerminalService;
using Simulator::SimulatedDevice;

constexpr int MeasurementInterval = 4; // milliseconds: two frames each, about 500 per second
constexpr int SettleTime = 3000; // milliseconds for start-up requests and the first values
constexpr int MeasureTime = 5000; // milliseconds

void runEventLoop(int milliseconds)
{
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

// Placeholder tabs, each with the link stack a device screen builds.
class StackFactory : public Application::R58::SubScreenFactory
{
public:
    StackFactory(QSharedPointer<SerialPortManager> manager,
        QSharedPointer<Application::R58::UserAccount> account,
        QSharedPointer<Application::R58::Config> config)
        : m_manager(std::move(manager)),
          m_account(std::move(account)),
          m_config(std::move(config)),
          m_placeholders(m_manager)
    {
    }

    QWidget* createSubScreen(const QString& portName) override
    {
        auto app = std::make_unique<Application::R58::Application>(
            m_account, m_config, m_manager, portName);
        app->initialize();
        QObject::connect(app->getTerminalService().data(),
            &TaloLinkTerminalService::measurementPhaseModelValue, &m_counter,
            [this] { ++m_announced; });
        QObject::connect(app->getTerminalService().data(),
            &TaloLinkTerminalService::measurementVoltageModelValue, &m_counter,
            [this](unsigned char) { ++m_announced; });
        m_stacks[portName] = std::move(app);
        return m_placeholders.createSubScreen(portName);
    }
    QString getPortName(const QWidget* screen) const override
    {
        return m_placeholders.getPortName(screen);
    }
    bool isClosable(const QWidget* screen) const override
    {
        return m_placeholders.isClosable(screen);
    }

    void startMeasurements()
    {
        for (auto& entry : m_stacks)
            entry.second->getModelDatabase()
                ->getActions()
                .getStartVoltageMeasurementAction()
                .fire();
    }
    [[nodiscard]] long getAnnounced() const { return m_announced; }
    [[nodiscard]] int getStackCount() const { return int(m_stacks.size()); }

private:
    QSharedPointer<SerialPortManager> m_manager;
    QSharedPointer<Application::R58::UserAccount> m_account;
    QSharedPointer<Application::R58::Config> m_config;
    Application::R58::PlaceholderSubScreenFactory m_placeholders;
    std::map<QString, std::unique_ptr<Application::R58::Application>> m_stacks;
    QObject m_counter; // receives the announcements on the GUI thread
    long m_announced = 0;
};

// The simulated devices, living on their own thread.
class DeviceThread
{
public:
    DeviceThread(int count, QSharedPointer<ListSerialPortSource> source)
    {
        m_thread.start();
        m_context.moveToThread(&m_thread);
        QMetaObject::invokeMethod(
            &m_context,
            [&] {
                for (int i = 0; i < count; ++i) {
                    auto device = std::make_unique<SimulatedDevice>(m_dir.path(), source);
                    SimulatedDevice::Faults faults;
                    faults.rateLimited = true;
                    device->setFaults(faults);
                    device->setRecording(false);
                    device->setMeasurementInterval(MeasurementInterval);
                    if (device->plugIn())
                        m_devices.push_back(std::move(device));
                }
            },
            Qt::BlockingQueuedConnection);
    }
    ~DeviceThread()
    {
        QMetaObject::invokeMethod(
            &m_context, [this] { m_devices.clear(); }, Qt::BlockingQueuedConnection);
        m_thread.quit();
        m_thread.wait();
    }
    [[nodiscard]] int getCount() const { return int(m_devices.size()); }

private:
    QTemporaryDir m_dir;
    QThread m_thread;
    QObject m_context;
    std::vector<std::unique_ptr<SimulatedDevice>> m_devices;
};

void BM_Scale(benchmark::State& state)
{
    const int count = int(state.range(0));
    for (auto _ : state) {
        auto source = QSharedPointer<ListSerialPortSource>::create();
        auto devices = std::make_unique<DeviceThread>(count, source);
        auto manager = QSharedPointer<SerialPortManager>::create(source);
        manager->poll();
        auto account = QSharedPointer<Application::R58::UserAccount>::create();
        auto config = QSharedPointer<Application::R58::Config>::create();
        auto factory = QSharedPointer<StackFactory>::create(manager, account, config);
        auto window = std::make_unique<MainScreen>(manager, account, config, factory);
        window->show();
        if (devices->getCount() != count || factory->getStackCount() != count) {
            state.SkipWithError("not every simulated device came up");
            return;
        }
        runEventLoop(SettleTime);
        factory->startMeasurements();
        runEventLoop(SettleTime);

        const long framesBefore = factory->getAnnounced();
        const std::int64_t cpuBefore = Bench::threadCpuNs();
        const std::int64_t wallBefore = Bench::monotonicNs();
        runEventLoop(MeasureTime);
        const double cpu = double(Bench::threadCpuNs() - cpuBefore);
        const double wall = double(Bench::monotonicNs() - wallBefore);
        const double frames = double(factory->getAnnounced() - framesBefore);
        const long resident = Bench::residentKiB();
        if (frames <= 0) {
            state.SkipWithError("no measurement arrived");
            return;
        }

        state.SetIterationTime(wall / 1e9);
        state.counters["devices"] = count;
        state.counters["rss_mib"] = double(resident) / 1024.0;
        state.counters["gui_cpu_percent"] = 100.0 * cpu / wall;
        state.counters["frames_per_s"] = frames / (wall / 1e9);
        state.counters["gui_us_per_frame"] = cpu / frames / 1e3;

        window.reset();
        factory.reset(); // joins the receive threads
        manager.reset();
        devices.reset();
    }
}
BENCHMARK(BM_Scale)->Arg(1)->Arg(2)->Arg(4)->Arg(8)->Iterations(1)->UseManualTime()->Unit(
    benchmark::kSecond);

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
