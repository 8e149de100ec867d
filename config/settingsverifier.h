#pragma once

#include "config/settingsmapper.h"

#include <QList>
#include <QObject>
#include <QSet>
#include <QStringList>

#include <optional>

class QTimer;

namespace Application::R58 {

class Application;

// Confirms what the device took: after the tool wrote settings, it asks the device for each of
// them (GetModelValue) and compares the answer with what was written, at the value's own
// precision. A value held otherwise, or not answered within the wait, is "not applied". Asking
// never writes.
class SettingsVerifier : public QObject
{
    Q_OBJECT

public:
    // Nothing is known of a real device's answer time: the simulator answers within
    // milliseconds, a device busy with a write may take longer. Generous, so that a slow
    // answer is not taken for a refusal.
    static constexpr int DefaultWait = 3000; // milliseconds

    struct Outcome
    {
        SettingKey key = SettingKey::TripClass;
        double written = 0.0;
        // What the device answered; empty when it did not answer within the wait.
        std::optional<double> held;
        [[nodiscard]] bool confirmed() const
        {
            return held && SettingsMapper::sameValue(key, written, *held);
        }
    };

    explicit SettingsVerifier(Application& device, QObject* parent = nullptr);

    void setWait(int milliseconds) { m_wait = milliseconds; }
    [[nodiscard]] int getWait() const { return m_wait; }

    // Asks the device for each written value. A verification still running is ended first (its
    // open values count as not answered). finished() follows once every value was answered or
    // the wait is over, also for an empty list.
    void verify(const QList<Outcome>& written);
    [[nodiscard]] bool isRunning() const { return !m_open.isEmpty(); }
    // The outcomes of the last verification, in the order written.
    [[nodiscard]] const QList<Outcome>& getOutcomes() const { return m_outcomes; }
    [[nodiscard]] int getConfirmedCount() const;

    // One line per value not applied, for the user: the setting, what was written and what the
    // device holds (or that it did not answer).
    [[nodiscard]] static QStringList describeFailures(const QList<Outcome>& outcomes);

signals:
    void finished(const QList<::Application::R58::SettingsVerifier::Outcome>& outcomes);

private:
    void answered(SettingKey key);
    void finish();

    Application& m_device;
    QTimer* m_timer = nullptr;
    int m_wait = DefaultWait;
    QList<Outcome> m_outcomes;
    QSet<int> m_open;
};

} // namespace Application::R58
