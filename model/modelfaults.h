#pragma once

#include "model/faulterrorvalue.h"
#include "model/faultphasevalue.h"
#include "model/faultwarningvalue.h"
#include "model/model.h"

namespace Model::Database {

// The warning and error the device reports, and the phase they concern.
class ModelFaults final : public Interfaces::Model
{
public:
    ModelFaults(Application& application, Interfaces::ModelIPCValueObserver& registry);
    ~ModelFaults() override = default;

    void init() override;
    void reset() override;

    [[nodiscard]] Fault::WarningValue& getWarningValue() { return m_warningValue; }
    [[nodiscard]] Fault::PhaseValue& getPhaseValue() { return m_phaseValue; }
    [[nodiscard]] Fault::ErrorValue& getErrorValue() { return m_errorValue; }

private:
    Fault::WarningValue m_warningValue;
    Fault::PhaseValue m_phaseValue;
    Fault::ErrorValue m_errorValue;
};

} // namespace Model::Database
