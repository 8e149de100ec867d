#pragma once

#include "model/modelipcaction.h"

namespace Model::Action {

// Makes the device push voltage measurements.
class ModelStartVoltageMeasurementAction final : public Interfaces::ModelIPCAction
{
public:
    ModelStartVoltageMeasurementAction(Application& application, Registry& registry)
        : ModelIPCAction(Interfaces::ModelActionID::StartVoltageMeasurement, application, registry)
    {
    }
};

} // namespace Model::Action
