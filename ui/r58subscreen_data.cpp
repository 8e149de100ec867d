// The device screen's data page (the measurements the device streams) and its control page
// (running and stopping the motor).

#include "link/serialportmanager.h"
#include "link/talolinkterminalservice.h"
#include "model/measurementrecorder.h"
#include "model/measurementsamples.h"
#include "model/modeldatabase.h"
#include "ui/pendingupdates.h"
#include "ui/r58subscreen.h"
#include "ui/trendplot.h"
#include "ui_r58subscreen_control.h"
#include "ui_r58subscreen_data.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPixmap>
#include <QStandardPaths>
#include <QStyle>
#include <QTimer>

using Model::Interfaces::ModelActionID;
using Service::R58::TaloLinkTerminalService;

namespace {

// What the data page shows, one mark each: voltage and current per phase, then the powers.
enum Measured : unsigned int {
    Voltage = 0, // + phase
    Current = 3, // + phase
    ActivePower = 6,
    ReactivePower,
    ApparentPower,
    MeasuredCount
};
static_assert(MeasuredCount <= 32, "one mark per bit");

// A device streams its measurements as fast as its line carries them, some 250 values a
// second; a display shows them about as often as a meter does.
constexpr int MeasurementRefreshInterval = 100; // milliseconds

} // namespace

void R58SubScreen::setupDataPage()
{
    m_pendingMeasurements = QSharedPointer<PendingUpdates>::create();
    m_measurementRefreshTimer = new QTimer(this);
    m_measurementRefreshTimer->setSingleShot(true);
    m_measurementRefreshTimer->setInterval(MeasurementRefreshInterval);
    connect(m_measurementRefreshTimer, &QTimer::timeout, this, &R58SubScreen::refreshMeasurements);

    // The reports are marked on the link's receive thread where they are announced; only the
    // first mark after a refresh calls over to the GUI thread. A queued call per report woke
    // the GUI thread for every frame of every streaming device. The phase travels with each
    // measured value's signal, so the phase's own signal is not taken.
    const QSharedPointer<PendingUpdates> pending = m_pendingMeasurements;
    const auto marker = [this, pending](unsigned int first) {
        return [this, pending, first](quint8 phase = 0) {
            if (phase < 3 && pending->mark(first + phase))
                QMetaObject::invokeMethod(
                    this, &R58SubScreen::scheduleMeasurementRefresh, Qt::QueuedConnection);
        };
    };
    TaloLinkTerminalService* service = getTerminalService().data();
    using S = TaloLinkTerminalService;
    connect(service, &S::measurementVoltageModelValue, this, marker(Voltage), Qt::DirectConnection);
    connect(service, &S::measurementCurrentModelValue, this, marker(Current), Qt::DirectConnection);
    connect(
        service, &S::measurementActivePowerModelValue, this,
        [mark = marker(ActivePower)] { mark(); }, Qt::DirectConnection);
    connect(
        service, &S::measurementReactivePowerModelValue, this,
        [mark = marker(ReactivePower)] { mark(); }, Qt::DirectConnection);
    connect(
        service, &S::measurementApparentPowerModelValue, this,
        [mark = marker(ApparentPower)] { mark(); }, Qt::DirectConnection);
}

void R58SubScreen::scheduleMeasurementRefresh()
{
    if (!m_measurementRefreshTimer->isActive())
        m_measurementRefreshTimer->start();
}

void R58SubScreen::refreshMeasurements()
{
    const unsigned int marks = m_pendingMeasurements->takeAll();
    for (quint8 phase = 0; phase < 3; ++phase) {
        if (marks & (1u << (Voltage + phase)))
            handleMeasurementVoltageModelValue(phase);
        if (marks & (1u << (Current + phase)))
            handleMeasurementCurrentModelValue(phase);
    }
    if (marks & (1u << ActivePower))
        handleMeasurementActivePowerModelValue();
    if (marks & (1u << ReactivePower))
        handleMeasurementReactivePowerModelValue();
    if (marks & (1u << ApparentPower))
        handleMeasurementApparentPowerModelValue();
    refreshTrend();
}

void R58SubScreen::setupControlPage()
{
    connect(
        m_uiControl->pushButtonControlIdle, &QPushButton::clicked, this, &R58SubScreen::handleIdle);
    connect(m_uiControl->pushButtonControlForward, &QPushButton::clicked, this,
        &R58SubScreen::handleForward);
    connect(m_uiControl->pushButtonControlBackward, &QPushButton::clicked, this,
        &R58SubScreen::handleBackward);
    loadSoftstartImage();
}

void R58SubScreen::handleMeasurementVoltageModelValue(quint8 phase)
{
    const std::array<QLabel*, 3> labels {
        m_uiData->labelVoltage_L1_N, m_uiData->labelVoltage_L2_N, m_uiData->labelVoltage_L3_N};
    if (phase >= labels.size())
        return;
    labels[phase]->setText(
        getModelDatabase()->getMeasurement().getVoltageValue().toStringOfPhase(phase)
        + QStringLiteral(" V"));
}

void R58SubScreen::handleMeasurementCurrentModelValue(quint8 phase)
{
    const std::array<QLabel*, 3> labels {
        m_uiData->labelCurrent_L1, m_uiData->labelCurrent_L2, m_uiData->labelCurrent_L3};
    if (phase >= labels.size())
        return;
    labels[phase]->setText(
        getModelDatabase()->getMeasurement().getCurrentValue().toStringOfPhase(phase)
        + QStringLiteral(" A"));
}

void R58SubScreen::handleMeasurementActivePowerModelValue()
{
    m_uiData->labelActivePower->setText(
        getModelDatabase()->getMeasurement().getActivePowerValue().toString()
        + QStringLiteral(" kW"));
}

void R58SubScreen::handleMeasurementReactivePowerModelValue()
{
    m_uiData->labelReactivePower->setText(
        getModelDatabase()->getMeasurement().getReactivePowerValue().toString()
        + QStringLiteral(" kVAr"));
}

void R58SubScreen::handleMeasurementApparentPowerModelValue()
{
    m_uiData->labelApparentPower->setText(
        getModelDatabase()->getMeasurement().getApparentPowerValue().toString()
        + QStringLiteral(" kVA"));
}

void R58SubScreen::handleIdle()
{
    if (!getComponent(Component::Interfaces::ComponentID::TaloLinkUSB))
        return;
    fireAction(ModelActionID::MotorStop);
    showMotorStatus(tr("R58 Status: Idle"));
    clearDirection();
}

void R58SubScreen::handleForward()
{
    if (!getComponent(Component::Interfaces::ComponentID::TaloLinkUSB))
        return;
    // Never reverse a running motor directly.
    fireAction(ModelActionID::MotorStop);
    fireAction(ModelActionID::MotorRightOn);
    showMotorStatus(tr("R58 Status: Forward"));
    m_uiControl->labelControlDirection->setPixmap(QPixmap(QStringLiteral(":/images/forward.png")));
}

void R58SubScreen::handleBackward()
{
    if (!getComponent(Component::Interfaces::ComponentID::TaloLinkUSB))
        return;
    fireAction(ModelActionID::MotorStop);
    fireAction(ModelActionID::MotorLeftOn);
    showMotorStatus(tr("R58 Status: Backward"));
    m_uiControl->labelControlDirection->setPixmap(QPixmap(QStringLiteral(":/images/backward.png")));
}

// ---- Trend plot and recording

namespace {

using Model::Live::MeasurementSample;
using Model::Live::Quantity;

// The windows the plot offers, in seconds.
constexpr std::array<int, 3> TrendWindows {30, 120, 600};

// How often the record button's running time is brought up to date.
constexpr int RecordClockInterval = 1000; // milliseconds

} // namespace

void R58SubScreen::setupTrend()
{
    m_samples = QSharedPointer<Model::Live::MeasurementSamples>::create();
    m_recorder = std::make_unique<Model::Live::MeasurementRecorder>();

    // Each value is taken with its time on the receive thread, where it arrives; the refresh
    // that the marks already ask for hands them to the plot and the recording in one batch.
    // The values are captured, not the screen: they live as long as the link that reports them.
    auto& measurement = getModelDatabase()->getMeasurement();
    const QSharedPointer<Model::Live::MeasurementSamples> samples = m_samples;
    const auto now = [] { return QDateTime::currentMSecsSinceEpoch(); };
    TaloLinkTerminalService* service = getTerminalService().data();
    using S = TaloLinkTerminalService;
    connect(
        service, &S::measurementVoltageModelValue, this,
        [samples, now, value = &measurement.getVoltageValue()](quint8 phase) {
            if (phase < 3)
                samples->add({now(), Quantity::Voltage, phase, value->getValueOfPhase(phase)});
        },
        Qt::DirectConnection);
    connect(
        service, &S::measurementCurrentModelValue, this,
        [samples, now, value = &measurement.getCurrentValue()](quint8 phase) {
            if (phase < 3)
                samples->add({now(), Quantity::Current, phase, value->getValueOfPhase(phase)});
        },
        Qt::DirectConnection);
    // The powers arrive in watts and are shown in thousands.
    connect(
        service, &S::measurementActivePowerModelValue, this,
        [samples, now, value = &measurement.getActivePowerValue()] {
            samples->add({now(), Quantity::ActivePower, 0, value->getValue() / 1000.0f});
        },
        Qt::DirectConnection);
    connect(
        service, &S::measurementReactivePowerModelValue, this,
        [samples, now, value = &measurement.getReactivePowerValue()] {
            samples->add({now(), Quantity::ReactivePower, 0, value->getValue() / 1000.0f});
        },
        Qt::DirectConnection);
    connect(
        service, &S::measurementApparentPowerModelValue, this,
        [samples, now, value = &measurement.getApparentPowerValue()] {
            samples->add({now(), Quantity::ApparentPower, 0, value->getValue() / 1000.0f});
        },
        Qt::DirectConnection);

    auto* form = m_uiData;
    for (const int seconds : TrendWindows) {
        form->comboBoxTrendWindow->addItem(
            seconds < 60 ? tr("%1 s").arg(seconds) : tr("%1 min").arg(seconds / 60), seconds);
    }
    connect(form->comboBoxTrendWindow, qOverload<int>(&QComboBox::currentIndexChanged), this,
        [this](int index) {
            if (index >= 0)
                m_uiData->trendPlot->setWindow(
                    m_uiData->comboBoxTrendWindow->itemData(index).toInt());
        });
    form->trendPlot->setWindow(TrendWindows.front());
    connect(form->pushButtonTrendPause, &QPushButton::toggled, this, [this](bool paused) {
        m_uiData->trendPlot->setPaused(paused);
        m_uiData->pushButtonTrendPause->setText(paused ? tr("Resume") : tr("Pause"));
    });
    // The plot follows the quantity on screen (its history keeps the others) and names its
    // lines as the page does, which for the voltages depends on the device's platform.
    const auto follow = [this] {
        Ui::R58SubScreenData& ui = *m_uiData;
        QWidget* page = ui.stackedWidgetData->currentWidget();
        if (page == ui.pageCurrentData) {
            ui.trendPlot->setPage(TrendPlot::Page::Current);
            ui.trendPlot->setLineTitles({ui.labelCurrentText_L1->text(),
                ui.labelCurrentText_L2->text(), ui.labelCurrentText_L3->text()});
        } else if (page == ui.pagePowerData) {
            ui.trendPlot->setPage(TrendPlot::Page::Power);
            ui.trendPlot->setLineTitles({ui.labelActivePowerText->text() + QStringLiteral(" (kW)"),
                ui.labelReactivePowerText->text() + QStringLiteral(" (kVAr)"),
                ui.labelApparentPowerText->text() + QStringLiteral(" (kVA)")});
        } else {
            ui.trendPlot->setPage(TrendPlot::Page::Voltage);
            ui.trendPlot->setLineTitles({ui.labelVoltageText_L1_N->text(),
                ui.labelVoltageText_L2_N->text(), ui.labelVoltageText_L3_N->text()});
        }
    };
    connect(form->stackedWidgetData, &QStackedWidget::currentChanged, this, follow);
    connect(service, &S::platformVersionModelValue, this, follow);
    follow();

    connect(form->pushButtonRecord, &QPushButton::clicked, this, &R58SubScreen::handleRecord);
    m_recordClock = new QTimer(this);
    m_recordClock->setInterval(RecordClockInterval);
    connect(m_recordClock, &QTimer::timeout, this, [this] {
        // Values that arrive rarely still reach the disk within a second.
        refreshTrend();
        showRecordingState();
    });
    if (const auto& manager = getSerialPortManager()) {
        connect(manager.data(), &::Application::R58::SerialPortManager::portClosed, this,
            [this](const QString& port) {
                if (port != m_portName || !m_recorder->isRecording())
                    return;
                stopRecording(tr("Recording stopped: the device was disconnected."), true);
            });
    }
    showRecordingState();
}

void R58SubScreen::refreshTrend()
{
    const std::vector<MeasurementSample> samples = m_samples->takeAll();
    if (m_recorder->isRecording() && !m_recorder->write(samples)) {
        // The recorder has closed the file; the values before the failure are in it.
        m_recordClock->stop();
        const QString name = QDir::toNativeSeparators(m_recorder->fileName());
        showRecordMessage(tr("Recording stopped: %1 could not be written (%2).")
                              .arg(name, m_recorder->errorString())
                + QLatin1Char(' ')
                + tr("%1 values were recorded to %2.")
                      .arg(QLocale().toString(m_recorder->count()), name),
            true);
    }
    m_uiData->trendPlot->addSamples(samples);
    m_uiData->trendPlot->refresh();
}

void R58SubScreen::handleRecord()
{
    if (m_recorder->isRecording()) {
        stopRecording(QString(), false);
        return;
    }
    const QString directory = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString suggested = QDir(directory).filePath(
        QStringLiteral("r58_%1.csv")
            .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd_HHmmss"))));
    QString path = askFileName(
        FileDialogMode::Save, tr("Record measured values"), suggested, tr("CSV files (*.csv)"));
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".csv");
    // What arrived before the click belongs to the plot only.
    refreshTrend();
    if (!m_recorder->start(path)) {
        showRecordMessage(tr("%1 could not be created (%2). Nothing is recorded.")
                              .arg(QDir::toNativeSeparators(path), m_recorder->errorString()),
            true);
        return;
    }
    m_recordStarted = QDateTime::currentMSecsSinceEpoch();
    m_recordClock->start();
    showRecordingState();
}

void R58SubScreen::stopRecording(const QString& reason, bool failure)
{
    if (!m_recorder || !m_recorder->isRecording()) {
        if (!reason.isEmpty())
            showRecordMessage(reason, failure);
        return;
    }
    m_recorder->write(m_samples->takeAll());
    const bool closed = m_recorder->stop();
    m_recordClock->stop();
    if (!m_uiData)
        return;
    const QString name = QDir::toNativeSeparators(m_recorder->fileName());
    const QString count = QLocale().toString(m_recorder->count());
    QString text = reason.isEmpty() ? QString() : reason + QLatin1Char(' ');
    if (!closed) {
        text += tr("Recording stopped: %1 could not be written (%2).")
                    .arg(name, m_recorder->errorString())
            + QLatin1Char(' ');
        failure = true;
    }
    text += tr("%1 values were recorded to %2.").arg(count, name);
    showRecordMessage(text, failure);
}

void R58SubScreen::showRecordingState()
{
    QPushButton* button = m_uiData->pushButtonRecord;
    const bool recording = m_recorder->isRecording();
    if (recording) {
        const qint64 seconds = (QDateTime::currentMSecsSinceEpoch() - m_recordStarted) / 1000;
        const QString time = QStringLiteral("%1:%2")
                                 .arg(seconds / 60, 2, 10, QLatin1Char('0'))
                                 .arg(seconds % 60, 2, 10, QLatin1Char('0'));
        button->setText(tr("Stop recording (%1)").arg(time));
        showRecordMessage(tr("Recording to %1: %2 values")
                              .arg(QFileInfo(m_recorder->fileName()).fileName(),
                                  QLocale().toString(m_recorder->count())),
            false);
    } else {
        button->setText(tr("Record…"));
    }
    if (button->property("recording").toBool() != recording) {
        button->setProperty("recording", recording);
        button->style()->unpolish(button);
        button->style()->polish(button);
    }
}

void R58SubScreen::showRecordMessage(const QString& text, bool failure)
{
    QLabel* label = m_uiData->labelRecordStatus;
    label->setText(text);
    label->setToolTip(text);
    if (label->property("failure").toBool() != failure) {
        label->setProperty("failure", failure);
        label->style()->unpolish(label);
        label->style()->polish(label);
    }
    if (!m_recorder->isRecording())
        showRecordingState();
}
