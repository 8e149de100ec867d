#include "model/modelinformation.h"

namespace Model::Database {

ModelInformation::ModelInformation(
    Application& application, Interfaces::ModelIPCValueObserver& registry)
    : Model(application, 9),
      m_platformVersionValue(application, registry),
      m_controllerBoardValue(application, registry),
      m_powerBoardValue(application, registry),
      m_displayBoardValue(application, registry),
      m_subSettingAbout(application, registry),
      m_serialNumberValue(application, registry),
      m_articleNumberValue(application, registry),
      m_articleIndexNumberValue(application, registry),
      m_productionDayValue(application, registry),
      m_productionWeekValue(application, registry),
      m_productionYearValue(application, registry)
{
}

void ModelInformation::init()
{
    m_platformVersionValue.init();
    m_controllerBoardValue.init();
    m_powerBoardValue.init();
    m_displayBoardValue.init();
    m_subSettingAbout.init();
    m_serialNumberValue.init();
    m_articleNumberValue.init();
    m_articleIndexNumberValue.init();
    m_productionDayValue.init();
    m_productionWeekValue.init();
    m_productionYearValue.init();
}

void ModelInformation::reset()
{
    m_platformVersionValue.reset();
    m_controllerBoardValue.reset();
    m_powerBoardValue.reset();
    m_displayBoardValue.reset();
    m_subSettingAbout.reset();
    m_serialNumberValue.reset();
    m_articleNumberValue.reset();
    m_articleIndexNumberValue.reset();
    m_productionDayValue.reset();
    m_productionWeekValue.reset();
    m_productionYearValue.reset();
}

} // namespace Model::Database
