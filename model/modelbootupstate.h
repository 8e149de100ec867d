#pragma once

#include "model/informationplatformstatevalue.h"
#include "model/model.h"

namespace Model::Database {

// The start-up state of the device's main processor.
class ModelBootupState final : public Interfaces::Model
{
public:
    ModelBootupState(Application& application, Interfaces::ModelIPCValueObserver& registry);
    ~ModelBootupState() override = default;

    void init() override;
    void reset() override;

    [[nodiscard]] Information::PlatformStateValue& getPlatformStateValue()
    {
        return m_platformStateValue;
    }

private:
    Information::PlatformStateValue m_platformStateValue;
};

} // namespace Model::Database
