#pragma once

#include "model/modelipcaction.h"

namespace Model::Action {

// Stops the motor.
class ModelMotorStopAction final : public Interfaces::ModelIPCAction
{
public:
    ModelMotorStopAction(Application& application, Registry& registry)
        : ModelIPCAction(Interfaces::ModelActionID::MotorStop, application, registry)
    {
    }
};

} // namespace Model::Action
