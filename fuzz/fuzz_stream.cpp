// The received byte stream: reassembly in random chunks and dispatch of every
// checked frame into a real terminal service, value registry and model.
//
// The service's receive thread is not started: the fuzzer drives a reassembler
// on its own thread and hands each frame to the service's dispatch, as a
// receive step would, so that every run of an input is the same.
//
// Building a service takes milliseconds, so one link serves every input. What
// an input leaves behind (values, reported names) is read at the end of that
// same input, so a fault it causes shows with it.
//
// Input, read by FuzzedDataProvider: stream bytes from the front; from the back
// the size of each chunk and how many receive steps follow it.

#include "fuzzsupport.h"
#include "link/talolinkterminalservice.h"
#include "model/modelactionobserver.h"
#include "model/modeldatabase.h"
#include "model/modelvalueintf.h"
#include "model/modelvalueobserver.h"
#include "tests/modeltestsupport.h"

#include <cstdint>
#include <fuzzer/FuzzedDataProvider.h>
#include <memory>
#include <vector>

using Component::Interfaces::ComponentID;
using Component::Interfaces::TaloLinkPacket;
using Component::Interfaces::TaloLinkReassembler;
using Model::Interfaces::ModelValueID;
using Service::R58::TaloLinkTerminalService;

namespace {

// One device link as the application object wires it, without a serial port.
struct Link
{
    Link()
        : values(QSharedPointer<Model::Observer::ModelValueObserver>::create()),
          service(std::make_unique<TaloLinkTerminalService>(
              QSharedPointer<Application::R58::SerialPort>(), values)),
          capture(ComponentID::TaloLinkUSB, written)
    {
        service->addComponent(capture);
        app.addService(*service);
        app.addComponent(capture);
        service->registerObserver(*values);
        values->registerObserver(*service);
        database = std::make_unique<Model::Database::ModelDatabase>(app, *values, actions);
    }

    std::vector<ModelTest::WrittenFrame> written;
    ModelTest::TestApplication app;
    QSharedPointer<Model::Observer::ModelValueObserver> values;
    Model::Observer::ModelActionObserver actions;
    std::unique_ptr<TaloLinkTerminalService> service;
    ModelTest::CaptureLink capture;
    std::unique_ptr<Model::Database::ModelDatabase> database;
};

Link* g_link = nullptr;

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    Fuzz::ensureApplication();
    static Link link;
    g_link = &link;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    Link& link = *g_link;
    link.written.clear();
    std::size_t delivered = 0;
    TaloLinkReassembler reassembler([&](const TaloLinkPacket& packet) {
        FUZZ_CHECK(packet.isChecksumValid());
        FUZZ_CHECK(packet.length == packet.raw.size());
        ++delivered;
        link.service->handlePacketInternal(packet);
    });
    reassembler.setState(TaloLinkReassembler::State::Sync);

    while (input.remaining_bytes() > 0) {
        const auto chunkSize
            = input.ConsumeIntegralInRange<std::size_t>(1, 2 * TaloLinkReassembler::BufferSize);
        const auto steps = input.ConsumeIntegralInRange<int>(0, 64);
        const std::vector<std::uint8_t> chunk = input.ConsumeBytes<std::uint8_t>(chunkSize);
        reassembler.append(chunk.data(), chunk.size());
        FUZZ_CHECK(reassembler.getFillLevel() <= TaloLinkReassembler::BufferSize);
        // A few steps leave a frame half read when the next chunk comes; 0 runs to the end.
        if (steps == 0) {
            reassembler.run();
        } else {
            for (int i = 0; i < steps && reassembler.step(); ++i) { }
        }
    }
    reassembler.run();
    FUZZ_CHECK(reassembler.getDeliveredCount() == delivered);

    // The device screen reads every value after its signal; read them all here.
    for (std::uint16_t id = 0; id <= std::uint16_t(ModelValueID::MaxCount); ++id) {
        if (const auto* value = link.values->getValue(ModelValueID(id)))
            (void)value->toString();
    }
    (void)link.service->getPlatformName();
    qDeleteAll(link.service->getCommandItemList());
    return 0;
}
