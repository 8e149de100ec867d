#include "link/terminalcommandcatalogue.h"

namespace Application::R58 {

namespace {

using Item = TerminalCommandItem;
using C = Item::CommandID;
using T = Item::Terminal;

Item::ArgList noArgs()
{
    return {};
}

template <typename A> QSharedPointer<Item::Arg> arg(const char* name)
{
    return QSharedPointer<Item::Arg>(new A(QString::fromLatin1(name)));
}

auto u8(const char* name)
{
    return arg<Item::UInt8Arg>(name);
}
auto u32(const char* name)
{
    return arg<Item::UInt32Arg>(name);
}
auto f32(const char* name)
{
    return arg<Item::FloatArg>(name);
}

} // namespace

TerminalCommandCatalogue::TerminalCommandCatalogue()
{
    auto add = [this](C command, const char* name, Item::Availability availability, T destination,
                   Item::ArgList args = {}, bool hidden = false) {
        m_items.push_back(std::make_unique<Item>(
            command, QString::fromLatin1(name), hidden, availability, T::Host, destination, args));
    };

    for (T terminal : {T::Platform, T::Display}) {
        add(C::Reset, "Reset", Item::Any, terminal);
        add(C::GetSWVersion, "GetSWVersion", Item::Any, terminal);
        add(C::GetHALVersion, "GetHALVersion", Item::Any, terminal);
        add(C::GetName, "GetName", Item::Any, terminal);
        add(C::JumpToApplication, "JumpToApplication", Item::Bootloader, terminal);
        add(C::Memblock, "Memblock", Item::Bootloader, terminal, noArgs(), true);
        if (terminal == T::Display) {
            add(C::JumpToBootloader, "JumpToBootloader", Item::Application, terminal);
            add(C::MainButtonSetLED, "MainButtonSetLED", Item::Application, terminal,
                {u8("Color"), f32("Brightness")});
            add(C::DisplayTestMode, "DisplayTestMode", Item::Application, terminal,
                {u8("TestMode")});
            add(C::GetButtonStatus, "GetButtonStatus", Item::Application, terminal,
                {u8("ButtonIndex")});
            break;
        }
        add(C::InitEEPROM, "InitEEPROM", Item::Bootloader, terminal);
        add(C::DumpEEPROM, "DumpEEPROM", Item::Bootloader, terminal);
        add(C::InitUserArea, "InitUserArea", Item::Bootloader, terminal);
        add(C::JumpToBootloader, "JumpToBootloader", Item::Application, terminal);

        const auto app = Item::Application;
        add(C::SetModelValue, "ModelSetValue", app, terminal,
            {arg<Item::ModelValueIDArg>("ModelValueID"), u32("Value")});
        add(C::GetModelValue, "ModelGetValue", app, terminal,
            {arg<Item::ModelValueIDArg>("ModelValueID")});
        add(C::FireModelAction, "ModelFireAction", app, terminal,
            {arg<Item::ModelActionIDArg>("ModelActionID")});
        add(C::PhaseCtrlSetRelay, "PhaseCtrlSetRelay", app, terminal, {u8("Index"), u8("Value")});
        add(C::PhaseCtrlSetMosfet, "PhaseCtrlSetMosfet", app, terminal, {u8("Index"), u8("Value")});
        add(C::PhaseCtrlGetFailureStatus, "PhaseCtrlGetFailureStatus", app, terminal,
            {u8("Index")});
        add(C::PhaseCtrlResetPhase, "PhaseCtrlResetPhase", app, terminal, {u8("Index")});
        add(C::PhaseCtrlGetReadyStatus, "PhaseCtrlGetReadyStatus", app, terminal, {u8("Index")});
        add(C::MeasurementGetRMSValue, "MeasurementGetRMSValue", app, terminal,
            {u8("Index"), u8("Unit")});
        add(C::MeasurementGetMovingAverageValue, "MeasurementGetMovingAverageValue", app, terminal,
            {u8("Index"), u8("Unit")});
        add(C::MeasurementGetStaticOffset, "MeasurementGetStaticOffset", app, terminal,
            {u8("Phase"), u8("Unit")});
        add(C::MeasurementSetStaticOffset, "MeasurementSetStaticOffset", app, terminal,
            {u8("Phase"), u8("Unit"), f32("Value")});
        add(C::MeasurementGetGainOffset, "MeasurementGetGainOffset", app, terminal,
            {u8("Index"), u8("Unit")});
        add(C::MeasurementSetGainOffset, "MeasurementSetGainOffset", app, terminal,
            {u8("Index"), u8("Unit"), f32("Value")});
        add(C::MeasurementGetWaveform, "MeasurementGetWaveform", app, terminal,
            {u8("Index"), u8("Unit")});
        add(C::StateMachineGetState, "StateMachineGetState", app, terminal);
        add(C::StateMachineResetError, "StateMachineResetError", app, terminal);
        add(C::AnalogSignalsSetRelay, "AnalogSignalsSetRelay", app, terminal,
            {u8("Index"), u8("Value")});
        add(C::FanSetDutyCycle, "FanSetDutyCycle", app, terminal, {u8("Value")});
        add(C::GetTemperature, "GetTemperature", app, terminal, {u8("Temperature ID")});
        add(C::GetAuxVoltage, "GetAuxVoltage", app, terminal);
        add(C::GetSupplyVoltage, "GetSupplyVoltage", app, terminal);
        add(C::GetSupplyState, "GetSupplyState", app, terminal);
        add(C::GetThermalCapacity, "GetThermalCapacity", app, terminal, {u8("Phase")});
        add(C::SetThermalCapacity, "SetThermalCapacity", app, terminal,
            {u8("Phase"), f32("Value")});
        add(C::ExternalFlashGetDeviceID, "ExternalFlashGetDeviceID", app, terminal);
        add(C::AnalogSignalsGetInputStatus, "AnalogSignalsGetInputStatus", app, terminal,
            {u8("Index")});
        add(C::MosfetMonitorGetState, "MosfetMonitorGetState", app, terminal);
        add(C::DeviceProtectionGetDCProtection, "DeviceProtectionGetDCProtection", app, terminal);
        add(C::DeviceProtectionSetDCProtection, "DeviceProtectionSetDCProtection", app, terminal,
            {u8("Value")});
    }
}

QList<TerminalCommandItem*> TerminalCommandCatalogue::filter(
    const QByteArray& platformState, const QByteArray& displayState) const
{
    QList<TerminalCommandItem*> result;
    for (const auto& item : m_items) {
        const T destination = item->getDestination();
        if (destination != T::Platform && destination != T::Display)
            continue;
        const QByteArray& state = destination == T::Platform ? platformState : displayState;
        if (item->isOfferedIn(state))
            result.append(new TerminalCommandItem(*item));
    }
    return result;
}

} // namespace Application::R58
