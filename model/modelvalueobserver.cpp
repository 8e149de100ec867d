#include "model/modelvalueobserver.h"

#include "model/modelvalueevent.h"
#include "model/modelvalueintf.h"

namespace Model::Observer {

using Interfaces::ModelValueEvent;
using Utilities::Events::BaseEvent;
using Utilities::Events::EventClass;

void ModelValueObserver::notify(EventClass eventClass, BaseEvent& event)
{
    if (eventClass != EventClass::ModelValueEvents)
        return;
    // Checked rather than assumed: decoding reads through the event's data pointer.
    auto* valueEvent = dynamic_cast<ModelValueEvent*>(&event);
    if (!valueEvent)
        return;
    Interfaces::ModelValueIntf* value = getValue(valueEvent->id);
    if (!value)
        return;
    switch (valueEvent->type) {
    case ModelValueEvent::Request:
        value->transmit();
        break;
    case ModelValueEvent::Update:
        value->receive(valueEvent->data, valueEvent->length);
        sendEvent(eventClass, event);
        break;
    default:
        break;
    }
}

} // namespace Model::Observer
