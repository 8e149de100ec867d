#pragma once

#include "model/modeldisplayvalue.h"

namespace Model::Database::HardwareID {

// Hardware revision of the controller board.
class ControllerBoardValue final : public Interfaces::ModelDisplayValue<std::uint8_t>
{
public:
    ControllerBoardValue(Application& application, Registry& registry)
        : ModelDisplayValue(
            Interfaces::ModelValueID::HardwareIDControllerBoard, 0, 0, 15, application, registry)
    {
    }
};

} // namespace Model::Database::HardwareID
