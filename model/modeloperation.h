#pragma once

#include "model/model.h"
#include "model/operationcapacityvalue.h"
#include "model/operationoperatingmodevalue.h"

namespace Model::Database {

// The motor's operating mode and thermal capacity.
class ModelOperation final : public Interfaces::Model
{
public:
    ModelOperation(Application& application, Interfaces::ModelIPCValueObserver& registry);
    ~ModelOperation() override = default;

    void init() override;
    void reset() override;

    [[nodiscard]] Operation::OperatingModeValue& getOperatingModeValue()
    {
        return m_operatingModeValue;
    }
    [[nodiscard]] Operation::CapacityValue& getCapacityValue() { return m_capacityValue; }

private:
    Operation::OperatingModeValue m_operatingModeValue;
    Operation::CapacityValue m_capacityValue;
};

} // namespace Model::Database
