#pragma once

#include "records/eventhistory.h"

#include <QMap>
#include <QObject>
#include <QPair>
#include <QString>

#include <memory>

class QTimer;

namespace Application::R58 {
class Application;
}

namespace Records {

// The event history of one device, fed by its link and model: connections, faults with the
// phase the device reported, operating modes, settings written with the device's value before
// and after (logged once the device has reported the value it took, so that a write is never
// shown as done before the device confirmed it), imports, factory resets and updates. Kept in memory until the device tells its
// serial number, then in that device's file across sessions. A screen shows it; nothing here
// reads a widget.
class DeviceHistory : public QObject
{
    Q_OBJECT

public:
    // The kinds of event, as the file keeps them (never translated, so that a file reads the
    // same in every language).
    static const QString Connected;
    static const QString Lost;
    static const QString Error;
    static const QString Warning;
    static const QString Cleared;
    static const QString Mode;
    static const QString Setting;
    static const QString SettingNotApplied;
    static const QString Import;
    static const QString Reset;
    static const QString UpdateStarted;
    static const QString UpdateFinished;
    static const QString UpdateFailed;

    // A fault's value and its phase arrive as separate values of one report; the entry waits
    // this long for the phase (the device sends them back to back, within milliseconds).
    static constexpr int FaultReportSettle = 250; // milliseconds
    // A write the device has not reported back within this is logged as not confirmed: the
    // read-back's own wait and then some, so that its answer is never taken for silence.
    static constexpr int WriteAnswerWait = 5000; // milliseconds

    // Who acts on the device through this history's link; every write and update it notes
    // names an origin other than the windows.
    enum class Origin { Windows, CommandLine };

    explicit DeviceHistory(Application::R58::Application& device, QObject* parent = nullptr);
    ~DeviceHistory() override;

    void setOrigin(Origin origin) { m_origin = origin; }
    [[nodiscard]] Origin origin() const { return m_origin; }

    // What was done to the device, in the words of whoever did it.
    void addImport(const QString& text) { add(Import, text); }
    void addFactoryReset(const QString& text) { add(Reset, text); }

    [[nodiscard]] const QList<Event>& events() const { return m_history->events(); }
    // The device's file; empty until the serial number is known.
    [[nodiscard]] QString path() const { return m_history->path(); }
    [[nodiscard]] QString errorString() const { return m_history->errorString(); }
    // Writes every event to a CSV file; false with errorString() if that fails.
    [[nodiscard]] bool exportTo(const QString& path) { return m_history->exportTo(path); }

    // A kind of event in the user's words.
    [[nodiscard]] static QString kindText(const QString& kind);
    // What happened in the user's words. The file keeps English and the device's own names,
    // with a decimal point, whatever the program's language; a text this program did not
    // write in its known forms (a file from an older version) is shown as it stands.
    [[nodiscard]] static QString displayText(const Event& event);

signals:
    void eventAdded(const Records::Event& event);
    // The device's file was opened: the events are those of earlier sessions and this one.
    void eventsReplaced();
    // The file could not be written; the text names it and why.
    void writeFailed(const QString& message);

private:
    void add(const QString& kind, const QString& text);
    void openFile();
    void noteFault();
    void noteMode();
    void noteTransmitted(const QByteArray& frame);
    // The device reported a setting: the outcome of a write waiting for it, if any.
    void noteReported(int id);
    // Writes the device did not answer for within the wait.
    void noteUnanswered();
    [[nodiscard]] QString failureText() const;

    Application::R58::Application& m_device;
    QString m_portName;
    std::unique_ptr<EventHistory> m_history;
    QTimer* m_faultSettle = nullptr;
    // The settings as last reported or sent, by model value identifier, to say what a written
    // setting was before.
    QMap<int, QString> m_knownSettings;
    // Writes sent and not yet answered by the device, by model value identifier: the device's
    // value before, the value written and when.
    struct PendingWrite
    {
        QString before;
        double written = 0.0;
        qint64 time = 0;
    };
    QMap<int, PendingWrite> m_pendingWrites;
    QTimer* m_writeWait = nullptr;
    QString m_lastFault;
    QString m_lastMode;
    QString m_packageVersion;
    Origin m_origin = Origin::Windows;
};

} // namespace Records
