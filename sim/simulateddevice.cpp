#include "sim/simulateddevice.h"

#include "link/listserialportsource.h"
#include "update/crc32.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSocketNotifier>
#include <QTimer>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <sys/timerfd.h>
#include <unistd.h>

namespace Simulator {

using Component::Interfaces::TaloLinkCommandID;
using Component::Interfaces::TaloLinkPacket;

namespace {

constexpr int RetryInterval = 10; // milliseconds before a write the pty refused is tried again
constexpr int MaxQueued = 256 * 1024; // what a device with nobody listening keeps
constexpr quint32 PlatformVersion = 0x04030200u; // V4.3.2.0
constexpr quint32 BootloaderVersion = 0x01000200u; // V1.0.2.0, what either boot loader reports
constexpr quint32 HalVersion = 0x01020001u; // V1.2.0.1, the same in both states

// Identifiers by the width of their value on the wire; the rest are one byte.
constexpr quint16 FloatIds[] = {2, 3, 5, 6, 26, 29, 32, 34, 35, 36, 37, 38, 53};
constexpr quint16 WordIds[] = {49};
constexpr quint16 LongIds[] = {39, 45, 46};

enum : quint16 {
    TripClass = 0,
    TripClassMax = 1,
    NominalCurrent = 2,
    NominalCurrentMax = 3,
    OperatingMode = 10,
    Warning = 17,
    Error = 18,
    MeasurementPhase = 20,
    MeasurementVoltage = 34,
    MeasurementCurrent = 35,
    ActivePower = 36,
    ApparentPower = 37,
    ReactivePower = 38,
    Version = 39,
    MaxValueId = 54,
};

template <std::size_t N> bool contains(const quint16 (&ids)[N], quint16 id)
{
    return std::find(std::begin(ids), std::end(ids), id) != std::end(ids);
}

int wireSize(quint16 id)
{
    if (contains(FloatIds, id) || contains(LongIds, id))
        return 4;
    if (contains(WordIds, id))
        return 2;
    return 1;
}

QByteArray le(quint32 value, int size)
{
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i)
        bytes[i] = char(value >> (8 * i));
    return bytes;
}

QByteArray leFloat(float value)
{
    quint32 bits;
    std::memcpy(&bits, &value, 4);
    return le(bits, 4);
}

quint32 readLe(const std::uint8_t* data, int size)
{
    quint32 value = 0;
    for (int i = 0; i < size; ++i)
        value |= quint32(data[i]) << (8 * i);
    return value;
}

float floatFrom(const QByteArray& fourBytes)
{
    const quint32 bits = readLe(reinterpret_cast<const std::uint8_t*>(fourBytes.constData()), 4);
    float value;
    std::memcpy(&value, &bits, 4);
    return value;
}

QByteArray argBytes(const TaloLinkPacket& packet, std::size_t index)
{
    if (index >= packet.args.size())
        return {};
    return QByteArray(
        reinterpret_cast<const char*>(packet.args[index].data), packet.args[index].length);
}

quint32 argNumber(const TaloLinkPacket& packet, std::size_t index, int size)
{
    const QByteArray bytes = argBytes(packet, index);
    if (bytes.size() < size)
        return 0;
    return readLe(reinterpret_cast<const std::uint8_t*>(bytes.constData()), size);
}

quint32 crcOf(const QByteArray& data)
{
    return Utilities::CRC32().calculateChecksum(
        reinterpret_cast<const std::uint8_t*>(data.constData()), quint32(data.size()), 0xFFFFFFFFu);
}

int uniqueCounter()
{
    static int counter = 0;
    return ++counter;
}

} // namespace

SimulatedDevice::SimulatedDevice(const QString& linkDirectory,
    QSharedPointer<Application::R58::ListSerialPortSource> source, QObject* parent)
    : QObject(parent),
      // Unique base names: the serial port module locks ports by base name.
      m_linkPath(QDir(linkDirectory)
                     .filePath(QStringLiteral("ttyR58sim%1_%2")
                                   .arg(QCoreApplication::applicationPid())
                                   .arg(uniqueCounter()))),
      m_source(std::move(source)),
      m_lineTimer(new QTimer(this)),
      m_deliveryTimer(::timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC)),
      m_measurementTimer(new QTimer(this))
{
    m_reassembler.setPacketHandler([this](const TaloLinkPacket& packet) { handleFrame(packet); });
    m_reassembler.setState(Component::Interfaces::TaloLinkReassembler::State::Sync);
    m_lineTimer->setInterval(RetryInterval);
    connect(m_lineTimer, &QTimer::timeout, this, [this] {
        drainOutgoing();
        if (m_outgoing.isEmpty())
            m_lineTimer->stop();
    });
    // Qt's timers count whole milliseconds, a fifth of a block's time on the line; a timer
    // descriptor wakes the device within microseconds of the moment bytes are due.
    if (m_deliveryTimer >= 0) {
        m_deliveryNotifier = new QSocketNotifier(m_deliveryTimer, QSocketNotifier::Read, this);
        connect(m_deliveryNotifier, &QSocketNotifier::activated, this, [this] {
            quint64 expirations = 0;
            if (::read(m_deliveryTimer, &expirations, sizeof expirations) > 0)
                deliverDue();
        });
    }
    m_lineClock.start();
    m_measurementTimer->setInterval(250);
    connect(m_measurementTimer, &QTimer::timeout, this, &SimulatedDevice::measure);
    factoryValues();
}

SimulatedDevice::~SimulatedDevice()
{
    unplug();
    // The notifier must not outlive the descriptor it watches.
    delete m_deliveryNotifier;
    if (m_deliveryTimer >= 0)
        ::close(m_deliveryTimer);
}

Application::R58::SerialPortSource::Port SimulatedDevice::portInfo() const
{
    return {m_linkPath, VendorIdentifier, ProductIdentifier};
}

void SimulatedDevice::setFaults(const Faults& faults)
{
    m_faults = faults;
}

void SimulatedDevice::setMeasurementInterval(int milliseconds)
{
    m_measurementTimer->setInterval(milliseconds);
}

bool SimulatedDevice::plugIn()
{
    if (isPlugged())
        return true;
    QString error;
    if (!m_pty.open(&error)) {
        qWarning("simulated device: cannot open a pseudo-terminal: %s", qPrintable(error));
        return false;
    }
    QFile::remove(m_linkPath);
    if (!QFile::link(m_pty.slavePath(), m_linkPath)) {
        qWarning("simulated device: cannot link %s", qPrintable(m_linkPath));
        m_pty.close();
        return false;
    }
    m_readNotifier = new QSocketNotifier(m_pty.masterFd(), QSocketNotifier::Read, this);
    connect(m_readNotifier, &QSocketNotifier::activated, this, &SimulatedDevice::readFromHost);
    m_reassembler.clear();
    if (m_source)
        m_source->addPort(portInfo());
    emit pluggedIn();
    return true;
}

void SimulatedDevice::unplug()
{
    if (!isPlugged())
        return;
    if (m_source)
        m_source->removePort(m_linkPath);
    delete m_readNotifier;
    m_readNotifier = nullptr;
    m_pty.close();
    QFile::remove(m_linkPath);
    m_measurementTimer->stop();
    m_measurement = Measurement::None;
    m_lineTimer->stop();
    armDelivery(-1);
    m_outgoing.clear();
    m_incomingLine.clear();
    m_outgoingLine.clear();
    m_outgoingLineSize = 0;
    m_platformTransfer = Transfer();
    m_displayTransfer = Transfer();
    emit unplugged();
}

void SimulatedDevice::factoryValues()
{
    for (quint16 id = 0; id <= MaxValueId; ++id)
        m_values[id] = QByteArray(wireSize(id), '\0');
    restoreSettings();
    setUIntValue(TripClassMax, 7);
    setFloatValue(NominalCurrentMax, 2.6f);
    setUIntValue(9, 0); // thermal capacity indicator
    setUIntValue(21, 1); // housing edge
    setUIntValue(24, 3); // platform state: run
    setUIntValue(Version, PlatformVersion);
    m_displayVersion = PlatformVersion; // both processors come from one package
    setUIntValue(40, 0x01); // controller board
    setUIntValue(41, 0x0A); // power board
    setUIntValue(42, 0x03); // display board
    setUIntValue(15, 1); // about sub-setting
    setUIntValue(45, 21504711u); // serial number
    setUIntValue(46, 51322); // Strand Plus 2,6 A
    setUIntValue(47, 'A');
    setUIntValue(48, 37); // production week
    setUIntValue(49, 2026); // production year
    setUIntValue(50, 3); // production day
}

void SimulatedDevice::restoreSettings()
{
    setUIntValue(11, 1);
    setUIntValue(12, 1);
    setUIntValue(16, 1);
    setUIntValue(TripClass, 3); // class 10A
    setFloatValue(NominalCurrent, 2.0f);
    setUIntValue(4, 0);
    setFloatValue(5, 2.0f);
    setFloatValue(6, 2.0f);
    setUIntValue(7, 50);
    setUIntValue(25, 0);
    setFloatValue(26, 0.5f);
    setUIntValue(27, 0);
    setUIntValue(28, 0);
    setFloatValue(29, 207.0f);
    setUIntValue(30, 0);
    setUIntValue(31, 0);
    setFloatValue(32, 253.0f);
    setUIntValue(33, 0);
    setUIntValue(43, 0);
    setUIntValue(52, 0);
    setFloatValue(53, 0.2f);
    setUIntValue(54, 0);
}

quint32 SimulatedDevice::uintValue(quint16 id) const
{
    const QByteArray bytes = m_values.value(id);
    return readLe(reinterpret_cast<const std::uint8_t*>(bytes.constData()), bytes.size());
}

float SimulatedDevice::floatValue(quint16 id) const
{
    const quint32 bits = uintValue(id);
    float value;
    std::memcpy(&value, &bits, 4);
    return value;
}

void SimulatedDevice::setUIntValue(quint16 id, quint32 value)
{
    m_values[id] = le(value, wireSize(id));
}

void SimulatedDevice::setFloatValue(quint16 id, float value)
{
    m_values[id] = leFloat(value);
}

void SimulatedDevice::setValueBytes(quint16 id, const QByteArray& bytes)
{
    // Stored in the value's own width, whatever width the host sent.
    QByteArray value = bytes.left(wireSize(id));
    value.append(QByteArray(wireSize(id) - value.size(), '\0'));
    m_values[id] = value;
}

QByteArray SimulatedDevice::processorState(Terminal terminal) const
{
    return terminal == Terminal::Display ? m_displayState : m_platformState;
}

QList<QByteArray> SimulatedDevice::receivedImages(Terminal terminal) const
{
    return terminal == Terminal::Display ? m_displayImages : m_platformImages;
}

void SimulatedDevice::readFromHost()
{
    char buffer[4096];
    for (;;) {
        const ssize_t count = ::read(m_pty.masterFd(), buffer, sizeof buffer);
        if (count <= 0)
            break;
        const QByteArray bytes(buffer, int(count));
        if (m_faults.rateLimited) {
            putOnLine(m_incomingLine, m_incomingFreeAt, bytes);
        } else {
            feed(bytes);
        }
        if (!isPlugged())
            break; // a frame made the device restart
    }
}

void SimulatedDevice::feed(const QByteArray& bytes)
{
    // One read may bring more than the ring holds (a burst of requests); appended at once,
    // the oldest unread requests would give way. So the ring takes what fits, is parsed
    // empty of whole frames, and takes the next piece.
    using Reassembler = Component::Interfaces::TaloLinkReassembler;
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.constData());
    std::size_t remaining = std::size_t(bytes.size());
    do {
        const std::size_t room = Reassembler::BufferSize - m_reassembler.getFillLevel();
        // A full ring that parsing could not empty holds no frame any more: let it give way.
        const std::size_t piece = room == 0 ? remaining : std::min(room, remaining);
        m_reassembler.append(data, piece);
        data += piece;
        remaining -= piece;
        m_reassembler.run();
    } while (remaining > 0 && isPlugged());
}

void SimulatedDevice::putOnLine(QList<TimedBytes>& line, qint64& freeAt, const QByteArray& bytes)
{
    const qint64 now = m_arrivedAt >= 0 ? m_arrivedAt : m_lineClock.nsecsElapsed();
    freeAt = std::max(now, freeAt) + qint64(bytes.size()) * 1000000000 / LineBytesPerSecond;
    line.append({freeAt, bytes});
    scheduleDelivery();
}

void SimulatedDevice::scheduleDelivery()
{
    qint64 due = -1;
    for (const QList<TimedBytes>* line : {&m_incomingLine, &m_outgoingLine}) {
        if (!line->isEmpty() && (due < 0 || line->first().due < due))
            due = line->first().due;
    }
    armDelivery(due < 0 ? -1 : std::max<qint64>(1, due - m_lineClock.nsecsElapsed()));
}

void SimulatedDevice::armDelivery(qint64 nanoseconds)
{
    if (m_deliveryTimer < 0)
        return;
    itimerspec when {};
    if (nanoseconds > 0) { // zero disarms
        when.it_value.tv_sec = nanoseconds / 1000000000;
        when.it_value.tv_nsec = nanoseconds % 1000000000;
    }
    ::timerfd_settime(m_deliveryTimer, 0, &when, nullptr);
}

void SimulatedDevice::deliverDue()
{
    const qint64 horizon = m_lineClock.nsecsElapsed();
    while (!m_outgoingLine.isEmpty() && m_outgoingLine.first().due <= horizon) {
        const QByteArray bytes = m_outgoingLine.takeFirst().bytes;
        m_outgoingLineSize -= bytes.size();
        m_outgoing.append(bytes);
    }
    drainOutgoing();
    if (!m_outgoing.isEmpty())
        m_lineTimer->start();
    // A frame fed here may unplug the device, which empties the lines.
    while (isPlugged() && !m_incomingLine.isEmpty() && m_incomingLine.first().due <= horizon) {
        const TimedBytes arrived = m_incomingLine.takeFirst();
        m_arrivedAt = arrived.due;
        feed(arrived.bytes);
        m_arrivedAt = -1;
    }
    scheduleDelivery();
}

void SimulatedDevice::drainOutgoing()
{
    if (m_outgoing.isEmpty() || !isPlugged())
        return;
    const ssize_t written
        = ::write(m_pty.masterFd(), m_outgoing.constData(), size_t(m_outgoing.size()));
    if (written > 0)
        m_outgoing.remove(0, int(written));
}

void SimulatedDevice::writeNow(const QByteArray& bytes)
{
    if (!isPlugged())
        return;
    if (m_outgoing.size() + m_outgoingLineSize + bytes.size() > MaxQueued)
        return; // nobody reads: the device drops what it cannot hold
    m_written.fetch_add(1, std::memory_order_relaxed);
    if (m_faults.rateLimited) {
        m_outgoingLineSize += bytes.size();
        putOnLine(m_outgoingLine, m_outgoingFreeAt, bytes);
        return;
    }
    m_outgoing.append(bytes);
    drainOutgoing();
    if (!m_outgoing.isEmpty())
        m_lineTimer->start();
}

void SimulatedDevice::sendRaw(const QByteArray& bytes)
{
    writeNow(bytes);
}

void SimulatedDevice::sendFrame(
    Terminal source, TaloLinkCommandID command, const QList<QByteArray>& args)
{
    if (m_faults.silent)
        return;
    TaloLinkPacket::ArgList list;
    for (const QByteArray& arg : args)
        list.append({reinterpret_cast<const std::uint8_t*>(arg.constData()), quint16(arg.size())});
    QByteArray frame = TaloLinkPacket::build(command, source, Terminal::Host, list);

    if (m_faults.dropRate > 0 && m_random.generateDouble() < m_faults.dropRate) {
        if (m_recording)
            m_sentFrames.append({frame, false});
        return;
    }
    const QByteArray intact = frame;
    if (m_faults.corruptRate > 0 && m_random.generateDouble() < m_faults.corruptRate) {
        const int at = 6 + int(m_random.bounded(quint32(frame.size() - 6)));
        frame[at] = char(frame[at] ^ char(1 + m_random.bounded(255)));
    }
    if (m_recording)
        m_sentFrames.append({intact, frame == intact});
    if (m_faults.garbageRate > 0 && m_random.generateDouble() < m_faults.garbageRate) {
        QByteArray garbage(int(1 + m_random.bounded(40)), '\0');
        for (char& c : garbage)
            c = char(m_random.bounded(256));
        writeNow(garbage);
    }
    writeNow(frame);
}

void SimulatedDevice::reportValue(quint16 id)
{
    if (!m_values.contains(id))
        return;
    sendFrame(
        Terminal::Platform, TaloLinkCommandID::SetModelValue, {le(id, 2), m_values.value(id)});
}

void SimulatedDevice::answerValue(quint16 id)
{
    if (m_faults.answerDelay < 0)
        return;
    if (m_faults.answerDelay == 0) {
        reportValue(id);
        return;
    }
    QTimer::singleShot(m_faults.answerDelay, this, [this, id] {
        if (isPlugged())
            reportValue(id);
    });
}

SimulatedDevice::Transfer& SimulatedDevice::transfer(Terminal terminal)
{
    return terminal == Terminal::Display ? m_displayTransfer : m_platformTransfer;
}

void SimulatedDevice::handleFrame(const TaloLinkPacket& packet)
{
    if (m_recording)
        m_receivedFrames.append(packet.raw);
    emit frameReceived(packet.raw);
    if (packet.source != Terminal::Host)
        return;
    const Terminal target = packet.destination;
    if (target != Terminal::Platform && target != Terminal::Display)
        return;
    QByteArray& state = target == Terminal::Display ? m_displayState : m_platformState;
    const bool inApplication = state == "Application";
    const bool platformApp = target == Terminal::Platform && inApplication;

    switch (packet.command) {
    case TaloLinkCommandID::GetName:
        sendFrame(target, TaloLinkCommandID::GetName, {state});
        break;
    case TaloLinkCommandID::JumpToBootloader:
        state = "Bootloader";
        if (target == Terminal::Platform) {
            m_measurementTimer->stop();
            m_measurement = Measurement::None;
        }
        break;
    case TaloLinkCommandID::JumpToApplication:
        state = "Application";
        break;
    case TaloLinkCommandID::Reset:
        transfer(target) = Transfer();
        break;
    // Both processors answer these in their boot loader too; the boot loader with its own
    // version.
    case TaloLinkCommandID::GetSWVersion:
        sendFrame(target, packet.command,
            {le(!inApplication                  ? BootloaderVersion
                    : target == Terminal::Platform ? uintValue(Version)
                                                   : m_displayVersion,
                4)});
        break;
    case TaloLinkCommandID::GetHALVersion:
        sendFrame(target, packet.command, {le(HalVersion, 4)});
        break;
    case TaloLinkCommandID::GetModelValue:
        if (platformApp)
            answerValue(quint16(argNumber(packet, 0, 2)));
        break;
    case TaloLinkCommandID::SetModelValue:
        if (platformApp && packet.args.size() >= 2) {
            const quint16 id = quint16(argNumber(packet, 0, 2));
            if (m_values.contains(id) && !m_faults.ignoredWrites.contains(id)) {
                QByteArray bytes = argBytes(packet, 1);
                const auto limit = m_faults.writeLimits.constFind(id);
                if (limit != m_faults.writeLimits.constEnd() && bytes.size() == 4
                    && floatFrom(bytes) > *limit)
                    bytes = leFloat(*limit);
                setValueBytes(id, bytes);
                answerValue(id);
            }
        }
        break;
    case TaloLinkCommandID::FireModelAction:
        if (platformApp)
            handleAction(quint16(argNumber(packet, 0, 2)));
        break;
    case TaloLinkCommandID::ApplicationUpdate:
        if (!inApplication) {
            Transfer& t = transfer(target);
            t = Transfer();
            t.active = true;
            t.blockCount = quint16(argNumber(packet, 0, 2));
            t.crc = argNumber(packet, 1, 4);
            requestBlock(target);
        }
        break;
    case TaloLinkCommandID::Memblock:
        if (!inApplication)
            handleMemblock(packet);
        break;
    default:
        if (inApplication)
            handleServiceCommand(packet);
        break;
    }
}

void SimulatedDevice::handleServiceCommand(const TaloLinkPacket& packet)
{
    using C = TaloLinkCommandID;
    const Terminal from = packet.destination;
    const QByteArray first = argBytes(packet, 0).left(1);
    const QByteArray index = first.isEmpty() ? QByteArray(1, '\0') : first;
    const QByteArray unit
        = argBytes(packet, 1).left(1).isEmpty() ? QByteArray(1, '\0') : argBytes(packet, 1).left(1);
    const bool current = unit.at(0) == 1;
    switch (packet.command) {
    case C::PhaseCtrlGetFailureStatus:
        sendFrame(from, packet.command, {index, QByteArray(1, '\0')});
        break;
    case C::PhaseCtrlGetReadyStatus:
        sendFrame(from, packet.command, {index, QByteArray(1, '\1')});
        break;
    case C::MeasurementGetStaticOffset:
        sendFrame(from, packet.command, {index, unit, leFloat(current ? 0.012f : 0.25f)});
        break;
    case C::MeasurementGetGainOffset:
        sendFrame(from, packet.command, {index, unit, leFloat(current ? 1.002f : 0.998f)});
        break;
    case C::MeasurementGetRMSValue:
    case C::MeasurementGetMovingAverageValue:
        sendFrame(from, packet.command,
            {index, unit, leFloat(current ? floatValue(MeasurementCurrent) : 230.4f)});
        break;
    case C::MeasurementGetWaveform:
        sendFrame(from, packet.command, {index, leFloat(float(325.0 * std::sin(m_time)))});
        break;
    case C::StateMachineGetState:
        sendFrame(from, packet.command, {QByteArray(1, char(uintValue(OperatingMode) ? 4 : 2))});
        break;
    case C::GetTemperature:
        sendFrame(from, packet.command, {index, leFloat(41.5f)});
        break;
    case C::GetAuxVoltage:
        sendFrame(from, packet.command, {leFloat(24.1f)});
        break;
    case C::GetSupplyVoltage:
        sendFrame(from, packet.command, {leFloat(3.3f)});
        break;
    case C::GetSupplyState:
        sendFrame(from, packet.command, {QByteArray(1, '\1')});
        break;
    case C::GetThermalCapacity: {
        const quint8 phase = quint8(index.at(0));
        sendFrame(from, packet.command,
            {index, leFloat(phase < m_thermalCapacity.size() ? m_thermalCapacity[phase] : 0.0f)});
        break;
    }
    case C::SetThermalCapacity: {
        // Taken for the phase; the answer repeats the value as the device took it.
        const QByteArray value = argBytes(packet, 1).left(4);
        const quint8 phase = quint8(index.at(0));
        if (value.size() == 4 && phase < m_thermalCapacity.size())
            m_thermalCapacity[phase] = floatFrom(value);
        sendFrame(from, packet.command, {value.size() == 4 ? value : leFloat(0.0f)});
        break;
    }
    case C::ExternalFlashGetDeviceID:
        sendFrame(from, packet.command, {QByteArray::fromHex("ef4018")});
        break;
    case C::AnalogSignalsGetInputStatus:
        sendFrame(from, packet.command, {index, QByteArray(1, '\0')});
        break;
    case C::MosfetMonitorGetState:
    case C::DeviceProtectionGetDCProtection:
        sendFrame(from, packet.command, {QByteArray(1, '\0')});
        break;
    case C::GetButtonStatus:
        sendFrame(from, packet.command, {index, QByteArray(1, '\0')});
        break;
    default:
        break; // accepted without an answer
    }
}

void SimulatedDevice::handleAction(quint16 action)
{
    switch (action) {
    case 0: // reset error
        setUIntValue(Warning, 0);
        setUIntValue(Error, 0);
        reportValue(Warning);
        reportValue(Error);
        break;
    case 1:
        m_measurement = Measurement::Voltage;
        m_measurementTimer->start();
        break;
    case 2:
        m_measurement = Measurement::Current;
        m_measurementTimer->start();
        break;
    case 3:
        m_measurement = Measurement::Power;
        m_measurementTimer->start();
        break;
    case 4:
        m_measurement = Measurement::None;
        m_measurementTimer->stop();
        break;
    case 5: // factory reset
        restoreSettings();
        for (quint16 id :
            {11, 12, 16, 0, 2, 4, 5, 6, 7, 25, 26, 27, 28, 29, 30, 31, 32, 33, 43, 52, 53, 54})
            reportValue(id);
        break;
    case 6: // motor left
        setUIntValue(OperatingMode, 2);
        reportValue(OperatingMode);
        break;
    case 7: // motor right
        setUIntValue(OperatingMode, 1);
        reportValue(OperatingMode);
        break;
    case 8:
        setUIntValue(OperatingMode, 0);
        reportValue(OperatingMode);
        break;
    default:
        break; // display update start and stop, maintenance: accepted
    }
}

void SimulatedDevice::measure()
{
    m_time += m_measurementTimer->interval() / 1000.0;
    const bool running = uintValue(OperatingMode) == 1 || uintValue(OperatingMode) == 2;
    const float nominal = floatValue(NominalCurrent);
    auto wobble = [this](int phase, double amount) {
        return amount * std::sin(0.7 * m_time + 2.1 * phase)
            + 0.3 * amount * std::sin(3.1 * m_time);
    };
    auto voltage = [&](int phase) { return float(400.0 + wobble(phase, 3.0)); };
    auto current
        = [&](int phase) { return running ? float(nominal * (0.92 + wobble(phase, 0.03))) : 0.0f; };

    switch (m_measurement) {
    case Measurement::Voltage:
    case Measurement::Current:
        for (int phase = 0; phase < 3; ++phase) {
            setUIntValue(MeasurementPhase, quint32(phase));
            reportValue(MeasurementPhase);
            if (m_measurement == Measurement::Voltage) {
                setFloatValue(MeasurementVoltage, voltage(phase));
                reportValue(MeasurementVoltage);
            } else {
                setFloatValue(MeasurementCurrent, current(phase));
                reportValue(MeasurementCurrent);
            }
        }
        break;
    case Measurement::Power: {
        double apparent = 0.0;
        for (int phase = 0; phase < 3; ++phase)
            apparent += voltage(phase) / std::sqrt(3.0) * current(phase);
        const double active = apparent * 0.85;
        const double reactive = std::sqrt(std::max(0.0, apparent * apparent - active * active));
        setFloatValue(ActivePower, float(active));
        setFloatValue(ApparentPower, float(apparent));
        setFloatValue(ReactivePower, float(reactive));
        reportValue(ActivePower);
        reportValue(ApparentPower);
        reportValue(ReactivePower);
        break;
    }
    case Measurement::None:
        m_measurementTimer->stop();
        break;
    }
}

void SimulatedDevice::requestBlock(Terminal terminal)
{
    sendFrame(terminal, TaloLinkCommandID::Memblock, {le(transfer(terminal).nextBlock, 2)});
}

void SimulatedDevice::handleMemblock(const TaloLinkPacket& packet)
{
    const Terminal terminal = packet.destination;
    Transfer& t = transfer(terminal);
    if (!t.active || packet.args.size() < 3)
        return;
    const quint16 number = quint16(argNumber(packet, 0, 2));
    const QByteArray data = argBytes(packet, 1);
    const quint32 crc = argNumber(packet, 2, 4);
    if (number != t.nextBlock)
        return; // a block nobody asked for: ask again below only for the expected one
    if (crcOf(data) != crc) {
        requestBlock(terminal); // damaged on the way: ask for it again
        return;
    }
    t.image.append(data);
    ++t.nextBlock;
    if (t.nextBlock < t.blockCount)
        requestBlock(terminal);
    else
        finishTransfer(terminal);
}

void SimulatedDevice::finishTransfer(Terminal terminal)
{
    Transfer done = transfer(terminal);
    transfer(terminal) = Transfer();
    if (crcOf(done.image) != done.crc) {
        ++m_failedUpdates;
        emit updateFailed(QStringLiteral("image CRC mismatch"));
        return;
    }
    // A versioned image (see the header) is what the processor then reports.
    const bool versioned = done.image.startsWith("R58V") && done.image.size() >= 8;
    const quint32 version
        = versioned ? readLe(reinterpret_cast<const std::uint8_t*>(done.image.constData()) + 4, 4)
                    : 0;
    if (terminal == Terminal::Display) {
        if (versioned)
            m_displayVersion = version;
        m_displayImages.append(done.image);
        m_displayState = "Application";
        emit imageReceived(terminal);
        return;
    }
    m_platformImages.append(done.image);
    if (versioned)
        setUIntValue(Version, version);
    // Some firmware brings its own defaults along.
    if (m_updateResetsSettings)
        restoreSettings();
    m_platformState = "Application";
    emit imageReceived(terminal);
    // The platform restarts with its new image: the port goes away and comes back.
    QTimer::singleShot(0, this, [this] {
        unplug();
        QTimer::singleShot(m_restartDelay, this, [this] { plugIn(); });
    });
}

} // namespace Simulator
