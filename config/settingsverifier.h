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

// Confirms what the device took: every setting the tool writes over the device's link (a user's
// edit, an import, a restore, a service command) is asked for again (GetModelValue) and the
// answer compared with what was written, at the value's own precision. A value held otherwise,
// or not answered within the wait, is "not applied". Asking never writes.
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
        // Any answer confirms: after a factory reset the tool reads what the device holds
        // without knowing what to expect.
        bool anyValue = false;
        [[nodiscard]] bool confirmed() const
        {
            return held && (anyValue || SettingsMapper::sameValue(key, written, *held));
        }
    };

    explicit SettingsVerifier(Application& device, QObject* parent = nullptr);

    void setWait(int milliseconds) { m_wait = milliseconds; }
    [[nodiscard]] int getWait() const { return m_wait; }

    // Asks the device for each written value. Values given while a verification runs join it
    // (a value written again replaces its earlier outcome) and the wait starts again, so that
    // quick edits one after another are all confirmed. finished() follows once every value was
    // answered or the wait is over, also for an empty list.
    // `ask`: send the reads; without, the answers to reads sent by someone else are awaited.
    void verify(const QList<Outcome>& written, bool ask = true);
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
    void barrierAnswered();
    // A frame the tool sent: a written setting is verified once the writes of this turn of the
    // event loop are out.
    void noteTransmitted(const QByteArray& frame);
    void finish();

    Application& m_device;
    QTimer* m_timer = nullptr;
    int m_wait = DefaultWait;
    QList<Outcome> m_outcomes;
    QSet<int> m_open;
    // The values of m_open the device has reported since they were asked for.
    QSet<int> m_seen;
    // Reads of the platform version sent after the values' reads, and their answers: the
    // verification ends once the device has answered the last one sent for it.
    quint64 m_barriersSent = 0;
    quint64 m_barriersAnswered = 0;
    quint64 m_barrier = 0;
    QList<Outcome> m_written;
};

} // namespace Application::R58
