// The device screen's data page (the measurements the device streams) and its control page
// (running and stopping the motor).

#include "link/serialportmanager.h"
#include "link/talolinkterminalservice.h"
#include "config/config.h"
#include "model/modeldatabase.h"
#include "records/measurementcapture.h"
#include "records/recordlocations.h"
#include "ui/r58subscreen.h"
#include "ui/trendplot.h"
#include "ui/windowfit.h"
#include "ui_r58subscreen_control.h"
#include "ui_r58subscreen_data.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QLocale>
#include <QPixmap>
#include <QStandardPaths>
#include <QStyle>
#include <QTimer>

using Model::Interfaces::ModelActionID;
using Service::R58::TaloLinkTerminalService;

namespace {

using Records::MeasurementCapture;
using Records::MeasurementSample;

// The model's text of a measured value ("1.7", as the device's decimals give it) in the program's
// locale, with the same decimals.
QString localized(const QString& modelText)
{
    bool ok = false;
    const double value = modelText.toDouble(&ok);
    if (!ok)
        return modelText;
    const int point = modelText.indexOf(QLatin1Char('.'));
    return QLocale().toString(value, 'f', point < 0 ? 0 : modelText.size() - point - 1);
}

// The windows the plot offers, in seconds.
constexpr std::array<int, 3> TrendWindows {30, 120, 600};

// Wide enough for each of its texts: none is cut, and the button keeps its place and size when
// its text changes under the pointer.
void keepWidthFor(QPushButton* button, const QStringList& texts)
{
    button->ensurePolished();
    const QString shown = button->text();
    int width = 0;
    for (const QString& text : texts) {
        button->setText(text);
        width = std::max(width, button->sizeHint().width());
    }
    button->setText(shown);
    button->setMinimumWidth(width);
}

} // namespace

void R58SubScreen::setupDataPage()
{
    m_capture = new MeasurementCapture(*this, this);
    connect(m_capture, &MeasurementCapture::refreshed, this,
        [this](unsigned int marks, const std::vector<MeasurementSample>& samples) {
            for (quint8 phase = 0; phase < 3; ++phase) {
                if (marks & (1u << (MeasurementCapture::VoltageMark + phase)))
                    handleMeasurementVoltageModelValue(phase);
                if (marks & (1u << (MeasurementCapture::CurrentMark + phase)))
                    handleMeasurementCurrentModelValue(phase);
            }
            if (marks & (1u << MeasurementCapture::ActivePowerMark))
                handleMeasurementActivePowerModelValue();
            if (marks & (1u << MeasurementCapture::ReactivePowerMark))
                handleMeasurementReactivePowerModelValue();
            if (marks & (1u << MeasurementCapture::ApparentPowerMark))
                handleMeasurementApparentPowerModelValue();
            m_uiData->trendPlot->addSamples(samples);
            m_uiData->trendPlot->refresh();
        });
    connect(m_capture, &MeasurementCapture::recordingChanged, this,
        &R58SubScreen::showRecordingState);
    connect(m_capture, &MeasurementCapture::recordingEnded, this,
        &R58SubScreen::showRecordMessage);

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
        m_uiData->pushButtonTrendPause->setText(paused ? tr("RESUME") : tr("PAUSE"));
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
    connect(getTerminalService().data(), &TaloLinkTerminalService::platformVersionModelValue, this,
        follow);
    follow();

    // The three quantities' names and values stand in the same columns, the values wide enough
    // for the largest a device shows, so that nothing moves as they change.
    const QList<QGridLayout*> grids {
        form->gridLayoutVoltageData, form->gridLayoutCurrentData, form->gridLayoutPowerData};
    ::Application::R58::alignColumn(grids, 0);
    form->labelActivePower->ensurePolished();
    ::Application::R58::alignColumn(grids, 1,
        form->labelActivePower->fontMetrics().horizontalAdvance(
            QLocale().toString(8888.88, 'f', 2) + QStringLiteral(" kVAr")));
    connect(form->pushButtonRecord, &QPushButton::clicked, this, &R58SubScreen::handleRecord);
    keepWidthFor(form->pushButtonTrendPause, {tr("PAUSE"), tr("RESUME")});
    keepWidthFor(form->pushButtonRecord, {tr("RECORD…"), tr("STOP RECORDING (%1)").arg(QStringLiteral("00:00"))});
    showRecordingState();

    // The control page: running and stopping the motor.
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
        localized(getModelDatabase()->getMeasurement().getVoltageValue().toStringOfPhase(phase))
        + QStringLiteral(" V"));
}

void R58SubScreen::handleMeasurementCurrentModelValue(quint8 phase)
{
    const std::array<QLabel*, 3> labels {
        m_uiData->labelCurrent_L1, m_uiData->labelCurrent_L2, m_uiData->labelCurrent_L3};
    if (phase >= labels.size())
        return;
    labels[phase]->setText(
        localized(getModelDatabase()->getMeasurement().getCurrentValue().toStringOfPhase(phase))
        + QStringLiteral(" A"));
}

void R58SubScreen::handleMeasurementActivePowerModelValue()
{
    m_uiData->labelActivePower->setText(
        localized(getModelDatabase()->getMeasurement().getActivePowerValue().toString())
        + QStringLiteral(" kW"));
}

void R58SubScreen::handleMeasurementReactivePowerModelValue()
{
    m_uiData->labelReactivePower->setText(
        localized(getModelDatabase()->getMeasurement().getReactivePowerValue().toString())
        + QStringLiteral(" kVAr"));
}

void R58SubScreen::handleMeasurementApparentPowerModelValue()
{
    m_uiData->labelApparentPower->setText(
        localized(getModelDatabase()->getMeasurement().getApparentPowerValue().toString())
        + QStringLiteral(" kVA"));
}

void R58SubScreen::handleIdle()
{
    if (!getComponent(Component::Interfaces::ComponentID::TaloLinkUSB))
        return;
    fireAction(ModelActionID::MotorStop);
    m_motorStarted = false;
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
    m_motorStarted = true;
    showMotorStatus(tr("R58 Status: Forward"));
    m_uiControl->labelControlDirection->setPixmap(QPixmap(QStringLiteral(":/images/forward.png")));
}

void R58SubScreen::handleBackward()
{
    if (!getComponent(Component::Interfaces::ComponentID::TaloLinkUSB))
        return;
    fireAction(ModelActionID::MotorStop);
    fireAction(ModelActionID::MotorLeftOn);
    m_motorStarted = true;
    showMotorStatus(tr("R58 Status: Backward"));
    m_uiControl->labelControlDirection->setPixmap(QPixmap(QStringLiteral(":/images/backward.png")));
}

// ---- Recording

void R58SubScreen::handleRecord()
{
    if (m_capture->isRecording()) {
        m_capture->stopRecording();
        return;
    }
    const QString suggested = QDir(Records::RecordLocations::dialogFolder(
                                       getConfig()->getDocumentsDir()))
                                  .filePath(QStringLiteral("r58_%1.csv")
                                                .arg(QDateTime::currentDateTime().toString(
                                                    QStringLiteral("yyyyMMdd_HHmmss"))));
    QString path = askFileName(
        FileDialogMode::Save, tr("Record measured values"), suggested, tr("CSV files (*.csv)"));
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".csv");
    if (!m_capture->startRecording(path)) {
        showRecordMessage(tr("%1 could not be created (%2). Nothing is recorded.")
                              .arg(QDir::toNativeSeparators(path),
                                  m_capture->recorder().errorString()),
            true);
        return;
    }
    getConfig()->setDocumentsDir(path);
    // The recording runs; only the folder for next time is lost.
    if (const QString warning = saveConfig(); !warning.isEmpty())
        showRecordMessage(warning, true);
}

void R58SubScreen::showRecordingState()
{
    QPushButton* button = m_uiData->pushButtonRecord;
    const bool recording = m_capture->isRecording();
    if (recording) {
        const qint64 seconds
            = (QDateTime::currentMSecsSinceEpoch() - m_capture->recordingStarted()) / 1000;
        const QString time = QStringLiteral("%1:%2")
                                 .arg(seconds / 60, 2, 10, QLatin1Char('0'))
                                 .arg(seconds % 60, 2, 10, QLatin1Char('0'));
        button->setText(tr("STOP RECORDING (%1)").arg(time));
        const auto& recorder = m_capture->recorder();
        const QString gap = m_capture->streamGap();
        showRecordMessage(gap.isEmpty() ? tr("Recording to %1: %2 values")
                                              .arg(QFileInfo(recorder.fileName()).fileName(),
                                                  QLocale().toString(recorder.count()))
                                        : gap,
            !gap.isEmpty());
    } else {
        button->setText(tr("RECORD…"));
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
    if (!m_capture->isRecording())
        showRecordingState();
}
