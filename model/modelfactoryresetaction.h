#pragma once

#include "model/modelipcaction.h"

namespace Model::Action {

// Returns the device to its factory settings.
class ModelFactoryResetAction final : public Interfaces::ModelIPCAction
{
public:
    ModelFactoryResetAction(Application& application, Registry& registry)
        : ModelIPCAction(Interfaces::ModelActionID::FactoryReset, application, registry)
    {
    }
};

} // namespace Model::Action
