// The device screen's demo page: puts the device into chosen operating, warning and error
// states; the device's reports of them then drive the information page as in normal use.

#include "model/modeldatabase.h"
#include "model/modeltypes.h"
#include "ui/r58subscreen.h"
#include "ui_r58subscreen.h"
#include "ui_r58subscreen_demo.h"

#include <QComboBox>

#include <array>

using FaultType = Model::Interfaces::ModelTypes::Fault::Type;
using OperationMode = Model::Interfaces::ModelTypes::Operation::Mode;

namespace {

struct DemoEntry
{
    const char* text;
    int value;
};

// The entries in list order and the model value each stands for.
constexpr std::array<DemoEntry, 4> OperationModeEntries {{
    {QT_TRANSLATE_NOOP("R58SubScreen", "Idle"), 0},
    {QT_TRANSLATE_NOOP("R58SubScreen", "Forward"), 1},
    {QT_TRANSLATE_NOOP("R58SubScreen", "Backward"), 2},
    {QT_TRANSLATE_NOOP("R58SubScreen", "SafetyStop"), 3},
}};

constexpr std::array<DemoEntry, 12> WarningEntries {{
    {QT_TRANSLATE_NOOP("R58SubScreen", "DeviceOK"), 0},
    {QT_TRANSLATE_NOOP("R58SubScreen", "Overload"), 2},
    {QT_TRANSLATE_NOOP("R58SubScreen", "PhaseAsymmetry"), 3},
    {QT_TRANSLATE_NOOP("R58SubScreen", "Undercurrent"), 5},
    {QT_TRANSLATE_NOOP("R58SubScreen", "SupplyLoss"), 6},
    {QT_TRANSLATE_NOOP("R58SubScreen", "UndervoltageSupply"), 7},
    {QT_TRANSLATE_NOOP("R58SubScreen", "OvervoltageSupply"), 8},
    {QT_TRANSLATE_NOOP("R58SubScreen", "Overtemperature"), 9},
    {QT_TRANSLATE_NOOP("R58SubScreen", "UndervoltageControl"), 10},
    {QT_TRANSLATE_NOOP("R58SubScreen", "OvervoltageControl"), 11},
    {QT_TRANSLATE_NOOP("R58SubScreen", "SecurityClearance"), 14},
    {QT_TRANSLATE_NOOP("R58SubScreen", "SwitchingFrequency"), 15},
}};

constexpr std::array<DemoEntry, 11> ErrorEntries {{
    {QT_TRANSLATE_NOOP("R58SubScreen", "DeviceOK"), 0},
    {QT_TRANSLATE_NOOP("R58SubScreen", "ShortCircuit"), 1},
    {QT_TRANSLATE_NOOP("R58SubScreen", "Overload"), 2},
    {QT_TRANSLATE_NOOP("R58SubScreen", "DeviceError"), 12},
    {QT_TRANSLATE_NOOP("R58SubScreen", "PhaseAsymmetry"), 3},
    {QT_TRANSLATE_NOOP("R58SubScreen", "Undercurrent"), 5},
    {QT_TRANSLATE_NOOP("R58SubScreen", "UndervoltageSupply"), 7},
    {QT_TRANSLATE_NOOP("R58SubScreen", "OvervoltageSupply"), 8},
    {QT_TRANSLATE_NOOP("R58SubScreen", "Overtemperature"), 9},
    {QT_TRANSLATE_NOOP("R58SubScreen", "UndervoltageControl"), 10},
    {QT_TRANSLATE_NOOP("R58SubScreen", "OvervoltageControl"), 11},
}};

template <std::size_t N> void fill(QComboBox* list, const std::array<DemoEntry, N>& entries)
{
    list->clear();
    for (const DemoEntry& entry : entries)
        list->addItem(R58SubScreen::tr(entry.text));
    list->setCurrentIndex(0);
}

// Any other position (an empty list) stands for 0.
template <std::size_t N> int valueOf(const QComboBox* list, const std::array<DemoEntry, N>& entries)
{
    const int index = list->currentIndex();
    return index >= 0 && std::size_t(index) < N ? entries[std::size_t(index)].value : 0;
}

// Stores the value in the mirror and sends it to the device.
template <typename Value, typename T> void write(Value& value, T content)
{
    value.setValue(content);
    value.transmit();
}

} // namespace

void R58SubScreen::DemoFormDeleter::operator()(Ui::R58SubScreenDemo* form) const
{
    delete form;
}

void R58SubScreen::setupDemoForm()
{
    m_uiDemo.reset(new Ui::R58SubScreenDemo);
    m_uiDemo->setupUi(m_ui->pageDemoMode);
}

void R58SubScreen::setupDemoMode()
{
    if (!m_uiDemo)
        setupDemoForm();
    connect(m_uiDemo->pushButtonShowOperationMode, &QPushButton::clicked, this,
        &R58SubScreen::handleDemoModeExecutionOperationMode, Qt::UniqueConnection);
    connect(m_uiDemo->pushButtonShowWarning, &QPushButton::clicked, this,
        &R58SubScreen::handleDemoModeExecutionWarning, Qt::UniqueConnection);
    connect(m_uiDemo->pushButtonShowError, &QPushButton::clicked, this,
        &R58SubScreen::handleDemoModeExecutionError, Qt::UniqueConnection);
    fill(m_uiDemo->comboBoxOperationMode, OperationModeEntries);
    fill(m_uiDemo->comboBoxWarning, WarningEntries);
    fill(m_uiDemo->comboBoxError, ErrorEntries);
}

void R58SubScreen::handleDemoModeExecutionOperationMode()
{
    auto& faults = getModelDatabase()->getFaults();
    write(faults.getWarningValue(), FaultType::DeviceOK);
    write(faults.getErrorValue(), FaultType::DeviceOK);
    write(getModelDatabase()->getOperation().getOperatingModeValue(),
        OperationMode(valueOf(m_uiDemo->comboBoxOperationMode, OperationModeEntries)));
}

void R58SubScreen::handleDemoModeExecutionWarning()
{
    auto& faults = getModelDatabase()->getFaults();
    write(faults.getErrorValue(), FaultType::DeviceOK);
    write(faults.getWarningValue(), FaultType(valueOf(m_uiDemo->comboBoxWarning, WarningEntries)));
}

void R58SubScreen::handleDemoModeExecutionError()
{
    auto& faults = getModelDatabase()->getFaults();
    write(faults.getWarningValue(), FaultType::DeviceOK);
    write(faults.getErrorValue(), FaultType(valueOf(m_uiDemo->comboBoxError, ErrorEntries)));
}
