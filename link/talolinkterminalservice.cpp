#include "link/talolinkterminalservice.h"

#include "link/serialport.h"
#include "link/talolinkcomponent.h"
#include "link/terminalresponseformatter.h"
#include "link/threadannotations.h"
#include "model/modelipcvalueobserver.h"
#include "model/modelvalueevent.h"
#include "model/modelvalueintf.h"

#include <QMetaMethod>

#include <climits>

namespace Service::R58 {

using Component::Interfaces::TaloLinkCommandID;
using Component::Interfaces::TaloLinkReassembler;
using Model::Interfaces::ModelValueEvent;
using Model::Interfaces::ModelValueID;

namespace {

namespace Annotate = Utilities::ThreadAnnotations;

// QMutexLocker that also tells the thread sanitizer what the lock orders.
class Lock
{
public:
    explicit Lock(QMutex& mutex) : m_mutex(mutex)
    {
        m_mutex.lock();
        Annotate::acquired(&m_mutex);
    }
    ~Lock()
    {
        Annotate::releasing(&m_mutex);
        m_mutex.unlock();
    }
    Lock(const Lock&) = delete;
    Lock& operator=(const Lock&) = delete;

    // Waits on the condition, releasing the lock meanwhile.
    bool wait(QWaitCondition& condition, unsigned long milliseconds = ULONG_MAX)
    {
        Annotate::releasing(&m_mutex);
        const bool woken = condition.wait(&m_mutex, milliseconds);
        Annotate::acquired(&m_mutex);
        return woken;
    }

private:
    QMutex& m_mutex;
};

// How long the GUI thread lets the receive thread make room for a burst before
// the oldest bytes give way, as they would without a reader.
constexpr unsigned long RoomWait = 2000; // milliseconds

} // namespace

TaloLinkTerminalService::TaloLinkTerminalService(QSharedPointer<Application::R58::SerialPort> port,
    QSharedPointer<Model::Interfaces::ModelIPCValueObserver> observer, QObject* parent)
    : QThread(parent), m_observer(std::move(observer))
{
    fillDispatchTable();
    if (port) {
        connect(port.data(), &Application::R58::SerialPort::dataTransmitted, this,
            &TaloLinkTerminalService::handleDataTransmitted);
        connect(port.data(), &Application::R58::SerialPort::dataReceived, this,
            &TaloLinkTerminalService::handleDataReceived);
    }
}

TaloLinkTerminalService::~TaloLinkTerminalService()
{
    {
        Lock locker(m_mutex);
        m_quit = true;
        m_dataAvailable.wakeAll();
        m_spaceAvailable.wakeAll();
    }
    wait();
    Annotate::acquired(this); // the thread has ended
    m_reassembler.setState(TaloLinkReassembler::State::Idle);
}

void TaloLinkTerminalService::fillDispatchTable()
{
    using Handler = void (TaloLinkTerminalService::*)(const Packet&);
    const std::pair<TaloLinkCommandID, Handler> table[] = {
        {TaloLinkCommandID::GetSWVersion, &TaloLinkTerminalService::onGetSWVersion},
        {TaloLinkCommandID::GetHALVersion, &TaloLinkTerminalService::onGetHALVersion},
        {TaloLinkCommandID::GetName, &TaloLinkTerminalService::onGetName},
        {TaloLinkCommandID::Memblock, &TaloLinkTerminalService::onMemblock},
        {TaloLinkCommandID::SetModelValue, &TaloLinkTerminalService::onModelSetValue},
        {TaloLinkCommandID::PhaseCtrlGetFailureStatus,
            &TaloLinkTerminalService::onPhaseCtrlGetFailureStatus},
        {TaloLinkCommandID::PhaseCtrlGetReadyStatus,
            &TaloLinkTerminalService::onPhaseCtrlGetReadyStatus},
        {TaloLinkCommandID::MeasurementGetStaticOffset,
            &TaloLinkTerminalService::onMeasurementGetStaticOffset},
        {TaloLinkCommandID::MeasurementGetGainOffset,
            &TaloLinkTerminalService::onMeasurementGetGainOffset},
        {TaloLinkCommandID::MeasurementGetRMSValue,
            &TaloLinkTerminalService::onMeasurementGetRMSValue},
        {TaloLinkCommandID::MeasurementGetMovingAverageValue,
            &TaloLinkTerminalService::onMeasurementGetMovingAverageValue},
        {TaloLinkCommandID::MeasurementGetWaveform,
            &TaloLinkTerminalService::onMeasurementGetWaveform},
        {TaloLinkCommandID::StateMachineGetState, &TaloLinkTerminalService::onStateMachineGetState},
        {TaloLinkCommandID::GetTemperature, &TaloLinkTerminalService::onTempMonitorGetTemperature},
        {TaloLinkCommandID::GetAuxVoltage, &TaloLinkTerminalService::onVoltageMonitorGetAuxVoltage},
        {TaloLinkCommandID::GetSupplyVoltage,
            &TaloLinkTerminalService::onVoltageMonitorGetSupplyVoltage},
        {TaloLinkCommandID::GetSupplyState,
            &TaloLinkTerminalService::onVoltageMonitorGetSupplyState},
        {TaloLinkCommandID::SetThermalCapacity,
            &TaloLinkTerminalService::onMotorProtectionSetThermalCapacity},
        {TaloLinkCommandID::ExternalFlashGetDeviceID,
            &TaloLinkTerminalService::onExternalFlashGetDeviceID},
        {TaloLinkCommandID::AnalogSignalsGetInputStatus,
            &TaloLinkTerminalService::onAnalogSignalsGetInputStatus},
        {TaloLinkCommandID::MosfetMonitorGetState,
            &TaloLinkTerminalService::onMosfetMonitorGetState},
        {TaloLinkCommandID::DeviceProtectionGetDCProtection,
            &TaloLinkTerminalService::onDeviceProtectionGetDCProtection},
        {TaloLinkCommandID::GetButtonStatus, &TaloLinkTerminalService::onGetButtonStatus},
    };
    for (const auto& [command, handler] : table)
        addCommand(
            command, [this, handler = handler](const Packet& packet) { (this->*handler)(packet); });
}

void TaloLinkTerminalService::performStartup()
{
    {
        Lock locker(m_mutex);
        AbstractTaloLinkTerminal::performStartup();
    }
    QThread::start();
    m_component = dynamic_cast<Component::R58::TaloLinkComponent*>(
        getComponent(Component::Interfaces::ComponentID::TaloLinkUSB));
    if (m_component) {
        m_component->getPlatformName();
        m_component->getDisplayName();
    }
}

void TaloLinkTerminalService::performShutdown()
{
    Lock locker(m_mutex);
    AbstractTaloLinkTerminal::performShutdown();
}

void TaloLinkTerminalService::run()
{
    for (;;) {
        Lock locker(m_mutex);
        if (m_quit) {
            Annotate::releasing(this);
            return;
        }
        // Sleep rather than spin while nothing can be parsed, a partial frame included.
        const bool progressed = m_reassembler.step();
        m_spaceAvailable.wakeAll();
        if (!progressed && !m_quit)
            locker.wait(m_dataAvailable);
    }
}

void TaloLinkTerminalService::handleDataReceived(const QByteArray& data)
{
    appendReceived(data);
    // Woken after the lock is released, so that the receive thread does not wake only to
    // block on the lock still held here (a second system call on each side per read). No
    // wake-up is lost: a receive thread that found nothing to parse was waiting before this
    // thread could take the lock and append.
    m_dataAvailable.wakeAll();
}

void TaloLinkTerminalService::appendReceived(const QByteArray& data)
{
    Lock locker(m_mutex);
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(data.constData());
    std::size_t remaining = std::size_t(data.size());
    while (remaining > 0) {
        const std::size_t room = TaloLinkReassembler::BufferSize - m_reassembler.getFillLevel();
        const bool consuming = m_reassembler.getState() != TaloLinkReassembler::State::Idle
            && QThread::isRunning() && !m_quit;
        // A full ring always lets the next step progress, so waiting for room
        // cannot stall; it keeps a large burst from pushing out unread frames.
        if (room == 0 && consuming) {
            m_dataAvailable.wakeAll();
            if (locker.wait(m_spaceAvailable, RoomWait))
                continue;
        }
        const std::size_t chunk = room == 0 ? remaining : std::min(room, remaining);
        m_reassembler.append(bytes, chunk);
        bytes += chunk;
        remaining -= chunk;
    }
}

bool TaloLinkTerminalService::isLogShown() const
{
    return isSignalConnected(QMetaMethod::fromSignal(&TaloLinkTerminalService::commandReceived))
        || isSignalConnected(QMetaMethod::fromSignal(&TaloLinkTerminalService::commandTransmitted));
}

void TaloLinkTerminalService::handleDataTransmitted(const QByteArray& data)
{
    if (data.size() < Packet::MinimumSize || !isLogShown())
        return;
    emit commandTransmitted(Packet::decode(data).toString().toUtf8());
}

void TaloLinkTerminalService::handlePacketInternal(const Packet& packet)
{
    if (isLogShown())
        emit commandReceived(packet.toString().toUtf8());
    if (const auto* handler = findHandler(packet.command))
        (*handler)(packet);
}

QList<Application::R58::TerminalCommandItem*> TaloLinkTerminalService::getCommandItemList() const
{
    QByteArray platform;
    QByteArray display;
    {
        Lock locker(m_mutex);
        platform = m_platformName;
        display = m_displayName;
    }
    return m_catalogue.filter(platform, display);
}

QByteArray TaloLinkTerminalService::getPlatformName() const
{
    Lock locker(m_mutex);
    return m_platformName;
}

QByteArray TaloLinkTerminalService::getDisplayName() const
{
    Lock locker(m_mutex);
    return m_displayName;
}

// Handlers run on the receive thread with the mutex held (inside a receive step).

void TaloLinkTerminalService::onGetName(const Packet& packet)
{
    const QByteArray name = packet.args.empty()
        ? QByteArray()
        : QByteArray(reinterpret_cast<const char*>(packet.args[0].data), packet.args[0].length);
    if (packet.source == Packet::Terminal::Display) {
        m_displayName = name;
        emit commandReceived(name);
        emit terminalDisplayReady();
    } else if (packet.source == Packet::Terminal::Platform) {
        m_platformName = name;
        emit commandReceived(name);
        emit terminalPlatformReady();
    }
}

void TaloLinkTerminalService::onMemblock(const Packet& packet)
{
    if (packet.args.empty() || packet.args[0].length < 2)
        return;
    const auto* data = packet.args[0].data;
    emit requestMemblock(static_cast<unsigned short>(data[0] | data[1] << 8));
}

void TaloLinkTerminalService::onModelSetValue(const Packet& packet)
{
    if (packet.args.empty() || packet.args[0].length < 2)
        return;
    const auto* idBytes = packet.args[0].data;
    const auto id = static_cast<ModelValueID>(idBytes[0] | idBytes[1] << 8);
    const std::uint8_t* data = packet.args.size() > 1 ? packet.args[1].data : nullptr;
    const std::uint16_t length = packet.args.size() > 1 ? packet.args[1].length : 0;

    ModelValueEvent event(ModelValueEvent::Update, id, data, length);
    sendEvent(Utilities::Events::EventClass::ModelValueEvents, event);
    if (static_cast<unsigned>(id) < 64)
        m_reported.fetch_or(std::uint64_t(1) << static_cast<unsigned>(id), std::memory_order_release);

    // The text form is built under the receive lock for every streamed value; only when a
    // log shows it.
    if (isLogShown()) {
        const Model::Interfaces::ModelValueIntf* value
            = m_observer ? m_observer->getValue(id) : nullptr;
        QString line = QStringLiteral("ID: ") + Model::Interfaces::modelValueName(id)
            + QStringLiteral(" (") + QString::number(static_cast<unsigned>(id))
            + QStringLiteral("), Value: ");
        if (value)
            line += value->toString();
        emit commandReceived(line.toUtf8());
    }

    if (id == ModelValueID::MeasurementPhase && length >= 1)
        m_phase = data[0];
    emitValueSignal(id);
}

bool TaloLinkTerminalService::hasReported(ModelValueID id) const
{
    const auto bit = static_cast<unsigned>(id);
    return bit < 64 && (m_reported.load(std::memory_order_acquire) >> bit & 1u);
}

void TaloLinkTerminalService::emitAnswer(const Packet& packet)
{
    if (!isLogShown())
        return;
    if (const auto line = TerminalResponseFormatter::format(packet))
        emit commandReceived(*line);
}

void TaloLinkTerminalService::emitValueSignal(ModelValueID id)
{
    switch (id) {
    case ModelValueID::TripClass:
        emit tripClassModelValue();
        break;
    case ModelValueID::TripClassMax:
        emit tripClassMaxModelValue();
        break;
    case ModelValueID::NominalCurrent:
        emit nominalCurrentModelValue();
        break;
    case ModelValueID::NominalCurrentMax:
        emit nominalCurrentMaxModelValue();
        break;
    case ModelValueID::SoftstartEnable:
        emit softstartEnableModelValue();
        break;
    case ModelValueID::OperatingMode:
        emit operatingModeModelValue();
        break;
    case ModelValueID::Warning:
    case ModelValueID::Error:
        emit faultTypeModelValue();
        break;
    case ModelValueID::FaultPhase:
        emit faultPhaseModelValue();
        break;
    case ModelValueID::MeasurementPhase:
        emit measurementPhaseModelValue();
        break;
    case ModelValueID::UndercurrentEnable:
        emit undercurrentEnableModelValue();
        break;
    case ModelValueID::UndercurrentThreshold:
        emit undercurrentThresholdModelValue();
        break;
    case ModelValueID::UndercurrentFaultType:
        emit undercurrentFaultTypeModelValue();
        break;
    case ModelValueID::UndervoltageEnable:
        emit undervoltageEnableModelValue();
        break;
    case ModelValueID::UndervoltageThreshold:
        emit undervoltageThresholdModelValue();
        break;
    case ModelValueID::UndervoltageFaultType:
        emit undervoltageFaultTypeModelValue();
        break;
    case ModelValueID::OvervoltageEnable:
        emit overvoltageEnableModelValue();
        break;
    case ModelValueID::OvervoltageThreshold:
        emit overvoltageThresholdModelValue();
        break;
    case ModelValueID::OvervoltageFaultType:
        emit overvoltageFaultTypeModelValue();
        break;
    case ModelValueID::MeasurementVoltage:
        emit measurementVoltageModelValue(m_phase);
        break;
    case ModelValueID::MeasurementCurrent:
        emit measurementCurrentModelValue(m_phase);
        break;
    case ModelValueID::MeasurementActivePower:
        emit measurementActivePowerModelValue();
        break;
    case ModelValueID::MeasurementApparentPower:
        emit measurementApparentPowerModelValue();
        break;
    case ModelValueID::MeasurementReactivePower:
        emit measurementReactivePowerModelValue();
        break;
    case ModelValueID::PlatformVersion:
        emit platformVersionModelValue();
        break;
    case ModelValueID::HardwareIDControllerBoard:
    case ModelValueID::HardwareIDPowerBoard:
    case ModelValueID::HardwareIDDisplayBoard:
        emit hardwareRevisionModelValue();
        break;
    case ModelValueID::OverloadReset:
        emit overloadResetModelValue();
        break;
    case ModelValueID::SerialNumber:
        emit serialNumberModelValue();
        break;
    case ModelValueID::ArticleNumber:
    case ModelValueID::ArticleIndex:
        emit articleNumberModelValue();
        break;
    case ModelValueID::LoadAsymmetryEnable:
        emit loadAsymmetryEnableModelValue();
        break;
    case ModelValueID::LoadAsymmetryThreshold:
        emit loadAsymmetryThresholdModelValue();
        break;
    case ModelValueID::LoadAsymmetryFaultType:
        emit loadAsymmetryFaultTypeModelValue();
        break;
    default:
        break;
    }
}

} // namespace Service::R58
