#include "model/modeloperation.h"

namespace Model::Database {

ModelOperation::ModelOperation(
    Application& application, Interfaces::ModelIPCValueObserver& registry)
    : Model(application, 2),
      m_operatingModeValue(application, registry),
      m_capacityValue(application, registry)
{
}

void ModelOperation::init()
{
    m_operatingModeValue.init();
    m_capacityValue.init();
}

void ModelOperation::reset()
{
    m_operatingModeValue.reset();
    m_capacityValue.reset();
}

} // namespace Model::Database
