#include "model/modelfaults.h"

namespace Model::Database {

ModelFaults::ModelFaults(Application& application, Interfaces::ModelIPCValueObserver& registry)
    : Model(application, 3),
      m_warningValue(application, registry),
      m_phaseValue(application, registry),
      m_errorValue(application, registry)
{
}

void ModelFaults::init()
{
    m_warningValue.init();
    m_phaseValue.init();
    m_errorValue.init();
}

void ModelFaults::reset()
{
    m_warningValue.reset();
    m_phaseValue.reset();
    m_errorValue.reset();
}

} // namespace Model::Database
