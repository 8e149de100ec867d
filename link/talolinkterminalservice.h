#pragma once

#include "link/abstracttalolinkterminal.h"
#include "link/terminalcommandcatalogue.h"

#include <QByteArray>
#include <QList>
#include <QMutex>
#include <QSharedPointer>
#include <QThread>
#include <QWaitCondition>

#include <atomic>
#include <cstdint>

namespace Application::R58 {
class SerialPort;
class TerminalCommandItem;
} // namespace Application::R58

namespace Component::R58 {
class TaloLinkComponent;
}

namespace Model::Interfaces {
class ModelIPCValueObserver;
}

namespace Service::R58 {

// The receiving half of one device's link. The GUI thread stores the bytes the
// port delivers; a thread of its own cuts them into frames, writes reported
// values into the model and announces them by signals named after the value.
//
// The receive thread holds the mutex for each whole receive step, handlers
// included; every signal it emits reaches GUI-thread receivers as a queued call.
class TaloLinkTerminalService : public QThread,
                                public Component::Interfaces::AbstractTaloLinkTerminal
{
    Q_OBJECT

public:
    using Packet = Component::Interfaces::TaloLinkPacket;

    TaloLinkTerminalService(QSharedPointer<Application::R58::SerialPort> port,
        QSharedPointer<Model::Interfaces::ModelIPCValueObserver> observer,
        QObject* parent = nullptr);
    // Stops the receive thread and waits for it; a running step finishes first.
    ~TaloLinkTerminalService() override;

    // New copies, owned by the caller, of the service commands the processors'
    // reported software states allow.
    [[nodiscard]] QList<Application::R58::TerminalCommandItem*> getCommandItemList() const;
    [[nodiscard]] QByteArray getPlatformName() const;
    [[nodiscard]] QByteArray getDisplayName() const;
    // Whether the device has sent this value since the link was made: a value it never sent
    // is the model's default, which no record may show as the device's.
    [[nodiscard]] bool hasReported(Model::Interfaces::ModelValueID id) const;

    void handlePacketInternal(const Packet& packet) override;

    void onGetName(const Packet& packet);
    void onMemblock(const Packet& packet);
    void onModelSetValue(const Packet& packet);
    // Answers of service commands: each decodes its packet into one log line.
    void onGetSWVersion(const Packet& packet) { emitAnswer(packet); }
    void onGetHALVersion(const Packet& packet) { emitAnswer(packet); }
    void onPhaseCtrlGetFailureStatus(const Packet& packet) { emitAnswer(packet); }
    void onPhaseCtrlGetReadyStatus(const Packet& packet) { emitAnswer(packet); }
    void onMeasurementGetStaticOffset(const Packet& packet) { emitAnswer(packet); }
    void onMeasurementGetGainOffset(const Packet& packet) { emitAnswer(packet); }
    void onMeasurementGetRMSValue(const Packet& packet) { emitAnswer(packet); }
    void onMeasurementGetMovingAverageValue(const Packet& packet) { emitAnswer(packet); }
    void onMeasurementGetWaveform(const Packet& packet) { emitAnswer(packet); }
    void onStateMachineGetState(const Packet& packet) { emitAnswer(packet); }
    void onTempMonitorGetTemperature(const Packet& packet) { emitAnswer(packet); }
    void onVoltageMonitorGetAuxVoltage(const Packet& packet) { emitAnswer(packet); }
    void onVoltageMonitorGetSupplyVoltage(const Packet& packet) { emitAnswer(packet); }
    void onVoltageMonitorGetSupplyState(const Packet& packet) { emitAnswer(packet); }
    void onMotorProtectionSetThermalCapacity(const Packet& packet) { emitAnswer(packet); }
    void onExternalFlashGetDeviceID(const Packet& packet) { emitAnswer(packet); }
    void onAnalogSignalsGetInputStatus(const Packet& packet) { emitAnswer(packet); }
    void onMosfetMonitorGetState(const Packet& packet) { emitAnswer(packet); }
    void onDeviceProtectionGetDCProtection(const Packet& packet) { emitAnswer(packet); }
    void onGetButtonStatus(const Packet& packet) { emitAnswer(packet); }

public slots:
    void handleDataReceived(const QByteArray& data);
    void handleDataTransmitted(const QByteArray& data);

signals:
    void terminalPlatformReady();
    void terminalDisplayReady();
    void commandTransmitted(const QByteArray& data);
    void commandReceived(const QByteArray& data);
    void requestMemblock(unsigned short blockNumber);

    void articleNumberModelValue();
    void serialNumberModelValue();
    void platformVersionModelValue();
    void hardwareRevisionModelValue();
    void nominalCurrentModelValue();
    void nominalCurrentMaxModelValue();
    void tripClassModelValue();
    void tripClassMaxModelValue();
    void softstartEnableModelValue();
    void overloadResetModelValue();
    void undercurrentThresholdModelValue();
    void undercurrentFaultTypeModelValue();
    void undercurrentEnableModelValue();
    void undervoltageThresholdModelValue();
    void undervoltageFaultTypeModelValue();
    void undervoltageEnableModelValue();
    void overvoltageThresholdModelValue();
    void overvoltageFaultTypeModelValue();
    void overvoltageEnableModelValue();
    void loadAsymmetryThresholdModelValue();
    void loadAsymmetryFaultTypeModelValue();
    void loadAsymmetryEnableModelValue();
    void faultTypeModelValue();
    // The phase of the fault being reported; it may come after the fault's own value.
    void faultPhaseModelValue();
    void operatingModeModelValue();
    void measurementPhaseModelValue();
    void measurementCurrentModelValue(unsigned char phase);
    void measurementVoltageModelValue(unsigned char phase);
    void measurementActivePowerModelValue();
    void measurementReactivePowerModelValue();
    void measurementApparentPowerModelValue();

protected:
    void performStartup() override;
    void performShutdown() override;
    // Nothing: the receive thread makes every receive step, under the lock. A step on the
    // caller's thread (the framework's run()) would parse the ring beside it unlocked and
    // run the handlers on a thread the signals' receivers do not expect.
    void performRun() override { }
    // The receive loop.
    void run() override;

private:
    void fillDispatchTable();
    // Puts received bytes into the ring, waiting for room while the receive thread works.
    void appendReceived(const QByteArray& data);
    void emitAnswer(const Packet& packet);
    // Whether anything receives the text forms of frames; building them costs more than
    // handling most frames.
    [[nodiscard]] bool isLogShown() const;
    void emitValueSignal(Model::Interfaces::ModelValueID id);

    Application::R58::TerminalCommandCatalogue m_catalogue;
    QSharedPointer<Model::Interfaces::ModelIPCValueObserver> m_observer;
    // Guards the reassembler (ring buffer, positions, state) and the names.
    mutable QMutex m_mutex;
    // The receive thread sleeps here until bytes arrive or it must quit.
    QWaitCondition m_dataAvailable;
    // The GUI thread sleeps here while a burst larger than the ring is consumed.
    QWaitCondition m_spaceAvailable;
    std::atomic<bool> m_quit {false};
    QByteArray m_platformName;
    QByteArray m_displayName;
    unsigned char m_phase = 0; // receive thread only
    // One bit per model value the device has reported since the link was made; set on the
    // receive thread, read on the GUI thread.
    std::atomic<std::uint64_t> m_reported {0};
    Component::R58::TaloLinkComponent* m_component = nullptr;
};

} // namespace Service::R58
