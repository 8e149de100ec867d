#pragma once

#include "model/modelipcaction.h"

namespace Model::Action {

// Runs the motor backward.
class ModelMotorLeftOnAction final : public Interfaces::ModelIPCAction
{
public:
    ModelMotorLeftOnAction(Application& application, Registry& registry)
        : ModelIPCAction(Interfaces::ModelActionID::MotorLeftOn, application, registry)
    {
    }
};

} // namespace Model::Action
