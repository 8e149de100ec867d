#pragma once

#include "framework/noncopyable.h"
#include "model/modelactions.h"
#include "model/modelbootupstate.h"
#include "model/modelfaults.h"
#include "model/modelhousinglighting.h"
#include "model/modelinformation.h"
#include "model/modelmeasurement.h"
#include "model/modeloperation.h"
#include "model/modelsettings.h"

namespace Model::Interfaces {
class ModelIPCActionObserver;
class ModelIPCValueObserver;
} // namespace Model::Interfaces

namespace Model::Database {

// The mirror of one device's model: 51 values and 11 actions in the groups
// the device keeps them in. The values join the registries when the database
// is built and leave them when it is destroyed, so the registries must
// outlive it.
class ModelDatabase : private Utilities::NonCopyable
{
public:
    ModelDatabase(Component::Interfaces::AbstractApplication& application,
        Interfaces::ModelIPCValueObserver& valueRegistry,
        Interfaces::ModelIPCActionObserver& actionRegistry);
    virtual ~ModelDatabase() = default;

    // Asks the device for every value it keeps, group by group (47 requests).
    void init();

    [[nodiscard]] ModelSettings& getSettings() { return m_settings; }
    [[nodiscard]] ModelOperation& getOperation() { return m_operation; }
    [[nodiscard]] ModelFaults& getFaults() { return m_faults; }
    [[nodiscard]] ModelHousingLighting& getHousingLighting() { return m_housingLighting; }
    [[nodiscard]] ModelBootupState& getBootupState() { return m_bootupState; }
    [[nodiscard]] ModelMeasurement& getMeasurement() { return m_measurement; }
    [[nodiscard]] ModelInformation& getInformation() { return m_information; }
    [[nodiscard]] ModelActions& getActions() { return m_actions; }

private:
    ModelSettings m_settings;
    ModelOperation m_operation;
    ModelFaults m_faults;
    ModelHousingLighting m_housingLighting;
    ModelBootupState m_bootupState;
    ModelMeasurement m_measurement;
    ModelInformation m_information;
    ModelActions m_actions;
};

} // namespace Model::Database
