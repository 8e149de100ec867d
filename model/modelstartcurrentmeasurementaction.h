#pragma once

#include "model/modelipcaction.h"

namespace Model::Action {

// Makes the device push current measurements.
class ModelStartCurrentMeasurementAction final : public Interfaces::ModelIPCAction
{
public:
    ModelStartCurrentMeasurementAction(Application& application, Registry& registry)
        : ModelIPCAction(Interfaces::ModelActionID::StartCurrentMeasurement, application, registry)
    {
    }
};

} // namespace Model::Action
