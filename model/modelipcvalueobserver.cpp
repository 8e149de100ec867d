#include "model/modelipcvalueobserver.h"

#include "model/modelvalueintf.h"

namespace Model::Interfaces {

using Utilities::Events::EventClass;

ModelIPCValueObserver::ModelIPCValueObserver()
    : EventObserver(EventClass::ModelValueEvents, 0xFFFFFFFFu)
{
}

void ModelIPCValueObserver::registerValue(ModelValueIntf& value)
{
    m_values.appendUnique(&value);
}

void ModelIPCValueObserver::unregisterValue(ModelValueIntf& value)
{
    m_values.remove(&value);
}

ModelValueIntf* ModelIPCValueObserver::getValue(ModelValueID id) const
{
    for (ModelValueIntf* value : m_values) {
        if (value->getID() == id)
            return value;
    }
    return nullptr;
}

} // namespace Model::Interfaces
