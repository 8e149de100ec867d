#pragma once

#include "framework/baseevent.h"
#include "model/modelactionid.h"

#include <cstdint>

namespace Model::Interfaces {

// Asks the action registry to run an action on the host side.
class ModelActionEvent : public Utilities::Events::BaseEvent
{
public:
    enum Type : std::uint32_t {
        Execute = 1,
    };

    ModelActionEvent(Type eventType, ModelActionID actionId)
        : BaseEvent(eventType), id(actionId) { }

    ModelActionID id;
};

} // namespace Model::Interfaces
