// The soak: eight simulated devices streaming for a long time (an hour by default), every device
// screen on its data page, two of them recording to files, every history on. It reports what a
// long shift would show: resident memory after five minutes and at the end, the frames the
// simulators put on their lines against the measurements the tool decoded, the GUI thread's
// share of a core in each five-minute slice, and whether the recordings hold every value.
//   r58_soak [minutes]
// Exit status 0 when every figure is within its limit, 1 otherwise.

#include "benchsupport.h"
#include "model/modelactionid.h"
#include "records/measurementcapture.h"
#include "scalesupport.h"
#include "ui/mainscreen.h"
#include "ui/startup.h"

#include <QApplication>
#include <QEventLoop>
#include <QFile>
#include <QStandardPaths>
#include <QTimer>

#include <atomic>
#include <cstdio>

namespace {

constexpr int Devices = 8;
// Milliseconds between a device's measurements: two frames of 22 and 25 bytes each, 9,400
// bytes a second, four fifths of what the 115,200-baud line carries. At the benches' 4 ms
// (11,750 bytes a second) a device measures faster than its line carries: over an hour its
// unsent frames piled up to the simulator's limit (256 KB each, the soak's "growth" of 2 MiB),
// and a line that is never idle hands over each frame on its own instead of a measurement's
// two together, which doubled the tool's reads (the GUI thread's "rise" from 6 to 11 %).
constexpr int SoakInterval = 5;
constexpr int Recordings = 2;
constexpr int SettleTime = 3000; // milliseconds for start-up requests
constexpr int Slice = 5 * 60 * 1000; // milliseconds: one line of the report
// Milliseconds without a new measurement after which the lines count as drained; a line queues
// several seconds of frames when its device measures faster than it carries.
constexpr int DrainTime = 3000;
constexpr double GrowthLimit = 1.0; // MiB an hour
constexpr double CpuBudget = 10.0; // per cent of one core, for eight devices

void runEventLoop(int milliseconds)
{
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

double residentMiB()
{
    return double(Bench::residentKiB()) / 1024.0;
}

// Lines of a recording that are values (not the header, not a note).
qint64 valueLines(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    qint64 values = 0;
    for (QByteArray line = file.readLine(); !line.isEmpty(); line = file.readLine()) {
        if (!line.startsWith("time,") && !line.startsWith('#'))
            ++values;
    }
    return values;
}

} // namespace

int main(int argc, char* argv[])
{
    QStandardPaths::setTestModeEnabled(true);
    QApplication app(argc, argv);
    Application::R58::StartUp startUp;
    const int minutes = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 60;
    if (minutes < 1) {
        std::fprintf(stderr, "usage: r58_soak [minutes]\n");
        return 2;
    }
    QTemporaryDir folder;
    auto source = QSharedPointer<ListSerialPortSource>::create();
    auto devices = std::make_unique<DeviceThread>(Devices, source, SoakInterval);
    auto manager = QSharedPointer<SerialPortManager>::create(source);
    manager->poll();
    auto account = QSharedPointer<Application::R58::UserAccount>::create();
    auto config = QSharedPointer<Application::R58::Config>::create();
    auto factory = QSharedPointer<CountingFactory>::create(manager, account, config);
    auto window = std::make_unique<MainScreen>(manager, account, config, factory);
    window->show();
    if (devices->getCount() != Devices || factory->getScreenCount() != Devices) {
        std::fprintf(stderr, "not every simulated device came up\n");
        return 1;
    }
    runEventLoop(SettleTime);

    // The recordings start before the streams, so that they must hold every value.
    QStringList files;
    std::vector<Records::MeasurementCapture*> captures;
    std::atomic<qint64> voltages {0};
    for (int i = 0; i < Recordings; ++i) {
        auto* capture = factory->getScreens()[std::size_t(i)]->findChild<Records::MeasurementCapture*>();
        files << folder.filePath(QStringLiteral("soak_%1.csv").arg(i));
        if (!capture || !capture->startRecording(files.last())) {
            std::fprintf(stderr, "a recording could not start\n");
            return 1;
        }
        captures.push_back(capture);
        // Counted on the receive thread, where the link announces each value.
        TaloLinkTerminalService* service
            = factory->getScreens()[std::size_t(i)]->getTerminalService().data();
        QObject::connect(
            service, &TaloLinkTerminalService::measurementVoltageModelValue, service,
            [&voltages](unsigned char) { ++voltages; }, Qt::DirectConnection);
    }
    std::vector<quint64> writtenBefore;
    for (const auto& device : devices->getDevices())
        writtenBefore.push_back(device->writtenCount());
    const long announcedBefore = factory->getAnnounced();
    factory->startMeasurements(LogEnabled);

    bool within = true;
    double atFive = 0.0;
    const int slices = std::max(1, minutes * 60 * 1000 / Slice);
    const int sliceTime = minutes * 60 * 1000 / slices;
    std::printf("slice,minutes,gui_cpu_percent,resident_mib\n");
    for (int slice = 0; slice < slices; ++slice) {
        const std::int64_t cpuBefore = Bench::threadCpuNs();
        const std::int64_t wallBefore = Bench::monotonicNs();
        runEventLoop(sliceTime);
        const double cpu = 100.0 * double(Bench::threadCpuNs() - cpuBefore)
            / double(Bench::monotonicNs() - wallBefore);
        const double resident = residentMiB();
        if (slice == 0)
            atFive = resident;
        within = within && cpu <= CpuBudget;
        std::printf("%d,%.1f,%.2f,%.1f\n", slice + 1, double((slice + 1) * sliceTime) / 60000.0,
            cpu, resident);
        std::fflush(stdout);
    }
    const double atEnd = residentMiB();

    // Everything sent must have arrived once the lines are quiet.
    // The recorded streams go on whatever page is shown: each device is told to stop directly.
    for (R58SubScreen* screen : factory->getScreens())
        screen->getUSBComponent()->fireModelAction(Model::Interfaces::ModelActionID::StopMeasurement);
    // The lines carry what is queued on them at their own rate: wait until nothing more comes.
    for (long last = -1; factory->getAnnounced() != last;) {
        last = factory->getAnnounced();
        runEventLoop(DrainTime);
    }
    quint64 written = 0;
    for (std::size_t i = 0; i < devices->getDevices().size(); ++i)
        written += devices->getDevices()[i]->writtenCount() - writtenBefore[i];
    const long decoded = factory->getAnnounced() - announcedBefore;
    qint64 recorded = 0;
    for (auto* capture : captures) {
        recorded += capture->recorder().count();
        capture->stopRecording();
    }
    qint64 inFiles = 0;
    for (const QString& file : files)
        inFiles += valueLines(file);

    const double hours = double(minutes) / 60.0;
    const double growth = (atEnd - atFive) / std::max(hours - 5.0 / 60.0, 1.0 / 60.0);
    std::printf("resident_mib_at_5_min,%.1f\nresident_mib_at_end,%.1f\ngrowth_mib_per_hour,%.2f\n",
        atFive, atEnd, growth);
    std::printf("frames_written,%llu\nmeasurements_decoded,%ld\n", (unsigned long long)written,
        decoded);
    std::printf("voltages_decoded_for_recordings,%lld\nvalues_recorded,%lld\nvalue_lines_in_files,%lld\n",
        (long long)voltages.load(), (long long)recorded, (long long)inFiles);
    // Measurement frames are every frame the devices wrote while streaming (phase and value
    // in turn); the two recordings hold every voltage value of their devices.
    within = within && growth <= GrowthLimit && quint64(decoded) == written
        && recorded == voltages.load() && recorded == inFiles;
    std::printf("within_limits,%s\n", within ? "yes" : "no");

    window.reset();
    factory.reset();
    manager.reset();
    devices.reset();
    return within ? 0 : 1;
}
