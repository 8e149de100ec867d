#include "records/measurementcapture.h"

#include "app/application.h"
#include "link/serialport.h"
#include "link/serialportmanager.h"
#include "link/talolinkterminalservice.h"
#include "link/talolinkusbcomponent.h"
#include "model/modelactionid.h"
#include "model/modeldatabase.h"
#include "records/pendingupdates.h"
#include "records/trendhistory.h"

#include <QDateTime>
#include <QDir>
#include <QLocale>
#include <QTimer>

namespace Records {

using Model::Interfaces::ModelActionID;
using Service::R58::TaloLinkTerminalService;

namespace {

qint64 now()
{
    return QDateTime::currentMSecsSinceEpoch();
}

MeasurementCapture::Stream streamOf(Quantity quantity)
{
    switch (quantity) {
    case Quantity::Voltage:
        return MeasurementCapture::Stream::Voltage;
    case Quantity::Current:
        return MeasurementCapture::Stream::Current;
    default:
        return MeasurementCapture::Stream::Power;
    }
}

} // namespace

MeasurementCapture::MeasurementCapture(Application::R58::Application& device, QObject* parent)
    : QObject(parent),
      m_device(device),
      m_portName(device.getSerialPort() ? device.getSerialPort()->getPortName() : QString()),
      m_marks(QSharedPointer<PendingUpdates>::create()),
      m_samples(QSharedPointer<MeasurementSamples>::create()),
      m_requested(QSharedPointer<std::atomic<int>>::create(int(Stream::None))),
      m_refreshTimer(new QTimer(this)),
      m_recordClock(new QTimer(this))
{
    m_refreshTimer->setSingleShot(true);
    m_refreshTimer->setInterval(RefreshInterval);
    connect(m_refreshTimer, &QTimer::timeout, this, &MeasurementCapture::refresh);
    m_recordClock->setInterval(RecordClockInterval);
    connect(m_recordClock, &QTimer::timeout, this, &MeasurementCapture::tick);

    // Each value is taken with its time on the receive thread, where it arrives, and marked
    // for the refresh; only the first mark after a refresh calls over to the GUI thread, since
    // a queued call per value woke it for every frame of every streaming device. The values
    // are captured, not this object: they live as long as the link that reports them.
    auto& measurement = device.getModelDatabase()->getMeasurement();
    const QSharedPointer<MeasurementSamples> samples = m_samples;
    const QSharedPointer<PendingUpdates> marks = m_marks;
    // A value is a sample for the plot, the recording and the report only while its quantity
    // is streamed: the device also answers when the link reads every value at connection, and
    // that answer (often 0 V) measured nothing. The page's labels show the model's value all
    // the same.
    const QSharedPointer<std::atomic<int>> requested = m_requested;
    const auto hand = [this, samples, marks, requested](
                          const MeasurementSample& sample, unsigned int mark) {
        if (requested->load(std::memory_order_acquire) == int(streamOf(sample.quantity)))
            samples->add(sample);
        if (marks->mark(mark))
            QMetaObject::invokeMethod(
                this, &MeasurementCapture::scheduleRefresh, Qt::QueuedConnection);
    };
    TaloLinkTerminalService* service = device.getTerminalService().data();
    using S = TaloLinkTerminalService;
    connect(
        service, &S::measurementVoltageModelValue, this,
        [hand, value = &measurement.getVoltageValue()](quint8 phase) {
            if (phase < 3)
                hand({now(), Quantity::Voltage, phase, value->getValueOfPhase(phase)},
                    VoltageMark + phase);
        },
        Qt::DirectConnection);
    connect(
        service, &S::measurementCurrentModelValue, this,
        [hand, value = &measurement.getCurrentValue()](quint8 phase) {
            if (phase < 3)
                hand({now(), Quantity::Current, phase, value->getValueOfPhase(phase)},
                    CurrentMark + phase);
        },
        Qt::DirectConnection);
    // The powers arrive in watts and are shown in thousands.
    connect(
        service, &S::measurementActivePowerModelValue, this,
        [hand, value = &measurement.getActivePowerValue()] {
            hand({now(), Quantity::ActivePower, 0, value->getValue() / 1000.0f}, ActivePowerMark);
        },
        Qt::DirectConnection);
    connect(
        service, &S::measurementReactivePowerModelValue, this,
        [hand, value = &measurement.getReactivePowerValue()] {
            hand({now(), Quantity::ReactivePower, 0, value->getValue() / 1000.0f},
                ReactivePowerMark);
        },
        Qt::DirectConnection);
    connect(
        service, &S::measurementApparentPowerModelValue, this,
        [hand, value = &measurement.getApparentPowerValue()] {
            hand({now(), Quantity::ApparentPower, 0, value->getValue() / 1000.0f},
                ApparentPowerMark);
        },
        Qt::DirectConnection);

    if (const auto& manager = device.getSerialPortManager()) {
        connect(manager.data(), &Application::R58::SerialPortManager::portClosed, this,
            [this](const QString& port) {
                m_streaming = Stream::None;
                if (port == m_portName)
                    m_requested->store(int(Stream::None), std::memory_order_release);
                if (port == m_portName && isRecording())
                    stopRecording(tr("Recording stopped: the device was disconnected."), true);
            });
    }
}

MeasurementCapture::~MeasurementCapture()
{
    // A closing tab ends its recording with every value that arrived before.
    if (isRecording()) {
        // The tab goes: nobody is left to tell, and what reached the disk stays.
        (void)m_recorder.write(m_samples->takeAll());
        (void)m_recorder.stop();
    }
}

void MeasurementCapture::fire(Stream stream)
{
    static constexpr ModelActionID Actions[] {ModelActionID::StopMeasurement,
        ModelActionID::StartVoltageMeasurement, ModelActionID::StartCurrentMeasurement,
        ModelActionID::StartPowerMeasurement};
    // The offline screen has a component without a port: the write fails quietly.
    if (const auto& link = m_device.getUSBComponent())
        link->fireModelAction(Actions[int(stream)]);
    m_streaming = stream;
    m_requested->store(int(stream), std::memory_order_release);
}

void MeasurementCapture::show(Stream stream)
{
    m_shown = stream;
    // The recording was started for the stream then shown; another page must not cut it off.
    if (stream == Stream::None && isRecording())
        return;
    fire(stream);
}

bool MeasurementCapture::startRecording(const QString& path)
{
    // What arrived before belongs to the plot only.
    refresh();
    if (!m_recorder.start(path))
        return false;
    m_recordStarted = now();
    m_lastValueTime = m_recordStarted;
    m_gap = false;
    m_gapMessage.clear();
    m_recordClock->start();
    emit recordingChanged();
    return true;
}

void MeasurementCapture::stopRecording(const QString& reason, bool failure)
{
    if (!isRecording())
        return;
    bool written = m_recorder.write(m_samples->takeAll());
    if (written && !reason.isEmpty())
        written = m_recorder.writeNote(now(), reason);
    const bool closed = m_recorder.stop() && written;
    m_recordClock->stop();
    const QString name = QDir::toNativeSeparators(m_recorder.fileName());
    QString text = reason.isEmpty() ? QString() : reason + QLatin1Char(' ');
    if (!closed) {
        text += tr("Recording stopped: %1 could not be written (%2).")
                    .arg(name, m_recorder.errorString())
            + QLatin1Char(' ');
        failure = true;
    }
    text += tr("%1 values were recorded to %2.")
                .arg(QLocale().toString(m_recorder.count()), name);
    // Kept going only for the recording.
    if (m_shown == Stream::None && m_streaming != Stream::None)
        fire(Stream::None);
    emit recordingChanged();
    emit recordingEnded(text, failure);
}

std::optional<MeasurementSample> MeasurementCapture::latest(Quantity quantity, int phase) const
{
    if (phase < 0 || phase > 2)
        return std::nullopt;
    return m_latest[std::size_t(TrendHistory::seriesIndex(quantity, std::uint8_t(phase)))];
}

void MeasurementCapture::scheduleRefresh()
{
    if (!m_refreshTimer->isActive())
        m_refreshTimer->start();
}

void MeasurementCapture::keep(const std::vector<MeasurementSample>& samples)
{
    for (const MeasurementSample& sample : samples)
        m_latest[std::size_t(TrendHistory::seriesIndex(sample.quantity, sample.phase))] = sample;
    if (samples.empty())
        return;
    m_lastValueTime = samples.back().time;
    if (m_gap && isRecording()) {
        m_gap = false;
        // A failed note stops the recording; the refresh that follows says so.
        m_gapMessage.clear();
        if (m_recorder.writeNote(
                samples.front().time, QStringLiteral("values from the device again")))
            emit recordingChanged();
        else
            failRecording();
    }
}

void MeasurementCapture::failRecording()
{
    // The recorder has closed the file; the values before the failure are in it.
    m_recordClock->stop();
    const QString name = QDir::toNativeSeparators(m_recorder.fileName());
    if (m_shown == Stream::None && m_streaming != Stream::None)
        fire(Stream::None);
    emit recordingChanged();
    emit recordingEnded(tr("Recording stopped: %1 could not be written (%2).")
                            .arg(name, m_recorder.errorString())
            + QLatin1Char(' ')
            + tr("%1 values were recorded to %2.")
                  .arg(QLocale().toString(m_recorder.count()), name),
        true);
}

void MeasurementCapture::refresh()
{
    const unsigned int marks = m_marks->takeAll();
    const std::vector<MeasurementSample> samples = m_samples->takeAll();
    keep(samples);
    if (isRecording() && !m_recorder.write(samples))
        failRecording();
    if (marks != 0 || !samples.empty())
        emit refreshed(marks, samples);
}

void MeasurementCapture::tick()
{
    refresh();
    if (!isRecording())
        return;
    const qint64 silent = now() - m_lastValueTime;
    if (!m_gap && silent >= StreamGapLimit) {
        m_gap = true;
        const QString since = QDateTime::fromMSecsSinceEpoch(m_lastValueTime, Qt::UTC)
                                  .toString(Qt::ISODateWithMs);
        if (!m_recorder.writeNote(
                now(), QStringLiteral("no values from the device since %1").arg(since))) {
            failRecording();
            return;
        }
        m_gapMessage = tr("The device has sent no values since %1: the recording goes on, and "
                          "the gap is noted in the file.")
                           .arg(QLocale().toString(
                               QDateTime::fromMSecsSinceEpoch(m_lastValueTime).time(),
                               QLocale::LongFormat));
    }
    emit recordingChanged();
}

} // namespace Records
