#include "update/deviceupdate.h"

#include "app/application.h"
#include "config/settings.h"
#include "config/settingsmapper.h"
#include "link/serialport.h"
#include "link/talolinkterminalservice.h"
#include "model/modeldatabase.h"
#include "model/modelvalueid.h"
#include "records/settingsbackups.h"
#include "update/packageupdateservice.h"
#include "update/updatepolicy.h"

namespace Service::R58 {

using Application::R58::SettingKey;
using Application::R58::SettingsMapper;
using Application::R58::SettingsVerifier;
using Model::Interfaces::ModelValueID;

DeviceUpdate::DeviceUpdate(
    Application::R58::Application& device, Application::R58::UserAccount::User role, QObject* parent)
    : QObject(parent),
      m_device(device),
      m_role(role),
      m_packager(device.getPackageUpdateService().data())
{
    m_result.port = device.getSerialPort() ? device.getSerialPort()->getPortName() : QString();
    connect(m_packager, &PackageUpdateService::packageUpdateErrorOccured, this,
        &DeviceUpdate::handleError);
    connect(m_packager, &PackageUpdateService::packageUpdateStarted, this,
        [this] { m_started = true; });
    connect(m_packager, &PackageUpdateService::packageUpdateProgressChanged, this,
        [this](int percent) {
            if (m_running)
                emit progressChanged(percent);
        });
    connect(m_packager, &PackageUpdateService::packageUpdateFinished, this,
        &DeviceUpdate::handleFinished);
}

QString DeviceUpdate::platformVersion() const
{
    if (!m_device.getTerminalService()->hasReported(ModelValueID::PlatformVersion))
        return {};
    return m_device.getModelDatabase()->getInformation().getPlatformVersionValue().toString();
}

bool DeviceUpdate::check(const QString& packagePath)
{
    auto& model = *m_device.getModelDatabase();
    const auto& link = *m_device.getTerminalService();
    m_result.serialNumber = link.hasReported(ModelValueID::SerialNumber)
        ? model.getInformation().getSerialNumberValue().toString().trimmed()
        : QString();
    m_result.before = platformVersion();
    m_result.outcome = Outcome::Pending;
    m_result.message.clear();

    // Opening reports a damaged or unreadable package at once, through the error signal.
    m_openError.clear();
    m_packager->openArchive(packagePath);
    if (m_packager->getUpdateState() != PackageUpdateService::Opened) {
        m_result.outcome = Outcome::Refused;
        m_result.message = m_openError;
        return false;
    }
    const auto installed = link.hasReported(ModelValueID::PlatformVersion)
        ? std::optional<std::uint32_t>(model.getInformation().getPlatformVersionValue().getValue())
        : std::nullopt;
    const auto mode = link.hasReported(ModelValueID::OperatingMode)
        ? std::optional<UpdatePolicy::Mode>(model.getOperation().getOperatingModeValue().getValue())
        : std::nullopt;
    const auto verdict
        = UpdatePolicy::judge(m_role, installed, m_packager->getPlatformVersion(), mode);
    if (verdict != UpdatePolicy::Verdict::Allowed) {
        m_result.outcome = Outcome::Refused;
        m_result.message = UpdatePolicy::text(verdict);
        return false;
    }
    return true;
}

void DeviceUpdate::start()
{
    if (m_running || m_result.outcome != Outcome::Pending)
        return;
    m_running = true;
    m_started = false;
    m_clock.start();

    // Kept before the firmware changes: an update may bring the settings back to their defaults,
    // and afterwards the device is asked for each of them.
    const auto& link = *m_device.getTerminalService();
    const SettingsMapper mapper(m_device.getModelDatabase()->getSettings());
    m_held.clear();
    for (const SettingKey key : SettingsMapper::keys()) {
        if (!link.hasReported(SettingsMapper::valueId(key)))
            continue;
        SettingsVerifier::Outcome held;
        held.key = key;
        held.written = mapper.deviceValue(key);
        m_held << held;
    }
    QString error;
    if (m_result.serialNumber.isEmpty()
        || Records::SettingsBackups()
               .save(mapper.deviceSettings(true), m_result.serialNumber,
                   Records::SettingsBackups::Reason::Update, &error)
               .isEmpty()) {
        end(Outcome::Failed,
            tr("The update was not started: the device's settings could not be backed up (%1).")
                .arg(error.isEmpty() ? tr("no serial number reported") : error));
        return;
    }
    m_packager->start();
}

void DeviceUpdate::handleError(const QString& text)
{
    if (!m_running) {
        m_openError = text;
        return;
    }
    // A package whose images fail their checks is refused before the device is told anything.
    end(m_started ? Outcome::Failed : Outcome::Refused, text);
}

void DeviceUpdate::handleFinished()
{
    if (!m_running)
        return;
    m_result.after = platformVersion();
    if (!m_verifier) {
        m_verifier = new SettingsVerifier(m_device, this);
        connect(m_verifier, &SettingsVerifier::finished, this, &DeviceUpdate::handleVerified);
    }
    m_verifier->setWait(m_verifyWait);
    m_verifier->verify(m_held);
}

void DeviceUpdate::handleVerified(const QList<SettingsVerifier::Outcome>& outcomes)
{
    QStringList changed;
    for (const SettingsVerifier::Outcome& outcome : outcomes) {
        if (outcome.confirmed())
            continue;
        const QString before = SettingsMapper::text(outcome.key, outcome.written);
        changed << (outcome.held
                ? tr("%1: %2 before the update, %3 after it.")
                      .arg(SettingsMapper::name(outcome.key), before,
                          SettingsMapper::text(outcome.key, *outcome.held))
                : tr("%1: %2 before the update; the device did not answer when asked for it.")
                      .arg(SettingsMapper::name(outcome.key), before));
    }
    if (changed.isEmpty())
        end(Outcome::Updated, {});
    else
        end(Outcome::SettingsChanged, changed.join(QLatin1Char('\n')));
}

void DeviceUpdate::end(Outcome outcome, const QString& message)
{
    m_running = false;
    m_result.outcome = outcome;
    m_result.message = message;
    m_result.milliseconds = m_clock.elapsed();
    if (m_result.after.isEmpty())
        m_result.after = platformVersion();
    emit finished(m_result);
}

QString DeviceUpdate::outcomeText(Outcome outcome)
{
    switch (outcome) {
    case Outcome::Pending:
        return tr("waiting");
    case Outcome::Refused:
        return tr("refused");
    case Outcome::Failed:
        return tr("failed");
    case Outcome::Updated:
        return tr("updated");
    case Outcome::SettingsChanged:
        return tr("updated, settings changed");
    }
    return {};
}

} // namespace Service::R58
