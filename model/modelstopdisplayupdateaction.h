#pragma once

#include "model/modelipcaction.h"

namespace Model::Action {

// Ends the update mode of the display processor.
class ModelStopDisplayUpdateAction final : public Interfaces::ModelIPCAction
{
public:
    ModelStopDisplayUpdateAction(Application& application, Registry& registry)
        : ModelIPCAction(Interfaces::ModelActionID::StopDisplayUpdate, application, registry)
    {
    }
};

} // namespace Model::Action
