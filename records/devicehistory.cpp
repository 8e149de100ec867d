#include "records/devicehistory.h"

#include "app/application.h"
#include "config/settingsmapper.h"
#include "link/serialport.h"
#include "link/serialportmanager.h"
#include "link/talolinkterminalservice.h"
#include "model/modeldatabase.h"
#include "model/modelvalueid.h"
#include "records/displaynames.h"
#include "records/faultstate.h"
#include "records/recordlocations.h"
#include "update/packageupdateservice.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QTimer>

namespace Records {

using Application::R58::SettingKey;
using Application::R58::SettingsMapper;
using Service::R58::PackageUpdateService;
using Service::R58::TaloLinkTerminalService;

namespace {

// The file's forms of the texts, in English; displayText() gives each in the user's words.
const QString WrittenForm = QStringLiteral("%1: %2 → %3");
const QString NotAppliedForm = QStringLiteral("%1: %2 was written, the device holds %3");
const QString UnconfirmedForm = QStringLiteral("%1: %2 was written, the device did not confirm it");
const QString PackageForm = QStringLiteral("Package %1");
const QString CommandLineMark = QStringLiteral(" (command line)");

QString recordName(SettingKey key)
{
    return SettingsMapper::name(key, SettingsMapper::Wording::Record);
}

// A setting's event from the file's form: "<name>: <rest>" with the name and the values in
// the user's words; empty when the text is not of that form.
QString displaySetting(const QString& kind, const QString& text)
{
    const int colon = text.indexOf(QStringLiteral(": "));
    const auto key = SettingsMapper::keyOfRecordName(text.left(colon));
    if (colon < 0 || !key)
        return {};
    const QString rest = text.mid(colon + 2);
    const QString name = SettingsMapper::name(*key);
    const auto value = [key](const QString& recordText) {
        return SettingsMapper::displayText(*key, recordText);
    };
    if (kind == DeviceHistory::Setting) {
        const QStringList values = rest.split(QStringLiteral(" → "));
        if (values.size() == 2)
            return DeviceHistory::tr("%1: %2 → %3").arg(name, value(values[0]), value(values[1]));
        return {};
    }
    const QString unconfirmed = QStringLiteral(" was written, the device did not confirm it");
    if (rest.endsWith(unconfirmed)) {
        return DeviceHistory::tr("%1: %2 was written, the device did not confirm it")
            .arg(name, value(rest.chopped(unconfirmed.size())));
    }
    const QStringList values = rest.split(QStringLiteral(" was written, the device holds "));
    if (values.size() == 2) {
        return DeviceHistory::tr("%1: %2 was written, the device holds %3")
            .arg(name, value(values[0]), value(values[1]));
    }
    return {};
}

} // namespace

const QString DeviceHistory::Connected = QStringLiteral("connected");
const QString DeviceHistory::Lost = QStringLiteral("lost");
const QString DeviceHistory::Error = QStringLiteral("error");
const QString DeviceHistory::Warning = QStringLiteral("warning");
const QString DeviceHistory::Cleared = QStringLiteral("cleared");
const QString DeviceHistory::Mode = QStringLiteral("mode");
const QString DeviceHistory::Setting = QStringLiteral("setting");
const QString DeviceHistory::SettingNotApplied = QStringLiteral("setting not applied");
const QString DeviceHistory::Import = QStringLiteral("import");
const QString DeviceHistory::Reset = QStringLiteral("factory reset");
const QString DeviceHistory::UpdateStarted = QStringLiteral("update started");
const QString DeviceHistory::UpdateFinished = QStringLiteral("update finished");
const QString DeviceHistory::UpdateFailed = QStringLiteral("update failed");

DeviceHistory::DeviceHistory(Application::R58::Application& device, QObject* parent)
    : QObject(parent),
      m_device(device),
      m_portName(device.getSerialPort() ? device.getSerialPort()->getPortName() : QString()),
      // Until the device tells its serial number the events are kept in memory only.
      m_history(std::make_unique<EventHistory>(QString())),
      m_faultSettle(new QTimer(this))
{
    m_faultSettle->setSingleShot(true);
    m_faultSettle->setInterval(FaultReportSettle);
    connect(m_faultSettle, &QTimer::timeout, this, &DeviceHistory::noteFault);

    TaloLinkTerminalService* service = device.getTerminalService().data();
    using S = TaloLinkTerminalService;
    connect(service, &S::serialNumberModelValue, this, &DeviceHistory::openFile);
    connect(service, &S::faultTypeModelValue, this, [this] { m_faultSettle->start(); });
    connect(service, &S::faultPhaseModelValue, this, [this] {
        // The phase completes a fault being reported; on its own it changes nothing.
        if (m_faultSettle->isActive()) {
            m_faultSettle->stop();
            noteFault();
        }
    });
    connect(service, &S::operatingModeModelValue, this, &DeviceHistory::noteMode);

    // The port by its short name (ttyACM0), as the connect screen lists it.
    const QString port = QFileInfo(m_portName).fileName();
    if (device.getSerialPort())
        add(Connected, port);
    if (const auto& manager = device.getSerialPortManager()) {
        using M = Application::R58::SerialPortManager;
        connect(manager.data(), &M::portOpened, this, [this, port](const QString& name) {
            if (name == m_portName)
                add(Connected, port);
        });
        connect(manager.data(), &M::portClosed, this, [this, port](const QString& name) {
            if (name == m_portName)
                add(Lost, port);
        });
    }

    // What the device reports by itself is only noted as known; each value frame the tool
    // sends is a write, logged with its outcome when the device next reports that value (its
    // answer to the read-back, or its echo of the write).
    const SettingsMapper mapper(device.getModelDatabase()->getSettings());
    for (const SettingKey key : SettingsMapper::keys())
        m_knownSettings.insert(
            int(SettingsMapper::valueId(key)), mapper.deviceText(key, SettingsMapper::Wording::Record));
    using Model::Interfaces::ModelValueID;
    const std::pair<ModelValueID, void (S::*)()> reports[] {
        {ModelValueID::NominalCurrent, &S::nominalCurrentModelValue},
        {ModelValueID::TripClass, &S::tripClassModelValue},
        {ModelValueID::SoftstartEnable, &S::softstartEnableModelValue},
        {ModelValueID::OverloadReset, &S::overloadResetModelValue},
        {ModelValueID::UndercurrentThreshold, &S::undercurrentThresholdModelValue},
        {ModelValueID::UndercurrentFaultType, &S::undercurrentFaultTypeModelValue},
        {ModelValueID::UndercurrentEnable, &S::undercurrentEnableModelValue},
        {ModelValueID::UndervoltageThreshold, &S::undervoltageThresholdModelValue},
        {ModelValueID::UndervoltageFaultType, &S::undervoltageFaultTypeModelValue},
        {ModelValueID::UndervoltageEnable, &S::undervoltageEnableModelValue},
        {ModelValueID::OvervoltageThreshold, &S::overvoltageThresholdModelValue},
        {ModelValueID::OvervoltageFaultType, &S::overvoltageFaultTypeModelValue},
        {ModelValueID::OvervoltageEnable, &S::overvoltageEnableModelValue},
        {ModelValueID::LoadAsymmetryThreshold, &S::loadAsymmetryThresholdModelValue},
        {ModelValueID::LoadAsymmetryFaultType, &S::loadAsymmetryFaultTypeModelValue},
        {ModelValueID::LoadAsymmetryEnable, &S::loadAsymmetryEnableModelValue},
    };
    for (const auto& [id, report] : reports)
        connect(service, report, this, [this, id = int(id)] { noteReported(id); });
    m_writeWait = new QTimer(this);
    m_writeWait->setSingleShot(true);
    connect(m_writeWait, &QTimer::timeout, this, &DeviceHistory::noteUnanswered);
    if (const auto& serialPort = device.getSerialPort()) {
        connect(serialPort.data(), &Application::R58::SerialPort::dataTransmitted, this,
            &DeviceHistory::noteTransmitted);
    }

    PackageUpdateService* update = device.getPackageUpdateService().data();
    connect(update, &PackageUpdateService::packageUpdateVersion, this,
        [this](const QString& version) { m_packageVersion = version; });
    connect(update, &PackageUpdateService::packageUpdateStarted, this, [this] {
        add(UpdateStarted, QStringLiteral("Package %1").arg(m_packageVersion));
    });
    connect(update, &PackageUpdateService::packageUpdateFinished, this, [this] {
        add(UpdateFinished, QStringLiteral("Package %1").arg(m_packageVersion));
    });
    connect(update, &PackageUpdateService::packageUpdateErrorOccured, this,
        [this](const QString& text) { add(UpdateFailed, text); });

    // Made for a link that runs already: the device has told its serial number before.
    if (service->hasReported(Model::Interfaces::ModelValueID::SerialNumber))
        openFile();
}

DeviceHistory::~DeviceHistory() = default;

QString DeviceHistory::kindText(const QString& kind)
{
    static const QList<QPair<QString, const char*>> names {
        {Connected, QT_TRANSLATE_NOOP("Records::DeviceHistory", "Connected")},
        {Lost, QT_TRANSLATE_NOOP("Records::DeviceHistory", "Connection lost")},
        {Error, QT_TRANSLATE_NOOP("Records::DeviceHistory", "Error")},
        {Warning, QT_TRANSLATE_NOOP("Records::DeviceHistory", "Warning")},
        {Cleared, QT_TRANSLATE_NOOP("Records::DeviceHistory", "Fault cleared")},
        {Mode, QT_TRANSLATE_NOOP("Records::DeviceHistory", "Operating mode")},
        {Setting, QT_TRANSLATE_NOOP("Records::DeviceHistory", "Setting written")},
        {SettingNotApplied, QT_TRANSLATE_NOOP("Records::DeviceHistory", "Setting not applied")},
        {Import, QT_TRANSLATE_NOOP("Records::DeviceHistory", "Settings imported")},
        {Reset, QT_TRANSLATE_NOOP("Records::DeviceHistory", "Factory reset")},
        {UpdateStarted, QT_TRANSLATE_NOOP("Records::DeviceHistory", "Update started")},
        {UpdateFinished, QT_TRANSLATE_NOOP("Records::DeviceHistory", "Update finished")},
        {UpdateFailed, QT_TRANSLATE_NOOP("Records::DeviceHistory", "Update failed")}};
    for (const auto& name : names) {
        if (name.first == kind)
            return tr(name.second);
    }
    return kind;
}

QString DeviceHistory::displayText(const Event& event)
{
    QString text = event.text;
    const bool byCommandLine = text.endsWith(CommandLineMark);
    if (byCommandLine)
        text.chop(CommandLineMark.size());
    QString shown;
    if (event.kind == Mode) {
        shown = DisplayNames::operatingMode(text);
    } else if (event.kind == Error || event.kind == Warning) {
        shown = DisplayNames::fault(text);
    } else if (event.kind == Setting || event.kind == SettingNotApplied) {
        shown = displaySetting(event.kind, text);
    } else if ((event.kind == UpdateStarted || event.kind == UpdateFinished)
        && text.startsWith(PackageForm.left(PackageForm.size() - 2))) {
        shown = tr("Package %1").arg(text.mid(PackageForm.size() - 2));
    }
    if (shown.isEmpty())
        shown = text;
    return byCommandLine ? tr("%1 (command line)").arg(shown) : shown;
}

void DeviceHistory::add(const QString& kind, const QString& text)
{
    // What the device reports is the device's, whoever listens; what is done to it is
    // someone's act, and the history says whose when it was not the windows'.
    const bool act = kind == Setting || kind == SettingNotApplied || kind == Import || kind == Reset
        || kind == UpdateStarted
        || kind == UpdateFinished || kind == UpdateFailed;
    const bool written = m_history->add(kind,
        act && m_origin == Origin::CommandLine ? text + CommandLineMark : text);
    emit eventAdded(m_history->events().last());
    if (!written)
        emit writeFailed(failureText());
}

QString DeviceHistory::failureText() const
{
    return tr("The history cannot be kept: %1 could not be written (%2).")
        .arg(QDir::toNativeSeparators(m_history->path()), m_history->errorString());
}

void DeviceHistory::openFile()
{
    const QString serial
        = m_device.getModelDatabase()->getInformation().getSerialNumberValue().toString();
    const QString path = EventHistory::fileFor(RecordLocations::historyFolder(), serial);
    if (serial.trimmed().isEmpty() || path == m_history->path())
        return;
    // What happened before the serial number was known belongs to this device.
    const QList<Event> early = m_history->path().isEmpty() ? m_history->events() : QList<Event>();
    m_history = std::make_unique<EventHistory>(path);
    bool written = true;
    for (const Event& event : early)
        written &= m_history->add(event.kind, event.text, event.time);
    emit eventsReplaced();
    if (!written)
        emit writeFailed(failureText());
}

void DeviceHistory::noteFault()
{
    const FaultState state = FaultState::fromModel(*m_device.getModelDatabase());
    const QString kind = state.kind == FaultState::Kind::Error ? Error
        : state.kind == FaultState::Kind::Warning             ? Warning
                                                              : Cleared;
    if (kind == Cleared && m_lastFault.isEmpty())
        return;
    const QString text = kind == Cleared ? QString() : state.summary();
    const QString key = kind + text;
    if (key == m_lastFault)
        return;
    m_lastFault = kind == Cleared ? QString() : key;
    add(kind, text);
}

void DeviceHistory::noteMode()
{
    // The device's own name of the mode, as the file keeps the device's words.
    const QString text = m_device.getModelDatabase()->getOperation().getOperatingModeValue().toString();
    if (text.isEmpty() || text == m_lastMode)
        return;
    m_lastMode = text;
    add(Mode, text);
}

void DeviceHistory::noteTransmitted(const QByteArray& frame)
{
    const auto key = SettingsMapper::keyOfWrite(frame);
    if (!key)
        return;
    const int id = int(SettingsMapper::valueId(*key));
    // The model holds the sent value as it goes out.
    const double written
        = SettingsMapper(m_device.getModelDatabase()->getSettings()).deviceValue(*key);
    m_pendingWrites.insert(id, {m_knownSettings.value(id), written, QDateTime::currentMSecsSinceEpoch()});
    if (!m_writeWait->isActive())
        m_writeWait->start(WriteAnswerWait);
}

void DeviceHistory::noteReported(int id)
{
    const auto key = SettingsMapper::keyOf(Model::Interfaces::ModelValueID(id));
    if (!key)
        return;
    const QString held = SettingsMapper(m_device.getModelDatabase()->getSettings())
                             .deviceText(*key, SettingsMapper::Wording::Record);
    m_knownSettings[id] = held;
    if (!m_pendingWrites.contains(id))
        return;
    const PendingWrite write = m_pendingWrites.take(id);
    const QString writtenText = SettingsMapper::text(*key, write.written, SettingsMapper::Wording::Record);
    const double heldValue
        = SettingsMapper(m_device.getModelDatabase()->getSettings()).deviceValue(*key);
    if (SettingsMapper::sameValue(*key, write.written, heldValue)) {
        // A write of the value the device held already changed nothing worth a line.
        if (writtenText != write.before)
            add(Setting, WrittenForm.arg(recordName(*key), write.before, held));
        return;
    }
    add(SettingNotApplied, NotAppliedForm.arg(recordName(*key), writtenText, held));
}

void DeviceHistory::noteUnanswered()
{
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    for (auto pending = m_pendingWrites.begin(); pending != m_pendingWrites.end();) {
        if (now - pending->time < WriteAnswerWait) {
            ++pending;
            continue;
        }
        const auto key = SettingsMapper::keyOf(Model::Interfaces::ModelValueID(pending.key()));
        if (key) {
            add(SettingNotApplied,
                UnconfirmedForm.arg(recordName(*key),
                    SettingsMapper::text(*key, pending->written, SettingsMapper::Wording::Record)));
        }
        pending = m_pendingWrites.erase(pending);
    }
    if (!m_pendingWrites.isEmpty())
        m_writeWait->start(WriteAnswerWait);
}

} // namespace Records
