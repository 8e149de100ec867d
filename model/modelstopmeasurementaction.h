#pragma once

#include "model/modelipcaction.h"

namespace Model::Action {

// Stops the measurements the device pushes.
class ModelStopMeasurementAction final : public Interfaces::ModelIPCAction
{
public:
    ModelStopMeasurementAction(Application& application, Registry& registry)
        : ModelIPCAction(Interfaces::ModelActionID::StopMeasurement, application, registry)
    {
    }
};

} // namespace Model::Action
