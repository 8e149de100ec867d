#include "model/modelhousinglighting.h"

namespace Model::Database {

ModelHousingLighting::ModelHousingLighting(
    Application& application, Interfaces::ModelIPCValueObserver& registry)
    : Model(application, 4),
      m_edgeValue(application, registry),
      m_brightnessRedValue(application, registry),
      m_brightnessYellowValue(application, registry),
      m_housingTypeValue(application, registry)
{
}

void ModelHousingLighting::init()
{
    m_edgeValue.init();
    m_brightnessRedValue.init();
    m_brightnessYellowValue.init();
}

void ModelHousingLighting::reset()
{
    m_edgeValue.reset();
    m_brightnessRedValue.reset();
    m_brightnessYellowValue.reset();
}

} // namespace Model::Database
