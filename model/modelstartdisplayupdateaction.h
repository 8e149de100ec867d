#pragma once

#include "model/modelipcaction.h"

namespace Model::Action {

// Puts the display processor into its update mode.
class ModelStartDisplayUpdateAction final : public Interfaces::ModelIPCAction
{
public:
    ModelStartDisplayUpdateAction(Application& application, Registry& registry)
        : ModelIPCAction(Interfaces::ModelActionID::StartDisplayUpdate, application, registry)
    {
    }
};

} // namespace Model::Action
