#include "model/modelsettings.h"

namespace Model::Database {

ModelSettings::ModelSettings(Application& application, Interfaces::ModelIPCValueObserver& registry)
    : Model(application, 1),
      m_settingValue(application, registry),
      m_subSettingSoftstart(application, registry),
      m_subSettingLimit(application, registry),
      m_maxTripClassValue(application, registry),
      m_tripClassValue(application, registry),
      m_maxNominalCurrentValue(application, registry),
      m_nominalCurrentValue(application, registry),
      m_softstartEnableValue(application, registry),
      m_softstartRampUpTimeValue(application, registry),
      m_softstartRampDownTimeValue(application, registry),
      m_softstartMinVoltage(application, registry),
      m_undercurrentEnableValue(application, registry),
      m_undercurrentThresholdValue(application, registry),
      m_undercurrentFaultValue(application, registry),
      m_undervoltageEnableValue(application, registry),
      m_undervoltageThresholdValue(application, registry),
      m_undervoltageFaultValue(application, registry),
      m_overvoltageEnableValue(application, registry),
      m_overvoltageThresholdValue(application, registry),
      m_overvoltageFaultValue(application, registry),
      m_overloadResetValue(application, registry),
      m_loadAsymmetryEnableValue(application, registry),
      m_loadAsymmetryThresholdValue(application, registry),
      m_loadAsymmetryFaultValue(application, registry)
{
}

void ModelSettings::init()
{
    m_settingValue.init();
    m_maxTripClassValue.init();
    m_tripClassValue.init();
    m_maxNominalCurrentValue.init();
    m_nominalCurrentValue.init();
    m_softstartEnableValue.init();
    m_softstartRampUpTimeValue.init();
    m_softstartRampDownTimeValue.init();
    m_softstartMinVoltage.init();
    m_subSettingSoftstart.init();
    m_undercurrentEnableValue.init();
    m_undercurrentThresholdValue.init();
    m_undercurrentFaultValue.init();
    m_subSettingLimit.init();
    m_undervoltageEnableValue.init();
    m_undervoltageThresholdValue.init();
    m_undervoltageFaultValue.init();
    m_overloadResetValue.init();
    m_overvoltageEnableValue.init();
    m_overvoltageThresholdValue.init();
    m_overvoltageFaultValue.init();
    m_loadAsymmetryEnableValue.init();
    m_loadAsymmetryThresholdValue.init();
    m_loadAsymmetryFaultValue.init();
}

void ModelSettings::reset()
{
    m_settingValue.reset();
    m_maxTripClassValue.reset();
    m_tripClassValue.reset();
    m_maxNominalCurrentValue.reset();
    m_nominalCurrentValue.reset();
    m_softstartEnableValue.reset();
    m_softstartRampUpTimeValue.reset();
    m_softstartRampDownTimeValue.reset();
    m_softstartMinVoltage.reset();
    m_subSettingSoftstart.reset();
    m_undercurrentEnableValue.reset();
    m_undercurrentThresholdValue.reset();
    m_undercurrentFaultValue.reset();
    m_undervoltageEnableValue.reset();
    m_undervoltageThresholdValue.reset();
    m_undervoltageFaultValue.reset();
    m_overloadResetValue.reset();
    m_overvoltageEnableValue.reset();
    m_overvoltageThresholdValue.reset();
    m_overvoltageFaultValue.reset();
    m_loadAsymmetryEnableValue.reset();
    m_loadAsymmetryThresholdValue.reset();
    m_loadAsymmetryFaultValue.reset();
}

} // namespace Model::Database
