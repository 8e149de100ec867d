#pragma once

#include "model/modelipcaction.h"

namespace Model::Action {

// Runs the motor forward.
class ModelMotorRightOnAction final : public Interfaces::ModelIPCAction
{
public:
    ModelMotorRightOnAction(Application& application, Registry& registry)
        : ModelIPCAction(Interfaces::ModelActionID::MotorRightOn, application, registry)
    {
    }
};

} // namespace Model::Action
