#pragma once

#include "model/modeldisplayvalue.h"

namespace Model::Database::Fault {

// The error the device reports; 15 and 16 are codes without a text.
class ErrorValue final : public Interfaces::ModelDisplayValue<Interfaces::ModelTypes::Fault::Type>
{
public:
    ErrorValue(Application& application, Registry& registry)
        : ModelDisplayValue(Interfaces::ModelValueID::Error,
            Interfaces::ModelTypes::Fault::Type::DeviceOK,
            Interfaces::ModelTypes::Fault::Type::DeviceOK,
            static_cast<Interfaces::ModelTypes::Fault::Type>(16), application, registry)
    {
    }
};

} // namespace Model::Database::Fault
