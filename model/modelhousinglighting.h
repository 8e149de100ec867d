#pragma once

#include "model/housinglightingbrightnessredvalue.h"
#include "model/housinglightingbrightnessyellowvalue.h"
#include "model/housinglightingedgevalue.h"
#include "model/housinglightinghousingtypevalue.h"
#include "model/model.h"

namespace Model::Database {

// The housing lights. The housing type is mirrored but never asked for: the
// device reports it on its own.
class ModelHousingLighting final : public Interfaces::Model
{
public:
    ModelHousingLighting(Application& application, Interfaces::ModelIPCValueObserver& registry);
    ~ModelHousingLighting() override = default;

    void init() override;
    void reset() override;

    [[nodiscard]] HousingLighting::EdgeValue& getEdgeValue() { return m_edgeValue; }
    [[nodiscard]] HousingLighting::BrightnessRedValue& getBrightnessRedValue()
    {
        return m_brightnessRedValue;
    }
    [[nodiscard]] HousingLighting::BrightnessYellowValue& getBrightnessYellowValue()
    {
        return m_brightnessYellowValue;
    }
    [[nodiscard]] HousingLighting::HousingTypeValue& getHousingTypeValue()
    {
        return m_housingTypeValue;
    }

private:
    HousingLighting::EdgeValue m_edgeValue;
    HousingLighting::BrightnessRedValue m_brightnessRedValue;
    HousingLighting::BrightnessYellowValue m_brightnessYellowValue;
    HousingLighting::HousingTypeValue m_housingTypeValue;
};

} // namespace Model::Database
