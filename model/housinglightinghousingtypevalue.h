#pragma once

#include "model/modeldisplayvalue.h"

namespace Model::Database::HousingLighting {

// The housing variant; the device reports it on its own and is never asked.
class HousingTypeValue final
    : public Interfaces::ModelDisplayValue<Interfaces::ModelTypes::HousingLighting::Type>
{
public:
    HousingTypeValue(Application& application, Registry& registry)
        : ModelDisplayValue(Interfaces::ModelValueID::HousingType,
            static_cast<Interfaces::ModelTypes::HousingLighting::Type>(0),
            static_cast<Interfaces::ModelTypes::HousingLighting::Type>(0),
            static_cast<Interfaces::ModelTypes::HousingLighting::Type>(8), application, registry)
    {
    }
};

} // namespace Model::Database::HousingLighting
