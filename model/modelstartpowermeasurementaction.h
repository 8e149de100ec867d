#pragma once

#include "model/modelipcaction.h"

namespace Model::Action {

// Makes the device push power measurements.
class ModelStartPowerMeasurementAction final : public Interfaces::ModelIPCAction
{
public:
    ModelStartPowerMeasurementAction(Application& application, Registry& registry)
        : ModelIPCAction(Interfaces::ModelActionID::StartPowerMeasurement, application, registry)
    {
    }
};

} // namespace Model::Action
