#pragma once

#include "config/settingsverifier.h"
#include "config/useraccount.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

namespace Application::R58 {
class Application;
}

namespace Service::R58 {

class PackageUpdateService;

// One package onto one device without a window: the package opened and judged by every rule
// (role, damage, motor, downgrade), the device's settings backed up, the update run across the
// restart, and afterwards the device asked for every setting it held before. The command line
// drives one of these; the batch update drives one per device.
class DeviceUpdate : public QObject
{
    Q_OBJECT

public:
    enum class Outcome {
        Pending, // judged, not run yet
        Refused, // a rule stopped it; nothing was sent
        Failed, // it ran and did not complete, or could not start
        Updated, // completed, and the device holds the settings it held before
        SettingsChanged, // completed, but settings differ from what the device held before
    };

    struct Result
    {
        QString port;
        QString serialNumber; // empty when the device never told it
        QString before; // the platform version as the device reported it
        QString after;
        Outcome outcome = Outcome::Pending;
        QString message; // why, for the user; the settings that changed, one per line
        qint64 milliseconds = 0; // from the backup to the end
    };

    DeviceUpdate(Application::R58::Application& device,
        Application::R58::UserAccount::User role, QObject* parent = nullptr);

    // Opens the package on the device's link and judges it; false when a rule refuses it, with
    // the reason in result().
    [[nodiscard]] bool check(const QString& packagePath);
    // Backs up, then starts; finished() follows, also when it cannot start.
    void start();
    [[nodiscard]] const Result& result() const { return m_result; }
    [[nodiscard]] bool isRunning() const { return m_running; }

    // Shorter waits for tests and the simulator; the defaults are the device's.
    void setVerifyWait(int milliseconds) { m_verifyWait = milliseconds; }

    [[nodiscard]] static QString outcomeText(Outcome outcome);

signals:
    void progressChanged(int percent);
    void finished(const Service::R58::DeviceUpdate::Result& result);

private:
    void handleError(const QString& text);
    void handleFinished();
    void handleVerified(const QList<Application::R58::SettingsVerifier::Outcome>& outcomes);
    void end(Outcome outcome, const QString& message);
    [[nodiscard]] QString platformVersion() const;

    Application::R58::Application& m_device;
    Application::R58::UserAccount::User m_role;
    QPointer<PackageUpdateService> m_packager;
    Application::R58::SettingsVerifier* m_verifier = nullptr;
    QList<Application::R58::SettingsVerifier::Outcome> m_held;
    QElapsedTimer m_clock;
    Result m_result;
    int m_verifyWait = Application::R58::SettingsVerifier::DefaultWait;
    bool m_running = false;
    bool m_started = false; // the package passed its checks and the device was told
    QString m_openError;
};

} // namespace Service::R58
