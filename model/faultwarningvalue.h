#pragma once

#include "model/modeldisplayvalue.h"

namespace Model::Database::Fault {

// The warning the device reports; 15 and 16 are codes without a text.
class WarningValue final : public Interfaces::ModelDisplayValue<Interfaces::ModelTypes::Fault::Type>
{
public:
    WarningValue(Application& application, Registry& registry)
        : ModelDisplayValue(Interfaces::ModelValueID::Warning,
            Interfaces::ModelTypes::Fault::Type::DeviceOK,
            Interfaces::ModelTypes::Fault::Type::DeviceOK,
            static_cast<Interfaces::ModelTypes::Fault::Type>(16), application, registry)
    {
    }
};

} // namespace Model::Database::Fault
