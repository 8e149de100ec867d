#pragma once

#include "model/modeldisplayvalue.h"

namespace Model::Database::HardwareID {

// Hardware revision of the power board.
class PowerBoardValue final : public Interfaces::ModelDisplayValue<std::uint8_t>
{
public:
    PowerBoardValue(Application& application, Registry& registry)
        : ModelDisplayValue(
            Interfaces::ModelValueID::HardwareIDPowerBoard, 0, 0, 15, application, registry)
    {
    }
};

} // namespace Model::Database::HardwareID
