#pragma once

#include "link/serialportsource.h"
#include "link/talolinkpacket.h"
#include "link/talolinkreassembler.h"
#include "sim/ptypair.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QMap>
#include <QObject>
#include <QRandomGenerator>
#include <QSet>
#include <QSharedPointer>
#include <QString>

#include <array>
#include <atomic>
#include <memory>

class QSocketNotifier;
class QTimer;

namespace Application::R58 {
class ListSerialPortSource;
}

namespace Simulator {

// A simulated VELOR R58 on the far side of a pseudo-terminal. It answers the
// tool's frames as the device does: names, model values, actions, measurement
// streams, service commands and firmware transfers, and it can be unplugged,
// slowed to a real line's rate and made to damage or drop what it sends.
//
// A test image may start with "R58V" and a little-endian 32-bit version: after
// a successful update the processor reports that version (the platform also as
// its model value PlatformVersion).
class SimulatedDevice : public QObject
{
    Q_OBJECT

public:
    using Terminal = Component::Interfaces::TaloLinkPacket::Terminal;

    static constexpr quint16 VendorIdentifier = 0x03EB;
    static constexpr quint16 ProductIdentifier = 0x2404;
    static constexpr int LineBytesPerSecond = 11520; // 115200 baud, 8N1

    // Knobs for fault injection; all off by default.
    struct Faults
    {
        double dropRate = 0.0; // share of outgoing frames not sent
        // Share of outgoing frames with one byte flipped; the flip lands behind
        // the length field, so each damaged frame costs the receiver only itself.
        double corruptRate = 0.0;
        double garbageRate = 0.0; // share of outgoing frames preceded by random bytes
        bool silent = false; // send nothing at all
        bool rateLimited = false; // both directions at LineBytesPerSecond
        // Writes of these value identifiers are ignored, as by a firmware that does not know
        // them: the device keeps its value and sends nothing back.
        QSet<quint16> ignoredWrites;
        // A float value written above its limit here is clamped to it, by identifier.
        QMap<quint16, float> writeLimits;
        // The device reports a written or asked-for value this many milliseconds late; below
        // zero, never.
        int answerDelay = 0;
    };

    // `linkDirectory` receives the symlink the tool opens ("tty..." in its name).
    // With a source, the device lists itself there while plugged in.
    explicit SimulatedDevice(const QString& linkDirectory,
        QSharedPointer<Application::R58::ListSerialPortSource> source = {},
        QObject* parent = nullptr);
    ~SimulatedDevice() override;

    [[nodiscard]] QString portName() const { return m_linkPath; }
    [[nodiscard]] Application::R58::SerialPortSource::Port portInfo() const;
    [[nodiscard]] bool isPlugged() const { return m_pty.isOpen(); }

    void setFaults(const Faults& faults);
    [[nodiscard]] Faults faults() const { return m_faults; }
    void setRandomStart(quint32 start) { m_random = QRandomGenerator(start); }
    // Tests read what the device saw and sent; a long-running device turns the
    // records off so they do not grow without end.
    void setRecording(bool enabled) { m_recording = enabled; }
    // Milliseconds between two measurement rounds.
    void setMeasurementInterval(int milliseconds);
    // Milliseconds the platform stays away while it restarts after an update.
    void setRestartDelay(int milliseconds) { m_restartDelay = milliseconds; }
    // The platform's new image brings the factory settings back, as some firmware does.
    void setUpdateResetsSettings(bool reset) { m_updateResetsSettings = reset; }

    // The device's model values as raw wire bytes, by identifier.
    [[nodiscard]] QByteArray rawValue(quint16 id) const { return m_values.value(id); }
    [[nodiscard]] quint32 uintValue(quint16 id) const;
    [[nodiscard]] float floatValue(quint16 id) const;
    void setUIntValue(quint16 id, quint32 value);
    void setFloatValue(quint16 id, float value);
    [[nodiscard]] QByteArray processorState(Terminal terminal) const;

    // What the device has seen: every frame from the host, in order, and the
    // images it accepted, by terminal.
    [[nodiscard]] const QList<QByteArray>& receivedFrames() const { return m_receivedFrames; }
    void clearReceivedFrames() { m_receivedFrames.clear(); }
    [[nodiscard]] QList<QByteArray> receivedImages(Terminal terminal) const;
    // Every frame the device meant to send, in order, and whether it left intact
    // (dropped and damaged frames are marked false).
    struct SentFrame
    {
        QByteArray bytes;
        bool intact = true;
    };
    [[nodiscard]] const QList<SentFrame>& sentFrames() const { return m_sentFrames; }
    void clearSentFrames() { m_sentFrames.clear(); }
    [[nodiscard]] int failedUpdates() const { return m_failedUpdates; }
    // Frames (and bursts of garbage) the device put on the line, whatever the recording knob:
    // what a reader on the far side must have received. Read from any thread.
    [[nodiscard]] quint64 writtenCount() const { return m_written.load(std::memory_order_relaxed); }
    [[nodiscard]] bool isMeasuring() const { return m_measurement != Measurement::None; }

    // Sends raw bytes to the host as they are, past the fault knobs.
    void sendRaw(const QByteArray& bytes);
    // Sends one frame from a processor to the host, through the fault knobs.
    void sendFrame(Terminal source, Component::Interfaces::TaloLinkCommandID command,
        const QList<QByteArray>& args = {});
    // Reports a model value as the platform does.
    void reportValue(quint16 id);
    // Reports it as an answer to the host, through the answer-delay knob.
    void answerValue(quint16 id);

public slots:
    bool plugIn();
    void unplug();

signals:
    void pluggedIn();
    void unplugged();
    void frameReceived(const QByteArray& frame);
    void imageReceived(Component::Interfaces::TaloLinkPacket::Terminal terminal);
    void updateFailed(const QString& reason);

private:
    enum class Measurement { None, Voltage, Current, Power };

    struct Transfer
    {
        bool active = false;
        quint16 blockCount = 0;
        quint32 crc = 0;
        quint16 nextBlock = 0;
        QByteArray image;
    };

    void factoryValues();
    void restoreSettings();
    void readFromHost();
    void feed(const QByteArray& bytes);
    void drainOutgoing();
    // A rate-limited line: bytes travel as one unit each and arrive when the line,
    // busy with everything before them, has had the time to carry them.
    struct TimedBytes
    {
        qint64 due = 0; // nanoseconds on m_lineClock
        QByteArray bytes;
    };
    void putOnLine(QList<TimedBytes>& line, qint64& freeAt, const QByteArray& bytes);
    void scheduleDelivery();
    // Wakes deliverDue after that many nanoseconds; -1 stops it.
    void armDelivery(qint64 nanoseconds);
    void deliverDue();
    void writeNow(const QByteArray& bytes);
    void handleFrame(const Component::Interfaces::TaloLinkPacket& packet);
    void handleServiceCommand(const Component::Interfaces::TaloLinkPacket& packet);
    void handleAction(quint16 action);
    void handleMemblock(const Component::Interfaces::TaloLinkPacket& packet);
    void requestBlock(Terminal terminal);
    void finishTransfer(Terminal terminal);
    void measure();
    void setValueBytes(quint16 id, const QByteArray& bytes);
    [[nodiscard]] Transfer& transfer(Terminal terminal);

    QString m_linkPath;
    QSharedPointer<Application::R58::ListSerialPortSource> m_source;
    PtyPair m_pty;
    QSocketNotifier* m_readNotifier = nullptr;
    QTimer* m_lineTimer = nullptr; // retries a write the pseudo-terminal did not take whole
    int m_deliveryTimer = -1; // timer descriptor: wakes when the next bytes are due
    QSocketNotifier* m_deliveryNotifier = nullptr;
    QTimer* m_measurementTimer = nullptr;
    Component::Interfaces::TaloLinkReassembler m_reassembler;
    Faults m_faults;
    QRandomGenerator m_random {0x52353858u};
    QByteArray m_outgoing;
    QElapsedTimer m_lineClock;
    QList<TimedBytes> m_incomingLine;
    QList<TimedBytes> m_outgoingLine;
    qint64 m_incomingFreeAt = 0;
    qint64 m_outgoingFreeAt = 0;
    // While a frame from the host is handled: when its last byte reached the device. Answers
    // start from there, not from whenever the delivery timer happened to fire, so that the
    // simulator's own timer lateness does not count as time on the line.
    qint64 m_arrivedAt = -1;
    int m_outgoingLineSize = 0;
    int m_restartDelay = 300;
    bool m_updateResetsSettings = false;
    bool m_recording = true;

    QMap<quint16, QByteArray> m_values;
    QByteArray m_platformState = "Application";
    QByteArray m_displayState = "Application";
    quint32 m_displayVersion = 0;
    std::array<float, 3> m_thermalCapacity {}; // by phase, as a fraction
    Measurement m_measurement = Measurement::None;
    double m_time = 0.0;
    Transfer m_platformTransfer;
    Transfer m_displayTransfer;
    QList<QByteArray> m_receivedFrames;
    QList<SentFrame> m_sentFrames;
    QList<QByteArray> m_platformImages;
    QList<QByteArray> m_displayImages;
    int m_failedUpdates = 0;
    std::atomic<quint64> m_written {0};
};

} // namespace Simulator
