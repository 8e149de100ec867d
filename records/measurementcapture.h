#pragma once

#include "records/measurementrecorder.h"
#include "records/measurementsamples.h"

#include <QObject>
#include <QSharedPointer>
#include <QString>

#include <array>
#include <atomic>
#include <optional>
#include <vector>

class PendingUpdates;
class QTimer;

namespace Application::R58 {
class Application;
}

namespace Records {

// The measured values of one device on their way from the link to whoever shows or keeps them:
// one set of hand-offs on the receive thread feeds the data page's refresh, the trend plot and
// the recording. It also decides what the device streams: the measurement the data page shows,
// and while a recording runs, the recorded one whatever page is shown. A stream that stops
// during a recording is said on screen and noted in the file, never left as a silent gap.
class MeasurementCapture : public QObject
{
    Q_OBJECT

public:
    enum class Stream { None, Voltage, Current, Power };
    // The values the data page shows, one mark each: voltage and current per phase, then the
    // powers.
    enum Mark : unsigned int {
        VoltageMark = 0, // + phase
        CurrentMark = 3, // + phase
        ActivePowerMark = 6,
        ReactivePowerMark,
        ApparentPowerMark,
    };

    // A device streams some 250 values a second; a display shows them about as often as a
    // meter does.
    static constexpr int RefreshInterval = 100; // milliseconds
    // Values that arrive rarely still reach the disk within this, and the recording's clock
    // moves on.
    static constexpr int RecordClockInterval = 1000; // milliseconds
    // A recorded stream without a value for this long has stopped. Nothing is known of a real
    // device's pauses, so the limit is generous: the device sends a value every few
    // milliseconds while it streams.
    static constexpr int StreamGapLimit = 5000; // milliseconds

    explicit MeasurementCapture(Application::R58::Application& device, QObject* parent = nullptr);
    // Ends a running recording with every value that arrived before.
    ~MeasurementCapture() override;

    // The data page shows `stream`; None: another page is shown. Tells the device what to
    // stream, except that leaving the data page keeps a recorded stream going.
    void show(Stream stream);
    [[nodiscard]] Stream shown() const { return m_shown; }

    // False with errorString() when the file cannot be created; nothing is recorded then.
    [[nodiscard]] bool startRecording(const QString& path);
    // Ends the recording with what is still queued; a non-empty `reason` is noted in the file
    // and leads the message of recordingEnded().
    void stopRecording(const QString& reason = {}, bool failure = false);
    [[nodiscard]] bool isRecording() const { return m_recorder.isRecording(); }
    [[nodiscard]] const MeasurementRecorder& recorder() const { return m_recorder; }
    // Why the recorded stream has stopped sending; empty while values arrive.
    [[nodiscard]] QString streamGap() const { return m_gapMessage; }
    // When the recording started, milliseconds since the epoch.
    [[nodiscard]] qint64 recordingStarted() const { return m_recordStarted; }

    // The newest value of a series as the device sent it; empty for one it never sent.
    [[nodiscard]] std::optional<MeasurementSample> latest(Quantity quantity, int phase) const;

    // Hands on what arrived (its timer does it too).
    void refresh();

signals:
    // A few times a second while values arrive: which shown values changed since the last time
    // (one bit per Mark) and every value that arrived, oldest first.
    void refreshed(unsigned int marks, const std::vector<Records::MeasurementSample>& samples);
    // The recording started, stopped or counted on; once a second while it runs.
    void recordingChanged();
    // The recording ended: what to tell the user, and whether it is a failure.
    void recordingEnded(const QString& message, bool failure);

private:
    void fire(Stream stream);
    void scheduleRefresh();
    void tick();
    void keep(const std::vector<MeasurementSample>& samples);
    void failRecording();

    Application::R58::Application& m_device;
    QString m_portName;
    // Shared with the receive thread's hand-offs, which may still deliver while this goes.
    QSharedPointer<PendingUpdates> m_marks;
    QSharedPointer<MeasurementSamples> m_samples;
    // The stream asked of the device, read on the receive thread.
    QSharedPointer<std::atomic<int>> m_requested;
    MeasurementRecorder m_recorder;
    QTimer* m_refreshTimer = nullptr;
    QTimer* m_recordClock = nullptr;
    Stream m_shown = Stream::None;
    Stream m_streaming = Stream::None;
    qint64 m_recordStarted = 0;
    qint64 m_lastValueTime = 0;
    bool m_gap = false;
    QString m_gapMessage;
    // The newest value of each of the nine series (voltages, currents, powers).
    std::array<std::optional<MeasurementSample>, 9> m_latest;
};

} // namespace Records
