#include "model/modelbootupstate.h"

namespace Model::Database {

ModelBootupState::ModelBootupState(
    Application& application, Interfaces::ModelIPCValueObserver& registry)
    : Model(application, 5), m_platformStateValue(application, registry)
{
}

void ModelBootupState::init()
{
    m_platformStateValue.init();
}

void ModelBootupState::reset()
{
    m_platformStateValue.reset();
}

} // namespace Model::Database
