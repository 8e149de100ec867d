#pragma once

#include "model/model.h"
#include "model/modelfactoryresetaction.h"
#include "model/modelmotorleftonaction.h"
#include "model/modelmotorrightonaction.h"
#include "model/modelmotorstopaction.h"
#include "model/modelreseterroraction.h"
#include "model/modelstartcurrentmeasurementaction.h"
#include "model/modelstartdisplayupdateaction.h"
#include "model/modelstartpowermeasurementaction.h"
#include "model/modelstartvoltagemeasurementaction.h"
#include "model/modelstopdisplayupdateaction.h"
#include "model/modelstopmeasurementaction.h"

namespace Model::Database {

// One object for each action the device offers the host.
class ModelActions final : public Interfaces::Model
{
public:
    ModelActions(Application& application, Interfaces::ModelIPCActionObserver& registry);
    ~ModelActions() override = default;

    // Actions have no state to ask for or to restore.
    void init() override { }
    void reset() override { }

    [[nodiscard]] Action::ModelResetErrorAction& getResetErrorAction()
    {
        return m_resetErrorAction;
    }
    [[nodiscard]] Action::ModelStartCurrentMeasurementAction& getStartCurrentMeasurementAction()
    {
        return m_startCurrentMeasurementAction;
    }
    [[nodiscard]] Action::ModelStartPowerMeasurementAction& getStartPowerMeasurementAction()
    {
        return m_startPowerMeasurementAction;
    }
    [[nodiscard]] Action::ModelStartVoltageMeasurementAction& getStartVoltageMeasurementAction()
    {
        return m_startVoltageMeasurementAction;
    }
    [[nodiscard]] Action::ModelStopMeasurementAction& getStopMeasurementAction()
    {
        return m_stopMeasurementAction;
    }
    [[nodiscard]] Action::ModelFactoryResetAction& getFactoryResetAction()
    {
        return m_factoryResetAction;
    }
    [[nodiscard]] Action::ModelMotorLeftOnAction& getMotorLeftOnAction()
    {
        return m_motorLeftOnAction;
    }
    [[nodiscard]] Action::ModelMotorRightOnAction& getMotorRightOnAction()
    {
        return m_motorRightOnAction;
    }
    [[nodiscard]] Action::ModelMotorStopAction& getMotorStopAction() { return m_motorStopAction; }
    [[nodiscard]] Action::ModelStartDisplayUpdateAction& getStartDisplayUpdateAction()
    {
        return m_startDisplayUpdateAction;
    }
    [[nodiscard]] Action::ModelStopDisplayUpdateAction& getStopDisplayUpdateAction()
    {
        return m_stopDisplayUpdateAction;
    }

private:
    Action::ModelResetErrorAction m_resetErrorAction;
    Action::ModelStartCurrentMeasurementAction m_startCurrentMeasurementAction;
    Action::ModelStartPowerMeasurementAction m_startPowerMeasurementAction;
    Action::ModelStartVoltageMeasurementAction m_startVoltageMeasurementAction;
    Action::ModelStopMeasurementAction m_stopMeasurementAction;
    Action::ModelFactoryResetAction m_factoryResetAction;
    Action::ModelMotorLeftOnAction m_motorLeftOnAction;
    Action::ModelMotorRightOnAction m_motorRightOnAction;
    Action::ModelMotorStopAction m_motorStopAction;
    Action::ModelStartDisplayUpdateAction m_startDisplayUpdateAction;
    Action::ModelStopDisplayUpdateAction m_stopDisplayUpdateAction;
};

} // namespace Model::Database
