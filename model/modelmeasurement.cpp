#include "model/modelmeasurement.h"

namespace Model::Database {

ModelMeasurement::ModelMeasurement(
    Application& application, Interfaces::ModelIPCValueObserver& registry)
    : Model(application, 7),
      m_currentValue(application, registry, m_phaseValue),
      m_voltageValue(application, registry, m_phaseValue),
      m_activePowerValue(application, registry),
      m_apparentPowerValue(application, registry),
      m_reactivePowerValue(application, registry),
      m_phaseValue(application, registry)
{
}

void ModelMeasurement::init()
{
    m_currentValue.init();
    m_voltageValue.init();
    m_phaseValue.init();
}

void ModelMeasurement::reset()
{
    m_currentValue.reset();
    m_voltageValue.reset();
    m_phaseValue.reset();
}

} // namespace Model::Database
