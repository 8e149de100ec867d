#pragma once

#include "model/modelipcaction.h"

namespace Model::Action {

// Clears the error the device reports.
class ModelResetErrorAction final : public Interfaces::ModelIPCAction
{
public:
    ModelResetErrorAction(Application& application, Registry& registry)
        : ModelIPCAction(Interfaces::ModelActionID::ResetError, application, registry)
    {
    }
};

} // namespace Model::Action
