#include "model/modeldatabase.h"

namespace Model::Database {

ModelDatabase::ModelDatabase(Component::Interfaces::AbstractApplication& application,
    Interfaces::ModelIPCValueObserver& valueRegistry,
    Interfaces::ModelIPCActionObserver& actionRegistry)
    : m_settings(application, valueRegistry),
      m_operation(application, valueRegistry),
      m_faults(application, valueRegistry),
      m_housingLighting(application, valueRegistry),
      m_bootupState(application, valueRegistry),
      m_measurement(application, valueRegistry),
      m_information(application, valueRegistry),
      m_actions(application, actionRegistry)
{
}

void ModelDatabase::init()
{
    m_settings.init();
    m_operation.init();
    m_faults.init();
    m_housingLighting.init();
    m_bootupState.init();
    m_measurement.init();
    m_information.init();
    m_actions.init();
}

} // namespace Model::Database
