#pragma once

#include "model/modeldisplayvalue.h"

namespace Model::Database::HardwareID {

// Hardware revision of the display board.
class DisplayBoardValue final : public Interfaces::ModelDisplayValue<std::uint8_t>
{
public:
    DisplayBoardValue(Application& application, Registry& registry)
        : ModelDisplayValue(
            Interfaces::ModelValueID::HardwareIDDisplayBoard, 0, 0, 15, application, registry)
    {
    }
};

} // namespace Model::Database::HardwareID
