#pragma once

#include "model/gfxsubsettingabout.h"
#include "model/hardwareidcontrollerboardvalue.h"
#include "model/hardwareiddisplayboardvalue.h"
#include "model/hardwareidpowerboardvalue.h"
#include "model/informationarticleindexvalue.h"
#include "model/informationarticlenumbervalue.h"
#include "model/informationplatformversionvalue.h"
#include "model/informationproductiondayvalue.h"
#include "model/informationproductionweekvalue.h"
#include "model/informationproductionyearvalue.h"
#include "model/informationserialnumbervalue.h"
#include "model/model.h"

namespace Model::Database {

// Identification of the device: versions, hardware revisions, serial and
// article number, production date.
class ModelInformation final : public Interfaces::Model
{
public:
    ModelInformation(Application& application, Interfaces::ModelIPCValueObserver& registry);
    ~ModelInformation() override = default;

    void init() override;
    void reset() override;

    [[nodiscard]] Information::PlatformVersionValue& getPlatformVersionValue()
    {
        return m_platformVersionValue;
    }
    [[nodiscard]] HardwareID::ControllerBoardValue& getControllerBoardValue()
    {
        return m_controllerBoardValue;
    }
    [[nodiscard]] HardwareID::PowerBoardValue& getPowerBoardValue() { return m_powerBoardValue; }
    [[nodiscard]] HardwareID::DisplayBoardValue& getDisplayBoardValue()
    {
        return m_displayBoardValue;
    }
    [[nodiscard]] GFX::SubSettingAbout& getSubSettingAbout() { return m_subSettingAbout; }
    [[nodiscard]] Information::SerialNumberValue& getSerialNumberValue()
    {
        return m_serialNumberValue;
    }
    [[nodiscard]] Information::ArticleNumberValue& getArticleNumberValue()
    {
        return m_articleNumberValue;
    }
    [[nodiscard]] Information::ArticleIndexValue& getArticleIndexNumberValue()
    {
        return m_articleIndexNumberValue;
    }
    [[nodiscard]] Information::ProductionDayValue& getProductionDayValue()
    {
        return m_productionDayValue;
    }
    [[nodiscard]] Information::ProductionWeekValue& getProductionWeekValue()
    {
        return m_productionWeekValue;
    }
    [[nodiscard]] Information::ProductionYearValue& getProductionYearValue()
    {
        return m_productionYearValue;
    }

private:
    Information::PlatformVersionValue m_platformVersionValue;
    HardwareID::ControllerBoardValue m_controllerBoardValue;
    HardwareID::PowerBoardValue m_powerBoardValue;
    HardwareID::DisplayBoardValue m_displayBoardValue;
    GFX::SubSettingAbout m_subSettingAbout;
    Information::SerialNumberValue m_serialNumberValue;
    Information::ArticleNumberValue m_articleNumberValue;
    Information::ArticleIndexValue m_articleIndexNumberValue;
    Information::ProductionDayValue m_productionDayValue;
    Information::ProductionWeekValue m_productionWeekValue;
    Information::ProductionYearValue m_productionYearValue;
};

} // namespace Model::Database
