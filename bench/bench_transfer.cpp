// Firmware transfer of a 256 KiB image through the update control service, over a real
// pseudo-terminal, against the simulated device: once at the line's rate (115200 baud, 8N1,
// both directions), and unthrottled to see the tool's own share of each block.
#include "benchsupport.h"
#include "link/listserialportsource.h"
#include "link/serialport.h"
#include "link/serialportmanager.h"
#include "link/talolinkterminalservice.h"
#include "link/talolinkusbcomponent.h"
#include "model/modelvalueobserver.h"
#include "sim/simulateddevice.h"
#include "update/updatecontrolservice.h"

#include <QCoreApplication>
#include <QRandomGenerator>
#include <QSerialPort>
#include <QTemporaryDir>

#include <algorithm>
#include <benchmark/benchmark.h>
#include <memory>
#include <vector>

namespace {

using Application::R58::ListSerialPortSource;
using Application::R58::SerialPort;
using Application::R58::SerialPortManager;
using Service::R58::TaloLinkTerminalService;
using Service::R58::UpdateControlService;
using Simulator::SimulatedDevice;
using Terminal = Component::Interfaces::TaloLinkPacket::Terminal;

constexpr int ImageSize = 256 * 1024;
constexpr int BlockCount = ImageSize / UpdateControlService::m_flashPageSize;
// Bytes on the line per block: the device's request and the tool's answer.
constexpr int RequestFrameSize = 19;
constexpr int BlockFrameSize = 539;
constexpr double LineSecondsPerBlock
    = double(RequestFrameSize + BlockFrameSize) / SimulatedDevice::LineBytesPerSecond;
constexpr int Patience = 120000; // milliseconds; the throttled run needs about 25 s

// One device and the link stack a device screen builds for it, wired for block requests.
class Stack
{
public:
    explicit Stack(bool rateLimited)
    {
        SimulatedDevice::Faults faults;
        faults.rateLimited = rateLimited;
        device.setFaults(faults);
        device.setRecording(false);
        if (!device.plugIn())
            return;
        manager->setPolling(false);
        manager->poll();
        port = manager->getPort(device.portName());
        if (!port)
            return;
        component = std::make_unique<Component::R58::TaloLinkUSBComponent>(port);
        terminal = std::make_unique<TaloLinkTerminalService>(port, values);
        terminal->addComponent(*component);
        updater->addComponent(*component);
        QObject::connect(terminal.get(), &TaloLinkTerminalService::requestMemblock, updater.data(),
            &UpdateControlService::sendMemoryBlock);
        terminal->startup();
        updater->startup();
    }
    ~Stack() { terminal.reset(); } // joins the receive thread while the port still exists

    [[nodiscard]] bool isValid() const { return device.isPlugged() && port && port->isOpen(); }

    QTemporaryDir dir;
    QSharedPointer<ListSerialPortSource> source = QSharedPointer<ListSerialPortSource>::create();
    SimulatedDevice device {dir.path(), source};
    QSharedPointer<SerialPortManager> manager = QSharedPointer<SerialPortManager>::create(source);
    QSharedPointer<SerialPort> port;
    QSharedPointer<Model::Observer::ModelValueObserver> values
        = QSharedPointer<Model::Observer::ModelValueObserver>::create();
    std::unique_ptr<Component::R58::TaloLinkUSBComponent> component;
    std::unique_ptr<TaloLinkTerminalService> terminal;
    QSharedPointer<UpdateControlService> updater = QSharedPointer<UpdateControlService>::create();
};

QByteArray image()
{
    QByteArray bytes(ImageSize, '\0');
    QRandomGenerator(256).fillRange(reinterpret_cast<quint32*>(bytes.data()), ImageSize / 4);
    return bytes;
}

// Timestamps of one transfer on the tool's side, in nanoseconds.
struct Trace
{
    std::vector<std::int64_t> requestArrived; // the port delivered a request's last byte
    std::vector<std::int64_t> blockWritten; // the port wrote a block's last byte
    std::int64_t start = 0;
    std::int64_t end = 0; // the device holds the whole image
};

// Sends the image to the display processor (which, unlike the platform, does not restart
// afterwards) and records when requests came in and blocks went out.
bool transfer(Stack& stack, Trace& trace)
{
    if (!stack.isValid())
        return false;
    // The start-up name requests and their answers are not part of the transfer.
    if (!Bench::waitFor([&] { return !stack.terminal->getDisplayName().isEmpty(); }, Patience))
        return false;
    stack.component->jumpToBootloader(Terminal::Display);
    if (!Bench::waitFor(
            [&] { return stack.device.processorState(Terminal::Display) != "Application"; },
            Patience))
        return false;

    // While a block waits in the serial port's buffer, nothing else is written.
    auto* serial = stack.port->findChild<QSerialPort*>();
    qint64 pending = 0;
    QObject::connect(stack.port.data(), &SerialPort::dataTransmitted, serial,
        [&pending](const QByteArray& data) {
            if (data.size() >= BlockFrameSize)
                pending += data.size();
        });
    QObject::connect(serial, &QSerialPort::bytesWritten, serial, [&](qint64 bytes) {
        if (pending <= 0)
            return;
        pending -= bytes;
        if (pending <= 0)
            trace.blockWritten.push_back(Bench::monotonicNs());
    });
    QObject::connect(stack.port.data(), &SerialPort::dataReceived, serial,
        [&trace](const QByteArray&) { trace.requestArrived.push_back(Bench::monotonicNs()); });

    bool done = false;
    QObject::connect(&stack.device, &SimulatedDevice::imageReceived, serial, [&](Terminal) {
        trace.end = Bench::monotonicNs();
        done = true;
    });
    trace.start = Bench::monotonicNs();
    stack.updater->start(image(), UpdateControlService::Plain, Terminal::Display);
    return Bench::waitFor([&] { return done; }, Patience)
        && stack.device.receivedImages(Terminal::Display).value(0) == image();
}

// For each block: from the arrival of the request's last byte to the block's last byte
// written; the request that asked for a block is the last arrival before it was written.
std::vector<double> toolMicroseconds(const Trace& trace)
{
    std::vector<double> perBlock;
    for (const std::int64_t written : trace.blockWritten) {
        const auto next
            = std::upper_bound(trace.requestArrived.begin(), trace.requestArrived.end(), written);
        if (next != trace.requestArrived.begin())
            perBlock.push_back(double(written - *(next - 1)) / 1e3);
    }
    std::sort(perBlock.begin(), perBlock.end());
    return perBlock;
}

double mean(const std::vector<double>& values)
{
    double sum = 0;
    for (const double value : values)
        sum += value;
    return values.empty() ? 0 : sum / double(values.size());
}

void BM_TransferAtLineRate(benchmark::State& state)
{
    for (auto _ : state) {
        Stack stack(true);
        Trace trace;
        if (!transfer(stack, trace)) {
            state.SkipWithError("the transfer did not complete");
            return;
        }
        const double seconds = double(trace.end - trace.start) / 1e9;
        state.SetIterationTime(seconds);
        state.counters["measured_s"] = seconds;
        state.counters["limit_s"] = LineSecondsPerBlock * BlockCount;
        state.counters["ratio"] = seconds / (LineSecondsPerBlock * BlockCount);
        state.counters["tool_us_per_block"] = mean(toolMicroseconds(trace));
    }
}
BENCHMARK(BM_TransferAtLineRate)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

// The tool's own time per block, without the line's limit.
void BM_TransferToolTimePerBlock(benchmark::State& state)
{
    std::vector<double> perBlock;
    for (auto _ : state) {
        Stack stack(false);
        Trace trace;
        if (!transfer(stack, trace) || int(trace.blockWritten.size()) != BlockCount) {
            state.SkipWithError("the transfer did not complete");
            return;
        }
        const std::vector<double> blocks = toolMicroseconds(trace);
        perBlock.insert(perBlock.end(), blocks.begin(), blocks.end());
        state.SetIterationTime(double(trace.end - trace.start) / 1e9);
    }
    std::sort(perBlock.begin(), perBlock.end());
    const double average = mean(perBlock);
    state.counters["tool_us_per_block"] = average;
    state.counters["tool_us_median"] = perBlock.empty() ? 0 : perBlock[perBlock.size() / 2];
    state.counters["line_us_per_block"] = LineSecondsPerBlock * 1e6;
    state.counters["ratio"] = average / (LineSecondsPerBlock * 1e6);
}
BENCHMARK(BM_TransferToolTimePerBlock)
    ->Iterations(3)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char* argv[])
{
    benchmark::Initialize(&argc, argv);
    QCoreApplication app(argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
