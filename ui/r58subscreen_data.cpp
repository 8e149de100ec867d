// The device screen's data page (the measurements the device streams) and its control page
// (running and stopping the motor).

#include "link/talolinkterminalservice.h"
#include "model/modeldatabase.h"
#include "ui/r58subscreen.h"
#include "ui_r58subscreen_control.h"
#include "ui_r58subscreen_data.h"

#include <QLabel>
#include <QPixmap>

using Model::Interfaces::ModelActionID;
using Service::R58::TaloLinkTerminalService;

void R58SubScreen::setupDataPage()
{
    TaloLinkTerminalService* service = getTerminalService().data();
    using S = TaloLinkTerminalService;
    connect(service, &S::measurementCurrentModelValue, this,
        &R58SubScreen::handleMeasurementCurrentModelValue);
    connect(service, &S::measurementVoltageModelValue, this,
        &R58SubScreen::handleMeasurementVoltageModelValue);
    connect(service, &S::measurementActivePowerModelValue, this,
        &R58SubScreen::handleMeasurementActivePowerModelValue);
    connect(service, &S::measurementReactivePowerModelValue, this,
        &R58SubScreen::handleMeasurementReactivePowerModelValue);
    connect(service, &S::measurementApparentPowerModelValue, this,
        &R58SubScreen::handleMeasurementApparentPowerModelValue);
    // The phase travels with each measured value's signal, so the phase's own signal is not
    // taken: every frame it queued on the GUI thread would cost a wake-up for nothing.
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
