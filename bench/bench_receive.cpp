// The receive path of one device: measurement frames handed to the terminal service as the
// serial port hands them over, in chunks of a few bytes, then cut into frames, written into
// the model and announced on the receive thread. Compared with what a 115200-baud line can
// carry of the same frames.
#include "app/application.h"
#include "config/config.h"
#include "config/useraccount.h"
#include "link/talolinkpacket.h"
#include "link/talolinkterminalservice.h"

#include <QCoreApplication>
#include <QtEndian>

#include <atomic>
#include <benchmark/benchmark.h>
#include <cstring>
#include <thread>
#include <vector>

namespace {

using Component::Interfaces::TaloLinkCommandID;
using Component::Interfaces::TaloLinkPacket;
using Service::R58::TaloLinkTerminalService;

constexpr int FramesPerBatch = 600; // about one second of a busy line
constexpr int LineBytesPerSecond = 11520; // 115200 baud, 8N1
constexpr quint16 MeasurementPhaseId = 20;
constexpr quint16 MeasurementVoltageId = 34;

QByteArray valueFrame(quint16 id, const QByteArray& value)
{
    QByteArray idBytes(2, '\0');
    qToLittleEndian<quint16>(id, idBytes.data());
    TaloLinkPacket::ArgList args;
    args.append({reinterpret_cast<const std::uint8_t*>(idBytes.constData()), 2});
    args.append({reinterpret_cast<const std::uint8_t*>(value.constData()), quint16(value.size())});
    return TaloLinkPacket::build(TaloLinkCommandID::SetModelValue,
        TaloLinkPacket::Terminal::Platform, TaloLinkPacket::Terminal::Host, args);
}

// What a device streams during a voltage measurement: the phase, then its voltage.
QByteArray measurementStream()
{
    QByteArray stream;
    for (int i = 0; i < FramesPerBatch / 2; ++i) {
        const quint8 phase = quint8(i % 3);
        const float voltage = 230.0f + float(i % 7);
        QByteArray bits(4, '\0');
        std::memcpy(bits.data(), &voltage, 4);
        stream += valueFrame(MeasurementPhaseId, QByteArray(1, char(phase)));
        stream += valueFrame(MeasurementVoltageId, bits);
    }
    return stream;
}

void BM_ReceivePath(benchmark::State& state)
{
    // No port: the bytes come from here, and what the stack sends goes nowhere.
    Application::R58::Application app(QSharedPointer<Application::R58::UserAccount>::create(),
        QSharedPointer<Application::R58::Config>::create(), {}, QStringLiteral("Offline"));
    app.initialize();
    TaloLinkTerminalService* service = app.getTerminalService().data();

    // Counted where the announcement is made, on the receive thread.
    std::atomic<long> announced {0};
    QObject::connect(
        service, &TaloLinkTerminalService::measurementPhaseModelValue, service,
        [&announced] { ++announced; }, Qt::DirectConnection);
    QObject::connect(
        service, &TaloLinkTerminalService::measurementVoltageModelValue, service,
        [&announced](unsigned char) { ++announced; }, Qt::DirectConnection);

    const QByteArray stream = measurementStream();
    const int chunk = int(state.range(0));
    std::vector<QByteArray> chunks;
    for (int offset = 0; offset < stream.size(); offset += chunk)
        chunks.push_back(QByteArray::fromRawData(
            stream.constData() + offset, std::min(chunk, stream.size() - offset)));

    for (auto _ : state) {
        const long target = announced + FramesPerBatch;
        for (const QByteArray& bytes : chunks)
            service->handleDataReceived(bytes);
        while (announced < target)
            std::this_thread::yield();
    }
    const double lineFramesPerSecond
        = double(LineBytesPerSecond) / (double(stream.size()) / FramesPerBatch);
    state.SetItemsProcessed(state.iterations() * FramesPerBatch);
    state.counters["line_frames_per_s"] = lineFramesPerSecond;
    state.counters["frames_per_s"] = benchmark::Counter(
        double(state.iterations() * FramesPerBatch), benchmark::Counter::kIsRate);
    state.counters["line_multiple"]
        = benchmark::Counter(double(state.iterations() * FramesPerBatch) / lineFramesPerSecond,
            benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ReceivePath)
    ->Arg(8)
    ->Arg(16)
    ->Arg(32)
    ->Arg(64)
    ->UseRealTime()
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
