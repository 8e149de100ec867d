#include "model/modelactions.h"

#include "model/modelipcactionobserver.h"

namespace Model::Database {

ModelActions::ModelActions(Application& application, Interfaces::ModelIPCActionObserver& registry)
    : Model(application, 8),
      m_resetErrorAction(application, registry),
      m_startCurrentMeasurementAction(application, registry),
      m_startPowerMeasurementAction(application, registry),
      m_startVoltageMeasurementAction(application, registry),
      m_stopMeasurementAction(application, registry),
      m_factoryResetAction(application, registry),
      m_motorLeftOnAction(application, registry),
      m_motorRightOnAction(application, registry),
      m_motorStopAction(application, registry),
      m_startDisplayUpdateAction(application, registry),
      m_stopDisplayUpdateAction(application, registry)
{
}

} // namespace Model::Database
