// The device screen's event history: what the device reported (connection, faults, operating
// modes) and what was done to it (settings written, imported, reset, updates), kept per serial
// number across sessions and shown newest first on the information page. Everything is taken
// from signals the pages already have; the pages themselves are not changed for it.

#include "config/settingscomparison.h"
#include "link/serialport.h"
#include "link/serialportmanager.h"
#include "link/talolinkpacket.h"
#include "link/talolinkterminalservice.h"
#include "model/eventhistory.h"
#include "model/modeldatabase.h"
#include "ui/r58subscreen.h"
#include "ui_r58subscreen.h"
#include "ui_r58subscreen_configuration.h"
#include "ui_r58subscreen_control.h"
#include "ui_r58subscreen_information.h"
#include "update/packageupdateservice.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QMap>
#include <QStandardPaths>
#include <QStyle>
#include <QTreeWidget>

using Component::Interfaces::TaloLinkCommandID;
using Component::Interfaces::TaloLinkPacket;
using Model::History::Event;
using Model::History::EventHistory;
using Service::R58::PackageUpdateService;
using Service::R58::TaloLinkTerminalService;
using FaultType = Model::Interfaces::ModelTypes::Fault::Type;
using OperationMode = Model::Interfaces::ModelTypes::Operation::Mode;

namespace {

// The kinds of event, as the file keeps them (never translated, so that a file reads the same
// in every language).
namespace Kind {
const QString Connected = QStringLiteral("connected");
const QString Lost = QStringLiteral("lost");
const QString Error = QStringLiteral("error");
const QString Warning = QStringLiteral("warning");
const QString Cleared = QStringLiteral("cleared");
const QString Mode = QStringLiteral("mode");
const QString Setting = QStringLiteral("setting");
const QString Import = QStringLiteral("import");
const QString Reset = QStringLiteral("factory reset");
const QString UpdateStarted = QStringLiteral("update started");
const QString UpdateFinished = QStringLiteral("update finished");
const QString UpdateFailed = QStringLiteral("update failed");
} // namespace Kind

QString kindText(const QString& kind)
{
    static const QList<QPair<QString, const char*>> names {
        {Kind::Connected, QT_TRANSLATE_NOOP("R58SubScreen", "Connected")},
        {Kind::Lost, QT_TRANSLATE_NOOP("R58SubScreen", "Connection lost")},
        {Kind::Error, QT_TRANSLATE_NOOP("R58SubScreen", "Error")},
        {Kind::Warning, QT_TRANSLATE_NOOP("R58SubScreen", "Warning")},
        {Kind::Cleared, QT_TRANSLATE_NOOP("R58SubScreen", "Fault cleared")},
        {Kind::Mode, QT_TRANSLATE_NOOP("R58SubScreen", "Operating mode")},
        {Kind::Setting, QT_TRANSLATE_NOOP("R58SubScreen", "Setting written")},
        {Kind::Import, QT_TRANSLATE_NOOP("R58SubScreen", "Settings imported")},
        {Kind::Reset, QT_TRANSLATE_NOOP("R58SubScreen", "Factory reset")},
        {Kind::UpdateStarted, QT_TRANSLATE_NOOP("R58SubScreen", "Update started")},
        {Kind::UpdateFinished, QT_TRANSLATE_NOOP("R58SubScreen", "Update finished")},
        {Kind::UpdateFailed, QT_TRANSLATE_NOOP("R58SubScreen", "Update failed")}};
    for (const auto& name : names) {
        if (name.first == kind)
            return R58SubScreen::tr(name.second);
    }
    return kind;
}

void showHistoryEvent(QTreeWidget* list, const Event& event)
{
    auto* item = new QTreeWidgetItem(
        {QDateTime::fromMSecsSinceEpoch(event.time).toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")),
            kindText(event.kind), event.text});
    item->setToolTip(2, event.text);
    list->insertTopLevelItem(0, item);
}

} // namespace

QMap<int, QPair<QString, QString>> R58SubScreen::currentSettings()
{
    // In the comparison's words, so that a value reads the same in the history, the comparison
    // and the report, and a change in the second decimal shows.
    using Text = ::Application::R58::SettingsComparison;
    auto& settings = getModelDatabase()->getSettings();
    QMap<int, QPair<QString, QString>> texts;
    const auto put = [&texts](const Model::Interfaces::ModelValueIntf& value, const QString& name,
                         const QString& text) {
        texts.insert(int(value.getID()), {name, text});
    };
    const auto number = [&put](const auto& value, const QString& name, const char* unit) {
        put(value, name, Text::numberText(value.getValue(), unit));
    };
    const auto onOff = [&put](const auto& value, const QString& name) {
        put(value, name, Text::onOffText(value.getValue()));
    };
    const auto faultType = [&put](const auto& value, const QString& name) {
        put(value, name, Text::faultTypeText(value.getValue()));
    };
    number(settings.getNominalCurrentValue(), tr("Nominal current"), "A");
    put(settings.getTripClassValue(), tr("Trip Class"),
        Text::tripClassText(settings.getTripClassValue().getValue()));
    onOff(settings.getOverloadResetValue(), tr("Overload reset"));
    onOff(settings.getSoftstartEnableValue(), tr("Softstart"));
    onOff(settings.getUndercurrentEnableValue(), tr("Undercurrent monitoring"));
    number(settings.getUndercurrentThresholdValue(), tr("Undercurrent threshold"), "A");
    faultType(settings.getUndercurrentFaultValue(), tr("Undercurrent fault type"));
    onOff(settings.getUndervoltageEnableValue(), tr("Undervoltage monitoring"));
    number(settings.getUndervoltageThresholdValue(), tr("Undervoltage threshold"), "V");
    faultType(settings.getUndervoltageFaultValue(), tr("Undervoltage fault type"));
    onOff(settings.getOvervoltageEnableValue(), tr("Overvoltage monitoring"));
    number(settings.getOvervoltageThresholdValue(), tr("Overvoltage threshold"), "V");
    faultType(settings.getOvervoltageFaultValue(), tr("Overvoltage fault type"));
    onOff(settings.getLoadAsymmetryEnableValue(), tr("Phase asymmetry monitoring"));
    number(settings.getLoadAsymmetryThresholdValue(), tr("Phase asymmetry threshold"), "A");
    faultType(settings.getLoadAsymmetryFaultValue(), tr("Phase asymmetry fault type"));
    return texts;
}

void R58SubScreen::setupHistory()
{
    // Until the device tells its serial number the events are kept in memory only.
    m_history = std::make_unique<EventHistory>(QString());
    auto* list = m_uiInformation->treeWidgetHistory;
    list->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    list->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    list->header()->setStretchLastSection(true);
    connect(m_uiInformation->pushButtonExportHistory, &QPushButton::clicked, this,
        &R58SubScreen::handleExportHistory);

    TaloLinkTerminalService* service = getTerminalService().data();
    connect(service, &TaloLinkTerminalService::serialNumberModelValue, this, [this] {
        openHistory(getModelDatabase()->getInformation().getSerialNumberValue().toString());
    });

    // Connection.
    // The port by its short name (ttyACM0), as the connect screen lists it.
    const QString port = QFileInfo(m_portName).fileName();
    if (getSerialPort())
        addHistoryEntry(Kind::Connected, port);
    if (const auto& manager = getSerialPortManager()) {
        using M = ::Application::R58::SerialPortManager;
        connect(manager.data(), &M::portOpened, this, [this, port](const QString& name) {
            if (name == m_portName)
                addHistoryEntry(Kind::Connected, port);
        });
        connect(manager.data(), &M::portClosed, this, [this, port](const QString& name) {
            if (name == m_portName)
                addHistoryEntry(Kind::Lost, port);
        });
    }

    // Faults and operating modes, in the words the information page has just shown them in.
    connect(service, &TaloLinkTerminalService::faultTypeModelValue, this, [this] {
        auto& faults = getModelDatabase()->getFaults();
        const bool error = faults.getErrorValue().getValue() != FaultType::DeviceOK;
        const bool warning = faults.getWarningValue().getValue() != FaultType::DeviceOK;
        QString text = m_uiInformation->labelFaultInfo->text().simplified();
        const QString code = m_uiInformation->labelFaultCode->text().simplified();
        if (!code.isEmpty())
            text = code + QStringLiteral(": ") + text;
        const QString kind = error ? Kind::Error : warning ? Kind::Warning : Kind::Cleared;
        if (kind == Kind::Cleared && m_lastFaultText.isEmpty())
            return;
        const QString key = kind + text;
        if (key == m_lastFaultText)
            return;
        m_lastFaultText = kind == Kind::Cleared ? QString() : key;
        addHistoryEntry(kind, kind == Kind::Cleared ? QString() : text);
    });
    connect(service, &TaloLinkTerminalService::operatingModeModelValue, this, [this] {
        QString text;
        switch (getModelDatabase()->getOperation().getOperatingModeValue().getValue()) {
        case OperationMode::Idle:
            text = tr("Idle");
            break;
        case OperationMode::Forward:
            text = tr("Forward");
            break;
        case OperationMode::Backward:
            text = tr("Backward");
            break;
        case OperationMode::SafetyStop:
            text = tr("Safety stop");
            break;
        }
        if (text.isEmpty() || text == m_lastModeText)
            return;
        m_lastModeText = text;
        addHistoryEntry(Kind::Mode, text);
    });

    // Settings the user wrote: each value frame the tool sends is one, and the model holds the
    // sent value as it goes out. What the device reports by itself is only noted as known.
    m_knownSettings = currentSettings();
    using S = TaloLinkTerminalService;
    for (const auto report : {&S::nominalCurrentModelValue, &S::tripClassModelValue,
             &S::softstartEnableModelValue, &S::overloadResetModelValue,
             &S::undercurrentThresholdModelValue, &S::undercurrentFaultTypeModelValue,
             &S::undercurrentEnableModelValue, &S::undervoltageThresholdModelValue,
             &S::undervoltageFaultTypeModelValue, &S::undervoltageEnableModelValue,
             &S::overvoltageThresholdModelValue, &S::overvoltageFaultTypeModelValue,
             &S::overvoltageEnableModelValue, &S::loadAsymmetryThresholdModelValue,
             &S::loadAsymmetryFaultTypeModelValue, &S::loadAsymmetryEnableModelValue})
        connect(service, report, this, [this] { m_knownSettings = currentSettings(); });
    if (const auto& port = getSerialPort()) {
        connect(port.data(), &::Application::R58::SerialPort::dataTransmitted, this,
            [this](const QByteArray& frame) {
                const TaloLinkPacket packet = TaloLinkPacket::decode(frame);
                if (packet.command != TaloLinkCommandID::SetModelValue || packet.args.empty())
                    return;
                int id = 0;
                for (int i = packet.args[0].length - 1; i >= 0; --i)
                    id = id << 8 | packet.args[0].data[i];
                noteSettingWritten(id);
            });
    }

    // Updates of the whole package.
    PackageUpdateService* update = getPackageUpdateService().data();
    connect(update, &PackageUpdateService::packageUpdateVersion, this,
        [this](const QString& version) { m_historyPackageVersion = version; });
    connect(m_uiInformation->pushButtonStartPackageUpdate, &QPushButton::clicked, this, [this] {
        if (getPackageUpdateService()->isUpdating())
            addHistoryEntry(Kind::UpdateStarted, tr("Package %1").arg(m_historyPackageVersion));
    });
    connect(update, &PackageUpdateService::packageUpdateFinished, this, [this] {
        addHistoryEntry(Kind::UpdateFinished, tr("Package %1").arg(m_historyPackageVersion));
    });
    connect(update, &PackageUpdateService::packageUpdateErrorOccured, this,
        [this](const QString& text) { addHistoryEntry(Kind::UpdateFailed, text); });
}

void R58SubScreen::noteSettingWritten(int id)
{
    const QMap<int, QPair<QString, QString>> now = currentSettings();
    const auto written = now.constFind(id);
    if (written == now.constEnd())
        return;
    const QString before = m_knownSettings.value(id).second;
    if (written->second != before)
        addHistoryEntry(
            Kind::Setting, tr("%1: %2 → %3").arg(written->first, before, written->second));
    m_knownSettings[id] = *written;
}

void R58SubScreen::openHistory(const QString& serial)
{
    const QString folder = QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation))
                               .filePath(QStringLiteral("history"));
    const QString path = EventHistory::fileFor(folder, serial.trimmed());
    if (serial.trimmed().isEmpty() || path == m_history->path())
        return;
    // What happened before the serial number was known belongs to this device.
    const QList<Event> early = m_history->path().isEmpty() ? m_history->events() : QList<Event>();
    m_history = std::make_unique<EventHistory>(path);
    bool written = true;
    for (const Event& event : early)
        written &= m_history->add(event.kind, event.text, event.time);
    showHistory();
    if (!written)
        m_uiInformation->labelHistoryMessage->setText(
            tr("The history cannot be kept: %1 could not be written (%2).")
                .arg(QDir::toNativeSeparators(path), m_history->errorString()));
}

void R58SubScreen::addHistoryEntry(const QString& kind, const QString& text)
{
    if (!m_history)
        return;
    const bool written = m_history->add(kind, text);
    QTreeWidget* list = m_uiInformation->treeWidgetHistory;
    showHistoryEvent(list, m_history->events().last());
    while (list->topLevelItemCount() > m_history->events().size())
        delete list->takeTopLevelItem(list->topLevelItemCount() - 1);
    if (!written)
        m_uiInformation->labelHistoryMessage->setText(
            tr("The history cannot be kept: %1 could not be written (%2).")
                .arg(QDir::toNativeSeparators(m_history->path()), m_history->errorString()));
}

void R58SubScreen::showHistory()
{
    QTreeWidget* list = m_uiInformation->treeWidgetHistory;
    list->clear();
    for (const Event& event : m_history->events())
        showHistoryEvent(list, event);
}

void R58SubScreen::handleExportHistory()
{
    const QString suggested
        = QDir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation))
              .filePath(QStringLiteral("r58_history_%1.csv").arg(windowTitle().trimmed()));
    const QString path = askFileName(
        FileDialogMode::Save, tr("Export event history"), suggested, tr("CSV files (*.csv)"));
    if (path.isEmpty())
        return;
    QLabel* label = m_uiInformation->labelHistoryMessage;
    const bool exported = m_history->exportTo(path);
    label->setText(exported
            ? tr("Event history exported to %1.").arg(QDir::toNativeSeparators(path))
            : tr("%1 could not be written (%2). Nothing was exported.")
                  .arg(QDir::toNativeSeparators(path), m_history->errorString()));
    label->setProperty("failure", !exported);
    label->style()->unpolish(label);
    label->style()->polish(label);
}

void R58SubScreen::addImportToHistory(const QString& text)
{
    addHistoryEntry(Kind::Import, text);
}

void R58SubScreen::addFactoryResetToHistory(const QString& text)
{
    addHistoryEntry(Kind::Reset, text);
}
