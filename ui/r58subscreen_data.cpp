// The device screen's data page (the measurements the device streams) and its control page
// (running and stopping the motor).

#include "link/talolinkterminalservice.h"
#include "model/modeldatabase.h"
#include "ui/pendingupdates.h"
#include "ui/r58subscreen.h"
#include "ui_r58subscreen_control.h"
#include "ui_r58subscreen_data.h"

#include <QLabel>
#include <QPixmap>
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
