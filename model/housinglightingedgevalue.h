#pragma once

#include "model/modeldisplayvalue.h"

namespace Model::Database::HousingLighting {

// The lit edge of the housing.
class EdgeValue final
    : public Interfaces::ModelDisplayValue<Interfaces::ModelTypes::HousingLighting::Edge>
{
public:
    EdgeValue(Application& application, Registry& registry)
        : ModelDisplayValue(Interfaces::ModelValueID::HousingEdge,
            static_cast<Interfaces::ModelTypes::HousingLighting::Edge>(1),
            static_cast<Interfaces::ModelTypes::HousingLighting::Edge>(1),
            static_cast<Interfaces::ModelTypes::HousingLighting::Edge>(3), application, registry)
    {
    }
};

} // namespace Model::Database::HousingLighting
