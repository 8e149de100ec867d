#include "model/modelipcactionobserver.h"

#include "model/modelaction.h"

namespace Model::Interfaces {

using Utilities::Events::EventClass;

ModelIPCActionObserver::ModelIPCActionObserver()
    : EventObserver(EventClass::ModelActionEvents, 0xFFFFFFFFu)
{
}

void ModelIPCActionObserver::registerAction(ModelAction& action)
{
    m_actions.appendUnique(&action);
}

void ModelIPCActionObserver::unregisterAction(ModelAction& action)
{
    m_actions.remove(&action);
}

ModelAction* ModelIPCActionObserver::getAction(ModelActionID id) const
{
    for (ModelAction* action : m_actions) {
        if (action->getID() == id)
            return action;
    }
    return nullptr;
}

} // namespace Model::Interfaces
