#include "config/settingsverifier.h"

#include "app/application.h"
#include "link/serialport.h"
#include "link/talolinkterminalservice.h"
#include "link/talolinkusbcomponent.h"
#include "model/modeldatabase.h"
#include "model/modelvalueid.h"

#include <QCoreApplication>
#include <QTimer>

#include <algorithm>
#include <utility>

namespace Application::R58 {

using Service::R58::TaloLinkTerminalService;

SettingsVerifier::SettingsVerifier(Application& device, QObject* parent)
    : QObject(parent), m_device(device), m_timer(new QTimer(this))
{
    m_timer->setSingleShot(true);
    connect(m_timer, &QTimer::timeout, this, &SettingsVerifier::finish);

    // The device's answer to a read is the same report as when it tells a value by itself.
    using S = TaloLinkTerminalService;
    const std::pair<SettingKey, void (S::*)()> reports[] {
        {SettingKey::TripClass, &S::tripClassModelValue},
        {SettingKey::NominalCurrent, &S::nominalCurrentModelValue},
        {SettingKey::OverloadReset, &S::overloadResetModelValue},
        {SettingKey::UndercurrentEnable, &S::undercurrentEnableModelValue},
        {SettingKey::UndercurrentThreshold, &S::undercurrentThresholdModelValue},
        {SettingKey::UndercurrentFaultType, &S::undercurrentFaultTypeModelValue},
        {SettingKey::UndervoltageEnable, &S::undervoltageEnableModelValue},
        {SettingKey::UndervoltageThreshold, &S::undervoltageThresholdModelValue},
        {SettingKey::UndervoltageFaultType, &S::undervoltageFaultTypeModelValue},
        {SettingKey::OvervoltageEnable, &S::overvoltageEnableModelValue},
        {SettingKey::OvervoltageThreshold, &S::overvoltageThresholdModelValue},
        {SettingKey::OvervoltageFaultType, &S::overvoltageFaultTypeModelValue},
        {SettingKey::Softstart, &S::softstartEnableModelValue},
        {SettingKey::AsymmetryEnable, &S::loadAsymmetryEnableModelValue},
        {SettingKey::AsymmetryThreshold, &S::loadAsymmetryThresholdModelValue},
        {SettingKey::AsymmetryFaultType, &S::loadAsymmetryFaultTypeModelValue},
    };
    S* service = device.getTerminalService().data();
    for (const auto& [key, report] : reports)
        connect(service, report, this, [this, key = key] { answered(key); });
    connect(service, &S::platformVersionModelValue, this, &SettingsVerifier::barrierAnswered);
    if (const auto& port = device.getSerialPort())
        connect(port.data(), &SerialPort::dataTransmitted, this, &SettingsVerifier::noteTransmitted);
}

void SettingsVerifier::noteTransmitted(const QByteArray& frame)
{
    const auto key = SettingsMapper::keyOfWrite(frame);
    if (!key)
        return;
    // The model holds the sent value as it goes out.
    const double written
        = SettingsMapper(m_device.getModelDatabase()->getSettings()).deviceValue(*key);
    if (m_written.isEmpty()) {
        // Asked once the act's writes are all out: an import writes several in one go.
        QTimer::singleShot(0, this, [this] {
            const QList<Outcome> written = std::exchange(m_written, {});
            verify(written);
        });
    }
    m_written.append({*key, written, std::nullopt, false});
}

int SettingsVerifier::getConfirmedCount() const
{
    return int(std::count_if(m_outcomes.begin(), m_outcomes.end(),
        [](const Outcome& outcome) { return outcome.confirmed(); }));
}

void SettingsVerifier::verify(const QList<Outcome>& written, bool ask)
{
    if (!isRunning()) {
        m_outcomes.clear();
        m_seen.clear();
    }
    const auto& link = m_device.getUSBComponent();
    for (Outcome outcome : written) {
        outcome.held.reset();
        const auto same = std::find_if(m_outcomes.begin(), m_outcomes.end(),
            [&outcome](const Outcome& known) { return known.key == outcome.key; });
        if (same != m_outcomes.end())
            *same = outcome;
        else
            m_outcomes.append(outcome);
        m_open.insert(int(outcome.key));
        m_seen.remove(int(outcome.key));
        if (link && ask)
            link->getModelValue(SettingsMapper::valueId(outcome.key));
    }
    if (m_open.isEmpty()) {
        // Told on the next turn of the event loop, as every other outcome.
        QTimer::singleShot(0, this, [this] { emit finished(m_outcomes); });
        return;
    }
    // The device answers in the order it is asked: once it has answered a read sent after all
    // of these, every report of them it sent is in, and the model holds what the device holds
    // now. Earlier answers (an echo of the write, a read of an earlier act) may come first and
    // must not decide.
    if (link)
        link->getModelValue(Model::Interfaces::ModelValueID::PlatformVersion);
    m_barrier = ++m_barriersSent;
    m_timer->start(m_wait);
}

void SettingsVerifier::answered(SettingKey key)
{
    if (m_open.contains(int(key)))
        m_seen.insert(int(key));
}

void SettingsVerifier::barrierAnswered()
{
    // A report nobody here asked for (the device telling its version by itself) is no answer.
    if (m_barriersAnswered >= m_barriersSent)
        return;
    ++m_barriersAnswered;
    if (isRunning() && m_barriersAnswered >= m_barrier)
        finish();
}

void SettingsVerifier::finish()
{
    m_timer->stop();
    const SettingsMapper mapper(m_device.getModelDatabase()->getSettings());
    for (Outcome& outcome : m_outcomes) {
        if (m_seen.contains(int(outcome.key)))
            outcome.held = mapper.deviceValue(outcome.key);
    }
    m_open.clear();
    m_seen.clear();
    emit finished(m_outcomes);
}

QStringList SettingsVerifier::describeFailures(const QList<Outcome>& outcomes)
{
    QStringList lines;
    for (const Outcome& outcome : outcomes) {
        if (outcome.confirmed())
            continue;
        const QString name = SettingsMapper::name(outcome.key);
        const QString written = SettingsMapper::text(outcome.key, outcome.written);
        if (outcome.held) {
            lines << QCoreApplication::translate("SettingsVerifier",
                "%1: %2 was written, the device holds %3.")
                         .arg(name, written, SettingsMapper::text(outcome.key, *outcome.held));
        } else {
            lines << QCoreApplication::translate("SettingsVerifier",
                "%1: %2 was written, the device did not answer when asked for it.")
                         .arg(name, written);
        }
    }
    return lines;
}

} // namespace Application::R58
