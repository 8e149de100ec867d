#pragma once

#include "model/gfxsettingvalue.h"
#include "model/gfxsubsettinglimit.h"
#include "model/gfxsubsettingsoftstart.h"
#include "model/model.h"
#include "model/settingloadasymmetryenablevalue.h"
#include "model/settingloadasymmetryfaultvalue.h"
#include "model/settingloadasymmetrythresholdvalue.h"
#include "model/settingmaxnominalcurrentvalue.h"
#include "model/settingmaxtripclassvalue.h"
#include "model/settingnominalcurrentvalue.h"
#include "model/settingoverloadresetvalue.h"
#include "model/settingovervoltageenablevalue.h"
#include "model/settingovervoltagefaultvalue.h"
#include "model/settingovervoltagethresholdvalue.h"
#include "model/settingsoftstartenablevalue.h"
#include "model/settingsoftstartminimumvoltagevalue.h"
#include "model/settingsoftstartrampdowntimevalue.h"
#include "model/settingsoftstartrampuptimevalue.h"
#include "model/settingtripclassvalue.h"
#include "model/settingundercurrentenablevalue.h"
#include "model/settingundercurrentfaultvalue.h"
#include "model/settingundercurrentthresholdvalue.h"
#include "model/settingundervoltageenablevalue.h"
#include "model/settingundervoltagefaultvalue.h"
#include "model/settingundervoltagethresholdvalue.h"

namespace Model::Database {

// The protection settings and the positions of the device display's settings
// menus. The values are asked for in the order the device expects, which
// differs from the member order; the limit sub-menu position is left alone
// by reset(), as the device display owns it.
class ModelSettings final : public Interfaces::Model
{
public:
    ModelSettings(Application& application, Interfaces::ModelIPCValueObserver& registry);
    ~ModelSettings() override = default;

    void init() override;
    void reset() override;

    [[nodiscard]] GFX::SettingValue& getSettingValue() { return m_settingValue; }
    [[nodiscard]] GFX::SubSettingSoftstart& getSubSettingSoftstart()
    {
        return m_subSettingSoftstart;
    }
    [[nodiscard]] GFX::SubSettingLimit& getSubSettingLimit() { return m_subSettingLimit; }
    [[nodiscard]] Setting::MaxTripClassValue& getMaxTripClassValue() { return m_maxTripClassValue; }
    [[nodiscard]] Setting::TripClassValue& getTripClassValue() { return m_tripClassValue; }
    [[nodiscard]] Setting::MaxNominalCurrentValue& getMaxNominalCurrentValue()
    {
        return m_maxNominalCurrentValue;
    }
    [[nodiscard]] Setting::NominalCurrentValue& getNominalCurrentValue()
    {
        return m_nominalCurrentValue;
    }
    [[nodiscard]] Setting::SoftstartEnableValue& getSoftstartEnableValue()
    {
        return m_softstartEnableValue;
    }
    [[nodiscard]] Setting::SoftstartRampUpTimeValue& getSoftstartRampUpTimeValue()
    {
        return m_softstartRampUpTimeValue;
    }
    [[nodiscard]] Setting::SoftstartRampDownTimeValue& getSoftstartRampDownTimeValue()
    {
        return m_softstartRampDownTimeValue;
    }
    [[nodiscard]] Setting::SoftstartMinimumVoltageValue& getSoftstartMinVoltage()
    {
        return m_softstartMinVoltage;
    }
    [[nodiscard]] Setting::UndercurrentEnableValue& getUndercurrentEnableValue()
    {
        return m_undercurrentEnableValue;
    }
    [[nodiscard]] Setting::UndercurrentThresholdValue& getUndercurrentThresholdValue()
    {
        return m_undercurrentThresholdValue;
    }
    [[nodiscard]] Setting::UndercurrentFaultValue& getUndercurrentFaultValue()
    {
        return m_undercurrentFaultValue;
    }
    [[nodiscard]] Setting::UndervoltageEnableValue& getUndervoltageEnableValue()
    {
        return m_undervoltageEnableValue;
    }
    [[nodiscard]] Setting::UndervoltageThresholdValue& getUndervoltageThresholdValue()
    {
        return m_undervoltageThresholdValue;
    }
    [[nodiscard]] Setting::UndervoltageFaultValue& getUndervoltageFaultValue()
    {
        return m_undervoltageFaultValue;
    }
    [[nodiscard]] Setting::OvervoltageEnableValue& getOvervoltageEnableValue()
    {
        return m_overvoltageEnableValue;
    }
    [[nodiscard]] Setting::OvervoltageThresholdValue& getOvervoltageThresholdValue()
    {
        return m_overvoltageThresholdValue;
    }
    [[nodiscard]] Setting::OvervoltageFaultValue& getOvervoltageFaultValue()
    {
        return m_overvoltageFaultValue;
    }
    [[nodiscard]] Setting::OverloadResetValue& getOverloadResetValue()
    {
        return m_overloadResetValue;
    }
    [[nodiscard]] Setting::LoadAsymmetryEnableValue& getLoadAsymmetryEnableValue()
    {
        return m_loadAsymmetryEnableValue;
    }
    [[nodiscard]] Setting::LoadAsymmetryThresholdValue& getLoadAsymmetryThresholdValue()
    {
        return m_loadAsymmetryThresholdValue;
    }
    [[nodiscard]] Setting::LoadAsymmetryFaultValue& getLoadAsymmetryFaultValue()
    {
        return m_loadAsymmetryFaultValue;
    }

private:
    GFX::SettingValue m_settingValue;
    GFX::SubSettingSoftstart m_subSettingSoftstart;
    GFX::SubSettingLimit m_subSettingLimit;
    Setting::MaxTripClassValue m_maxTripClassValue;
    Setting::TripClassValue m_tripClassValue;
    Setting::MaxNominalCurrentValue m_maxNominalCurrentValue;
    Setting::NominalCurrentValue m_nominalCurrentValue;
    Setting::SoftstartEnableValue m_softstartEnableValue;
    Setting::SoftstartRampUpTimeValue m_softstartRampUpTimeValue;
    Setting::SoftstartRampDownTimeValue m_softstartRampDownTimeValue;
    Setting::SoftstartMinimumVoltageValue m_softstartMinVoltage;
    Setting::UndercurrentEnableValue m_undercurrentEnableValue;
    Setting::UndercurrentThresholdValue m_undercurrentThresholdValue;
    Setting::UndercurrentFaultValue m_undercurrentFaultValue;
    Setting::UndervoltageEnableValue m_undervoltageEnableValue;
    Setting::UndervoltageThresholdValue m_undervoltageThresholdValue;
    Setting::UndervoltageFaultValue m_undervoltageFaultValue;
    Setting::OvervoltageEnableValue m_overvoltageEnableValue;
    Setting::OvervoltageThresholdValue m_overvoltageThresholdValue;
    Setting::OvervoltageFaultValue m_overvoltageFaultValue;
    Setting::OverloadResetValue m_overloadResetValue;
    Setting::LoadAsymmetryEnableValue m_loadAsymmetryEnableValue;
    Setting::LoadAsymmetryThresholdValue m_loadAsymmetryThresholdValue;
    Setting::LoadAsymmetryFaultValue m_loadAsymmetryFaultValue;
};

} // namespace Model::Database
