#pragma once

#include "config/useraccount.h"
#include "update/deviceupdate.h"

#include <QList>
#include <QObject>
#include <QString>

namespace Application::R58 {
class Application;
}

namespace Service::R58 {

// One package onto every connected device, one after another, each with its own backup and
// checks: a device the rules refuse is named and skipped, a device that fails stops nothing else.
// The main window's "Update all…" and the command line's --all update drive the same object.
class BatchUpdate : public QObject
{
    Q_OBJECT

public:
    BatchUpdate(const QList<Application::R58::Application*>& devices,
        Application::R58::UserAccount::User role, QObject* parent = nullptr);

    // Opens the package on every device and judges it; returns how many would take it.
    int check(const QString& packagePath);
    // Updates the devices that would take it, in order; finished() at the end, also when none
    // would.
    void start();
    [[nodiscard]] bool isRunning() const { return m_current >= 0; }
    // One per device, in the order given: the judgement before start(), the outcome after.
    [[nodiscard]] QList<DeviceUpdate::Result> results() const;
    [[nodiscard]] int count() const { return int(m_updates.size()); }

    void setVerifyWait(int milliseconds);

    // An outcome as a fixed English key ("updated", "refused", ...), for the CSV and JSON.
    [[nodiscard]] static QString outcomeKey(DeviceUpdate::Outcome outcome);
    // The summary as CSV, one line per device: serial,port,before,after,result,seconds,message.
    [[nodiscard]] static QByteArray csv(const QList<DeviceUpdate::Result>& results);
    // Replaces the file atomically; false with errorString() when it could not be written.
    [[nodiscard]] bool saveCsv(const QString& path);
    [[nodiscard]] QString errorString() const { return m_error; }

signals:
    void deviceStarted(int index);
    void progressChanged(int index, int percent);
    void deviceFinished(int index, const Service::R58::DeviceUpdate::Result& result);
    void finished();

private:
    void next();

    QList<DeviceUpdate*> m_updates;
    int m_current = -1;
    QString m_error;
};

} // namespace Service::R58
