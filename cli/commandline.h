#pragma once

#include "config/useraccount.h"
#include "update/packageupdateservice.h"

#include <QJsonValue>
#include <QObject>
#include <QProcessEnvironment>
#include <QSharedPointer>
#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>
#include <memory>
#include <vector>

class QTextStream;

namespace Application::R58 {
class Config;
class SerialPortManager;
} // namespace Application::R58

namespace Cli {

class DeviceSession;

// r58ctl: the device commands of the windows for production lines and scripts, in the core's
// terms and without a display. It takes the arguments, the streams and the port manager from
// whoever runs it (the program's main, or a test with simulated devices), runs one command on
// one device or on each, and returns the exit status. Waiting is done in nested event loops, so
// that the links, the port poll and the updates run meanwhile.
class CommandLine : public QObject
{
    Q_OBJECT

public:
    // The same for every command.
    enum Status {
        Done = 0,
        Differences = 1, // compare: something would change; import, restore: not confirmed;
                         // check: a value outside the limits
        UsageError = 2, // also check: a file unreadable or for no known model
        NoDevice = 3,
        Refused = 4, // role, password, downgrade, damaged package, running motor, file refused
        DeviceFailed = 5, // the device did not answer, or the operation failed
    };

    CommandLine(QSharedPointer<Application::R58::SerialPortManager> manager, QTextStream& out,
        QTextStream& err, QObject* parent = nullptr);
    ~CommandLine() override;

    // R58_PASSWORD is read from here; the system's by default.
    void setEnvironment(const QProcessEnvironment& environment) { m_environment = environment; }
    // Whether a password may be asked for on the terminal (standard input is one).
    void setInteractive(bool interactive) { m_interactive = interactive; }
    // Whether standard error is a terminal: progress as a bar rather than lines.
    void setProgressBar(bool bar) { m_progressBar = bar; }
    // Shorter waits for tests; the defaults are the device's.
    void setUpdateWaits(const Service::R58::PackageUpdateService::Waits& waits) { m_waits = waits; }
    void setVerifyWait(int milliseconds) { m_verifyWait = milliseconds; }

    // The arguments as main() gets them, the program's name first.
    [[nodiscard]] int run(const QStringList& arguments);

    // Ends a running monitor (the program's SIGINT handler calls it); safe from a signal handler.
    static void interrupt() { s_interrupted = true; }

private:
    struct Options;
    using Command = int (CommandLine::*)(DeviceSession&, const Options&, QJsonValue&);

    int usage(const QString& message);
    void printHelp(const QString& command);
    [[nodiscard]] bool logIn(const Options& options);
    [[nodiscard]] QString password(const Options& options, bool* ok);
    std::vector<std::unique_ptr<DeviceSession>> openDevices(const Options& options);
    // Spins the event loop until `done` or the wait is over; returns `done()`.
    bool waitFor(const std::function<bool()>& done, int milliseconds);

    int list(DeviceSession& session, const Options& options, QJsonValue& json);
    int info(DeviceSession& session, const Options& options, QJsonValue& json);
    int exportSettings(DeviceSession& session, const Options& options, QJsonValue& json);
    int compare(DeviceSession& session, const Options& options, QJsonValue& json);
    int import(DeviceSession& session, const Options& options, QJsonValue& json);
    int backup(DeviceSession& session, const Options& options, QJsonValue& json);
    int monitor(DeviceSession& session, const Options& options, QJsonValue& json);
    int history(DeviceSession& session, const Options& options, QJsonValue& json);
    int update(std::vector<std::unique_ptr<DeviceSession>>& sessions, const Options& options);
    // Without a device: each file against its model's limits.
    int check(const Options& options);

    void line(const QString& text);
    void note(const QString& port, const QString& text);

    QSharedPointer<Application::R58::SerialPortManager> m_manager;
    QTextStream& m_out;
    QTextStream& m_err;
    QProcessEnvironment m_environment = QProcessEnvironment::systemEnvironment();
    bool m_interactive = false;
    bool m_progressBar = false;
    Service::R58::PackageUpdateService::Waits m_waits;
    int m_verifyWait;
    QSharedPointer<Application::R58::UserAccount> m_account;
    QSharedPointer<Application::R58::Config> m_config;
    static std::atomic<bool> s_interrupted;
};

} // namespace Cli
