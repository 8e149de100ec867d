#include "model/modelactionobserver.h"

#include "model/modelaction.h"
#include "model/modelactionevent.h"

namespace Model::Observer {

using Interfaces::ModelActionEvent;
using Utilities::Events::BaseEvent;
using Utilities::Events::EventClass;

void ModelActionObserver::notify(EventClass eventClass, BaseEvent& event)
{
    if (eventClass != EventClass::ModelActionEvents || event.type != ModelActionEvent::Execute)
        return;
    auto* actionEvent = dynamic_cast<ModelActionEvent*>(&event);
    if (!actionEvent)
        return;
    if (Interfaces::ModelAction* action = getAction(actionEvent->id))
        action->execute();
}

} // namespace Model::Observer
