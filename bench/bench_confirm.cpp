// How long the device takes to confirm an import: twelve settings written to a simulated device
// at the line's rate (115200 baud), each read back, until the last answer is in.

#include "app/application.h"
#include "benchsupport.h"
#include "config/config.h"
#include "config/settingsmapper.h"
#include "config/settingsverifier.h"
#include "config/useraccount.h"
#include "link/listserialportsource.h"
#include "link/serialportmanager.h"
#include "link/talolinkterminalservice.h"
#include "model/modeldatabase.h"
#include "model/modelvalueid.h"
#include "sim/simulateddevice.h"

#include <QStandardPaths>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

using Application::R58::SettingKey;
using Application::R58::SettingsMapper;
using Application::R58::SettingsVerifier;

constexpr int Wait = 30000; // milliseconds; only a broken link takes this long

void BM_ImportConfirmedAtLineRate(benchmark::State& state)
{
    QStandardPaths::setTestModeEnabled(true);
    QTemporaryDir links;
    auto source = QSharedPointer<Application::R58::ListSerialPortSource>::create();
    auto manager = QSharedPointer<Application::R58::SerialPortManager>::create(source);
    manager->setPolling(false);
    Simulator::SimulatedDevice device(links.path(), source);
    auto faults = device.faults();
    faults.rateLimited = true;
    device.setFaults(faults);
    if (!device.plugIn()) {
        state.SkipWithError("no pseudo-terminal");
        return;
    }
    manager->poll();
    auto app = std::make_unique<Application::R58::Application>(
        QSharedPointer<Application::R58::UserAccount>::create(),
        QSharedPointer<Application::R58::Config>::create(), manager, device.portName());
    app->initialize();
    const auto& link = *app->getTerminalService();
    if (!Bench::waitFor(
            [&] {
                return link.hasReported(Model::Interfaces::ModelValueID::LoadAsymmetryFaultType)
                    && link.hasReported(Model::Interfaces::ModelValueID::PlatformVersion);
            },
            Wait)) {
        state.SkipWithError("the device did not answer at start-up");
        return;
    }
    SettingsMapper mapper(app->getModelDatabase()->getSettings());
    SettingsVerifier verifier(*app);
    verifier.setWait(Wait);
    int round = 0;
    for (auto _ : state) {
        ++round;
        // Twelve values the device does not hold yet, within what it accepts.
        const auto flip = [](double value) { return value != 0.0 ? 0.0 : 1.0; };
        const QList<std::pair<SettingKey, double>> writes {
            {SettingKey::TripClass, round % 2 ? 2.0 : 3.0},
            {SettingKey::NominalCurrent, round % 2 ? 2.5 : 2.0},
            {SettingKey::OverloadReset, flip(mapper.deviceValue(SettingKey::OverloadReset))},
            {SettingKey::UndercurrentEnable, flip(mapper.deviceValue(SettingKey::UndercurrentEnable))},
            {SettingKey::UndercurrentThreshold, round % 2 ? 0.4 : 0.5},
            {SettingKey::UndercurrentFaultType, flip(mapper.deviceValue(SettingKey::UndercurrentFaultType))},
            {SettingKey::UndervoltageEnable, flip(mapper.deviceValue(SettingKey::UndervoltageEnable))},
            {SettingKey::UndervoltageThreshold, round % 2 ? 190.0 : 207.0},
            {SettingKey::UndervoltageFaultType, flip(mapper.deviceValue(SettingKey::UndervoltageFaultType))},
            {SettingKey::OvervoltageEnable, flip(mapper.deviceValue(SettingKey::OvervoltageEnable))},
            {SettingKey::OvervoltageThreshold, round % 2 ? 250.0 : 253.0},
            {SettingKey::OvervoltageFaultType, flip(mapper.deviceValue(SettingKey::OvervoltageFaultType))},
        };
        bool done = false;
        int confirmed = 0;
        const auto connection = QObject::connect(&verifier, &SettingsVerifier::finished,
            [&](const QList<SettingsVerifier::Outcome>&) {
                done = true;
                confirmed = verifier.getConfirmedCount();
            });
        const std::int64_t start = Bench::monotonicNs();
        for (const auto& [key, value] : writes)
            mapper.write(key, value);
        const bool finished = Bench::waitFor([&] { return done; }, Wait);
        const std::int64_t end = Bench::monotonicNs();
        QObject::disconnect(connection);
        if (!finished || confirmed != int(writes.size())) {
            for (const QString& line : SettingsVerifier::describeFailures(verifier.getOutcomes()))
                qWarning("%s", qPrintable(line));
            state.SkipWithError("the import was not confirmed");
            return;
        }
        state.SetIterationTime(double(end - start) / 1e9);
        state.counters["confirmed"] = confirmed;
    }
}
BENCHMARK(BM_ImportConfirmedAtLineRate)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char* argv[])
{
    benchmark::Initialize(&argc, argv);
    QCoreApplication app(argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
