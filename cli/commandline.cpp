#include "cli/commandline.h"

#include "app/application.h"
#include "cli/devicesession.h"
#include "config/config.h"
#include "config/devicemodel.h"
#include "config/rolefeatures.h"
#include "config/settings.h"
#include "config/settingscomparison.h"
#include "config/settingsdocument.h"
#include "config/settingsimport.h"
#include "config/settingsmapper.h"
#include "config/settingsverifier.h"
#include "link/serialport.h"
#include "link/serialportmanager.h"
#include "link/talolinkterminalservice.h"
#include "model/modeldatabase.h"
#include "model/modelvalueid.h"
#include "records/devicehistory.h"
#include "records/devicesnapshot.h"
#include "records/eventhistory.h"
#include "records/faultstate.h"
#include "records/measurementcapture.h"
#include "records/measurementrecorder.h"
#include "records/recordlocations.h"
#include "records/settingsbackups.h"
#include "update/batchupdate.h"

#include <QCommandLineParser>
#include <QDateTime>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>
#include <QTimer>

#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <optional>

namespace Cli {

using Application::R58::RoleFeatures;
using Application::R58::SettingKey;
using Application::R58::SettingsMapper;
using Application::R58::SettingsVerifier;
using Application::R58::UserAccount;
using Model::Interfaces::ModelValueID;
using Service::R58::BatchUpdate;
using Service::R58::DeviceUpdate;

std::atomic<bool> CommandLine::s_interrupted {false};

namespace {

// Granularity of the waits' event loops: short against a device's answer time.
constexpr int WaitStep = 5; // milliseconds

struct CommandInfo
{
    const char* name;
    const char* synopsis;
    int arguments; // positional arguments after the command's name; OneOrMore for files
    RoleFeatures::Feature feature; // PasswordEntry: every role may
    const char* description;
};

// A command that takes one file or more.
constexpr int OneOrMore = -1;

// The commands in the order --help lists them. PasswordEntry marks those every role may run.
const CommandInfo Commands[] {
    {"list", "list", 0, RoleFeatures::PasswordEntry,
        QT_TRANSLATE_NOOP("Cli::CommandLine",
            "Lists each device with its port, serial number, article number, product, software "
            "and hardware versions.")},
    {"info", "info", 0, RoleFeatures::PasswordEntry,
        QT_TRANSLATE_NOOP("Cli::CommandLine",
            "Shows the device's identity, versions, fault and warning state, operating mode and, "
            "for the roles that may see the configuration, every setting with its unit.")},
    {"export", "export FILE", 1, RoleFeatures::ConfigurationPage,
        QT_TRANSLATE_NOOP("Cli::CommandLine",
            "Writes the device's settings to FILE in the settings file format. With --all, "
            "{serial} in FILE is replaced by each device's serial number.")},
    {"compare", "compare FILE", 1, RoleFeatures::ConfigurationPage,
        QT_TRANSLATE_NOOP("Cli::CommandLine",
            "Shows what importing FILE would change. Sends nothing. Exit status 0 when nothing "
            "would change, 1 when something would.")},
    {"import", "import FILE [--dry-run]", 1, RoleFeatures::ConfigurationPage,
        QT_TRANSLATE_NOOP("Cli::CommandLine",
            "Backs up the device's settings, writes only the settings FILE changes and reads each "
            "back. Exit status 1 when the device did not confirm every one. --dry-run: compare.")},
    {"backup", "backup", 0, RoleFeatures::ConfigurationPage,
        QT_TRANSLATE_NOOP("Cli::CommandLine",
            "Saves the device's settings among the tool's backups and names the file.")},
    {"restore", "restore FILE", 1, RoleFeatures::ConfigurationPage,
        QT_TRANSLATE_NOOP("Cli::CommandLine",
            "Restores a backup file as RESTORE… in the windows does: compared with the device, "
            "the changed settings written and confirmed.")},
    {"update", "update PACKAGE", 1, RoleFeatures::PackageUpdate,
        QT_TRANSLATE_NOOP("Cli::CommandLine",
            "Updates the device's firmware from PACKAGE after a backup of its settings, with "
            "every rule of the windows; compares the settings after the restart. With --all, "
            "one device after another, and a summary.")},
    {"monitor", "monitor voltage|current|power [--seconds N]", 1, RoleFeatures::DataPage,
        QT_TRANSLATE_NOOP("Cli::CommandLine",
            "Writes the measured values as CSV lines in the recording's format to standard "
            "output, for N seconds or until interrupted.")},
    {"history", "history", 0, RoleFeatures::PasswordEntry,
        QT_TRANSLATE_NOOP("Cli::CommandLine",
            "Shows the device's event history as this computer keeps it.")},
    {"check", "check FILE... [--article N]", OneOrMore, RoleFeatures::PasswordEntry,
        QT_TRANSLATE_NOOP("Cli::CommandLine",
            "Checks settings files without a device against the limits of the device model they "
            "were made for, or of article number N. Exit status 0 when every file is valid, 1 "
            "when a value is outside the limits, 2 when a file cannot be read or names no known "
            "model.")},
};

const CommandInfo* findCommand(const QString& name)
{
    for (const CommandInfo& command : Commands) {
        if (name == QLatin1String(command.name))
            return &command;
    }
    return nullptr;
}

// The settings' keys in JSON: fixed, in English, documented in the manual page.
QString settingKey(SettingKey key)
{
    static const char* const names[] {"tripClass", "nominalCurrent", "overloadReset",
        "undercurrentEnable", "undercurrentThreshold", "undercurrentFaultType",
        "undervoltageEnable", "undervoltageThreshold", "undervoltageFaultType",
        "overvoltageEnable", "overvoltageThreshold", "overvoltageFaultType", "softstart",
        "asymmetryEnable", "asymmetryThreshold", "asymmetryFaultType"};
    return QString::fromLatin1(names[int(key)]);
}

QString knownArticles()
{
    QStringList articles;
    for (const auto& model : Application::R58::DeviceModel::all())
        articles << QString::number(model.articleNumber);
    return articles.join(QStringLiteral(", "));
}

QJsonValue orNull(const std::optional<QString>& value)
{
    return value ? QJsonValue(*value) : QJsonValue(QJsonValue::Null);
}

QJsonObject identity(const Records::DeviceSnapshot& snapshot, const QString& port)
{
    return QJsonObject {{"port", port}, {"serialNumber", orNull(snapshot.serialNumber)},
        {"articleNumber", orNull(snapshot.articleNumber)}, {"product", orNull(snapshot.product)},
        {"softwareVersion", orNull(snapshot.softwareVersion)},
        {"hardwareRevision", orNull(snapshot.hardwareRevision)}};
}

} // namespace

struct CommandLine::Options
{
    const CommandInfo* command = nullptr;
    QStringList arguments;
    QStringList ports;
    bool all = false;
    bool json = false;
    bool dryRun = false;
    int seconds = -1; // monitor: until interrupted
    std::optional<quint32> article; // check: the model to check against
    UserAccount::User role = UserAccount::Customer;
    QString passwordFile;
};

CommandLine::CommandLine(QSharedPointer<Application::R58::SerialPortManager> manager,
    QTextStream& out, QTextStream& err, QObject* parent)
    : QObject(parent),
      m_manager(std::move(manager)),
      m_out(out),
      m_err(err),
      m_verifyWait(SettingsVerifier::DefaultWait),
      m_account(QSharedPointer<UserAccount>::create()),
      m_config(QSharedPointer<Application::R58::Config>::create())
{
}

CommandLine::~CommandLine() = default;

int CommandLine::usage(const QString& message)
{
    m_err << "r58ctl: " << message << '\n'
          << tr("Try \"r58ctl --help\" or \"r58ctl COMMAND --help\".") << '\n';
    m_err.flush();
    return UsageError;
}

void CommandLine::printHelp(const QString& name)
{
    if (const CommandInfo* command = findCommand(name)) {
        m_out << tr("Usage: r58ctl [OPTIONS] %1").arg(QLatin1String(command->synopsis)) << "\n\n"
              << tr(command->description) << "\n\n"
              << tr("See \"r58ctl --help\" for the options and the exit statuses.") << '\n';
        m_out.flush();
        return;
    }
    m_out << tr("Usage: r58ctl [OPTIONS] COMMAND [ARGUMENTS]") << "\n\n"
          << tr("Service commands for VELOR®R58 devices, without windows.") << "\n\n"
          << tr("Commands:") << '\n';
    for (const CommandInfo& command : Commands)
        m_out << "  " << QString::fromLatin1(command.synopsis) << '\n';
    m_out << '\n'
          << tr("Options:") << '\n'
          << tr("  --port PATH          a device's port; may be given more than once (default: "
                "every device found by its USB identity)")
          << '\n'
          << tr("  --all                run the command on each device found") << '\n'
          << tr("  --role ROLE          customer, supervisor or admin (default customer)") << '\n'
          << tr("  --password-file FILE the role's password (else R58_PASSWORD, else a prompt)")
          << '\n'
          << tr("  --json               one JSON document (an array with --all)") << '\n'
          << tr("  --help               this text; after a command, that command's") << "\n\n"
          << tr("  --article N          check: the device model's article number") << '\n'
          << tr("Exit status: 0 done, 1 differences (compare), not confirmed (import, restore, "
                "update) or values outside the limits (check), 2 usage error or unreadable file, "
                "3 no device, 4 refused (role, password, downgrade, damaged package, running "
                "motor, refused file), 5 the device did not answer or the operation failed.")
          << '\n';
    m_out.flush();
}

void CommandLine::line(const QString& text)
{
    m_out << text << '\n';
    m_out.flush();
}

void CommandLine::note(const QString& port, const QString& text)
{
    m_err << QFileInfo(port).fileName() << ": " << text << '\n';
    m_err.flush();
}

bool CommandLine::waitFor(const std::function<bool()>& done, int milliseconds)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() >= milliseconds)
            return false;
        QEventLoop loop;
        QTimer::singleShot(WaitStep, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return true;
}

QString CommandLine::password(const Options& options, bool* ok)
{
    *ok = true;
    if (m_environment.contains(QStringLiteral("R58_PASSWORD")))
        return m_environment.value(QStringLiteral("R58_PASSWORD"));
    if (!options.passwordFile.isEmpty()) {
        QFile file(options.passwordFile);
        if (!file.open(QIODevice::ReadOnly)) {
            *ok = false;
            return {};
        }
        // The first line, as typed: a file written by echo ends in a line break.
        QByteArray text = file.readLine();
        if (text.endsWith('\n'))
            text.chop(1);
        if (text.endsWith('\r'))
            text.chop(1);
        return QString::fromUtf8(text);
    }
    if (!m_interactive || options.role == UserAccount::Customer)
        return {};
    m_err << tr("Password for %1: ").arg(QString::fromLatin1(
        options.role == UserAccount::Admin ? "admin" : "supervisor"));
    m_err.flush();
    termios saved {};
    const bool terminal = tcgetattr(STDIN_FILENO, &saved) == 0;
    if (terminal) {
        termios silent = saved;
        silent.c_lflag &= ~tcflag_t(ECHO);
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &silent);
    }
    QTextStream in(stdin);
    const QString typed = in.readLine();
    if (terminal)
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved);
    m_err << '\n';
    m_err.flush();
    return typed;
}

bool CommandLine::logIn(const Options& options)
{
    // Customer logs in without a password, as in the windows: a password meant for another role
    // (R58_PASSWORD left set in a script) does not stop it.
    if (options.role == UserAccount::Customer) {
        m_account->setUser(options.role);
        m_account->setPasswordDigest(UserAccount::passwordDigest(QString()));
        if (m_account->isPasswordValid())
            return true;
    }
    bool ok = false;
    const QString typed = password(options, &ok);
    if (!ok) {
        m_err << tr("r58ctl: the password file %1 cannot be read.")
                     .arg(QDir::toNativeSeparators(options.passwordFile))
              << '\n';
        return false;
    }
    m_account->setUser(options.role);
    m_account->setPasswordDigest(UserAccount::passwordDigest(typed));
    if (m_account->isPasswordValid())
        return true;
    m_err << tr("r58ctl: wrong password for the role.") << '\n';
    return false;
}

std::vector<std::unique_ptr<DeviceSession>> CommandLine::openDevices(const Options& options)
{
    for (const QString& port : options.ports)
        m_manager->watchPort(port);
    m_manager->poll();
    QStringList candidates = options.ports;
    if (candidates.isEmpty()) {
        const QSet<QString> found = m_manager->getAvailablePorts();
        candidates = QStringList(found.begin(), found.end());
        candidates.sort();
    }
    std::vector<std::unique_ptr<DeviceSession>> sessions;
    const QSet<QString> open = m_manager->getKnownPorts();
    for (const QString& port : qAsConst(candidates)) {
        if (!open.contains(port)) {
            const QString why = m_manager->getOpenError(port);
            note(port,
                why.isEmpty() ? tr("no such port; skipped.")
                              : tr("cannot be opened (%1); skipped.").arg(why));
            continue;
        }
        sessions.push_back(std::make_unique<DeviceSession>(m_account, m_config, m_manager, port));
    }
    // All at once: the devices answer side by side.
    waitFor(
        [&sessions] {
            return std::all_of(sessions.begin(), sessions.end(),
                [](const auto& session) { return session->hasAnswered(); });
        },
        DeviceSession::AnswerWait);
    for (auto it = sessions.begin(); it != sessions.end();) {
        if ((*it)->hasAnswered()) {
            ++it;
            continue;
        }
        note((*it)->portName(),
            tr("did not answer as a VELOR®R58 within %1 s; skipped.")
                .arg(DeviceSession::AnswerWait / 1000));
        it = sessions.erase(it);
    }
    return sessions;
}

int CommandLine::run(const QStringList& arguments)
{
    s_interrupted = false;
    QCommandLineParser parser;
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsOptions);
    const QCommandLineOption portOption(QStringLiteral("port"), QString(), QStringLiteral("PATH"));
    const QCommandLineOption allOption(QStringLiteral("all"));
    const QCommandLineOption roleOption(QStringLiteral("role"), QString(), QStringLiteral("ROLE"));
    const QCommandLineOption passwordOption(
        QStringLiteral("password-file"), QString(), QStringLiteral("FILE"));
    const QCommandLineOption jsonOption(QStringLiteral("json"));
    const QCommandLineOption dryRunOption(QStringLiteral("dry-run"));
    const QCommandLineOption secondsOption(QStringLiteral("seconds"), QString(), QStringLiteral("N"));
    const QCommandLineOption articleOption(QStringLiteral("article"), QString(), QStringLiteral("N"));
    const QCommandLineOption helpOption(QStringList {QStringLiteral("h"), QStringLiteral("help")});
    parser.addOptions({portOption, allOption, roleOption, passwordOption, jsonOption, dryRunOption,
        secondsOption, articleOption, helpOption});
    if (!parser.parse(arguments))
        return usage(parser.errorText());

    QStringList positional = parser.positionalArguments();
    const QString name = positional.value(0);
    if (parser.isSet(helpOption) || name == QLatin1String("help") || arguments.size() < 2) {
        if (arguments.size() < 2)
            return usage(tr("no command given."));
        printHelp(name == QLatin1String("help") ? positional.value(1) : name);
        return Done;
    }
    Options options;
    options.command = findCommand(name);
    if (!options.command)
        return usage(tr("unknown command \"%1\".").arg(name));
    positional.removeFirst();
    if (options.command->arguments == OneOrMore && positional.isEmpty())
        return usage(tr("%1 takes one file or more.").arg(QLatin1String(options.command->name)));
    if (options.command->arguments != OneOrMore && positional.size() != options.command->arguments)
        return usage((options.command->arguments == 0 ? tr("%1 takes no argument.")
                                                       : tr("%1 takes one argument."))
                         .arg(QLatin1String(options.command->name)));
    options.arguments = positional;
    options.ports = parser.values(portOption);
    options.all = parser.isSet(allOption);
    options.json = parser.isSet(jsonOption);
    options.dryRun = parser.isSet(dryRunOption);
    options.passwordFile = parser.value(passwordOption);
    if (options.dryRun && options.command->name != QLatin1String("import"))
        return usage(tr("--dry-run belongs to import."));
    if (parser.isSet(secondsOption)) {
        bool ok = false;
        options.seconds = parser.value(secondsOption).toInt(&ok);
        if (!ok || options.seconds <= 0 || options.command->name != QLatin1String("monitor"))
            return usage(tr("--seconds takes a whole number of seconds and belongs to monitor."));
    }
    if (parser.isSet(articleOption)) {
        bool ok = false;
        const quint32 article = parser.value(articleOption).toUInt(&ok);
        if (options.command->name != QLatin1String("check"))
            return usage(tr("--article belongs to check."));
        if (!ok || !Application::R58::DeviceModel::find(article))
            return usage(tr("--article takes the article number of a known model: %1.")
                             .arg(knownArticles()));
        options.article = article;
    }
    // A file is checked at a desk: no device, no role, no password.
    if (options.command->name == QLatin1String("check"))
        return check(options);
    const QString role = parser.value(roleOption);
    if (role.isEmpty() || role == QLatin1String("customer"))
        options.role = UserAccount::Customer;
    else if (role == QLatin1String("supervisor"))
        options.role = UserAccount::Supervisor;
    else if (role == QLatin1String("admin"))
        options.role = UserAccount::Admin;
    else
        return usage(tr("unknown role \"%1\": customer, supervisor or admin.").arg(role));
    if (options.command->name == QLatin1String("monitor")) {
        static const QStringList streams {QStringLiteral("voltage"), QStringLiteral("current"),
            QStringLiteral("power")};
        if (!streams.contains(options.arguments.first()))
            return usage(tr("monitor takes voltage, current or power."));
        if (options.all)
            return usage(tr("monitor reads one device; name it with --port."));
    }
    if (options.all && options.command->name == QLatin1String("export")
        && !options.arguments.first().contains(QLatin1String("{serial}")))
        return usage(tr("export with --all needs {serial} in the file name."));

    // Refused before any port is opened: a role's refusal sends nothing at all.
    if (options.command->feature != RoleFeatures::PasswordEntry
        && !RoleFeatures::allows(options.role, options.command->feature)) {
        m_err << tr("r58ctl: the role \"%1\" may not run %2, as in the windows.")
                     .arg(role.isEmpty() ? QStringLiteral("customer") : role,
                         QLatin1String(options.command->name))
              << '\n';
        m_err.flush();
        return Refused;
    }
    if (!logIn(options)) {
        m_err.flush();
        return Refused;
    }

    auto sessions = openDevices(options);
    if (sessions.empty()) {
        m_err << tr("r58ctl: no device found.") << '\n';
        m_err.flush();
        return NoDevice;
    }
    const bool listing = options.command->name == QLatin1String("list");
    if (!listing && !options.all && sessions.size() > 1) {
        QStringList ports;
        for (const auto& session : sessions)
            ports << session->portName();
        return usage(tr("%1 devices found (%2): name one with --port, or use --all.")
                         .arg(sessions.size())
                         .arg(ports.join(QStringLiteral(", "))));
    }
    if (options.command->name == QLatin1String("update"))
        return update(sessions, options);

    static const QList<QPair<const char*, Command>> handlers {{"list", &CommandLine::list},
        {"info", &CommandLine::info}, {"export", &CommandLine::exportSettings},
        {"compare", &CommandLine::compare}, {"import", &CommandLine::import},
        {"backup", &CommandLine::backup}, {"restore", &CommandLine::import},
        {"monitor", &CommandLine::monitor}, {"history", &CommandLine::history}};
    Command handler = nullptr;
    for (const auto& entry : handlers) {
        if (options.command->name == QLatin1String(entry.first))
            handler = entry.second;
    }
    int status = Done;
    QJsonArray documents;
    for (const auto& session : sessions) {
        QJsonValue json;
        const int one = (this->*handler)(*session, options, json);
        status = std::max(status, one);
        if (json.isObject()) {
            QJsonObject object = json.toObject();
            object.insert(QStringLiteral("status"), one);
            json = object;
        }
        documents.append(json);
    }
    if (options.json) {
        const QJsonDocument document = listing || options.all
            ? QJsonDocument(documents)
            : QJsonDocument(documents.first().toObject());
        m_out << document.toJson(QJsonDocument::Indented);
        m_out.flush();
    }
    return status;
}

int CommandLine::check(const Options& options)
{
    using Application::R58::DeviceModel;
    using Application::R58::SettingsDocument;
    int status = Done;
    QJsonArray documents;
    for (const QString& path : options.arguments) {
        const QString name = QDir::toNativeSeparators(path);
        const std::optional<quint32> made = SettingsDocument::articleNumberOf(path);
        const quint32 article = options.article.value_or(made.value_or(0));
        QJsonObject object {{"file", path},
            {"madeFor", made ? QJsonValue(double(*made)) : QJsonValue()},
            {"articleNumber", article != 0 ? QJsonValue(double(article)) : QJsonValue()}};
        const DeviceModel* model = DeviceModel::find(article);
        int one = Done;
        QStringList problems;
        QString error;
        if (!QFileInfo(path).isFile() || !QFileInfo(path).isReadable()) {
            one = UsageError;
            error = tr("%1 could not be read.").arg(name);
        } else if (!model) {
            one = UsageError;
            // An unreadable file is said so, rather than that it names no model.
            SettingsDocument probe(DeviceModel::all().front());
            error = !probe.load(path) ? probe.errorString()
                : article == 0
                ? tr("%1 names no device model; give one with --article (%2).")
                      .arg(name, knownArticles())
                : tr("%1 was made for %2, a model this program does not know; give one with "
                     "--article (%3).")
                      .arg(name)
                      .arg(article)
                      .arg(knownArticles());
        } else {
            SettingsDocument document(*model);
            if (!document.load(path)) {
                one = UsageError;
                error = document.errorString();
            } else {
                problems = document.problems();
                one = problems.isEmpty() ? Done : Differences;
            }
        }
        status = std::max(status, one);
        object.insert(QStringLiteral("problems"), QJsonArray::fromStringList(problems));
        object.insert(QStringLiteral("error"), error.isEmpty() ? QJsonValue() : error);
        object.insert(QStringLiteral("status"), one);
        documents.append(object);
        if (!error.isEmpty()) {
            m_err << "r58ctl: " << error << '\n';
            m_err.flush();
        }
        if (options.json || one == UsageError)
            continue;
        if (options.article && made && *made != article)
            line(tr("%1: made for %2, checked for %3.").arg(name).arg(*made).arg(article));
        for (const QString& problem : qAsConst(problems))
            line(tr("%1: %2").arg(name, problem));
        if (problems.isEmpty())
            line(tr("%1: valid for %2.").arg(name, model->label()));
    }
    if (options.json) {
        m_out << QJsonDocument(documents).toJson(QJsonDocument::Indented);
        m_out.flush();
    }
    return status;
}

int CommandLine::list(DeviceSession& session, const Options& options, QJsonValue& json)
{
    const auto snapshot = Records::DeviceSnapshot::take(session.device(), nullptr);
    const QJsonObject object = identity(snapshot, session.portName());
    json = object;
    if (!options.json) {
        const QString notReported = tr("not reported");
        const auto fact = [&](const std::optional<QString>& value) {
            return value ? *value : notReported;
        };
        line(tr("%1  serial %2  article %3  %4  software %5  hardware %6")
                 .arg(session.portName(), fact(snapshot.serialNumber), fact(snapshot.articleNumber),
                     fact(snapshot.product), fact(snapshot.softwareVersion),
                     fact(snapshot.hardwareRevision)));
    }
    return Done;
}

int CommandLine::info(DeviceSession& session, const Options& options, QJsonValue& json)
{
    auto& device = session.device();
    const auto snapshot = Records::DeviceSnapshot::take(device, nullptr);
    QJsonObject object = identity(snapshot, session.portName());
    const QString notReported = tr("not reported");
    QJsonValue fault = QJsonValue::Null;
    QString faultText = notReported;
    if (snapshot.faults) {
        const Records::FaultState& state = *snapshot.faults;
        const QString kind = state.kind == Records::FaultState::Kind::Error ? QStringLiteral("error")
            : state.kind == Records::FaultState::Kind::Warning              ? QStringLiteral("warning")
                                                                           : QStringLiteral("none");
        fault = QJsonObject {{"state", kind}, {"code", state.code}, {"text", state.text}};
        faultText = state.kind == Records::FaultState::Kind::None ? tr("no fault, no warning")
                                                                  : state.summary();
    }
    object.insert(QStringLiteral("fault"), fault);
    object.insert(QStringLiteral("operatingMode"), orNull(snapshot.motor));

    const bool settingsShown = RoleFeatures::allows(options.role, RoleFeatures::ConfigurationPage);
    QJsonArray settings;
    QStringList settingLines;
    if (settingsShown) {
        const auto& link = *device.getTerminalService();
        const SettingsMapper mapper(device.getModelDatabase()->getSettings());
        const bool asymmetry = Records::DeviceSnapshot::hasAsymmetryProtection(device);
        for (const SettingKey key : SettingsMapper::keys()) {
            const bool asymmetryKey = key == SettingKey::AsymmetryEnable
                || key == SettingKey::AsymmetryThreshold || key == SettingKey::AsymmetryFaultType;
            if (asymmetryKey && !asymmetry)
                continue;
            const bool reported = link.hasReported(SettingsMapper::valueId(key));
            settings.append(QJsonObject {{"key", settingKey(key)},
                {"name", SettingsMapper::name(key)},
                {"value", reported ? QJsonValue(mapper.deviceValue(key)) : QJsonValue()},
                {"unit", SettingsMapper::unit(key)},
                {"text", reported ? QJsonValue(mapper.deviceText(key)) : QJsonValue()}});
            settingLines << QStringLiteral("  %1: %2").arg(
                SettingsMapper::name(key), reported ? mapper.deviceText(key) : notReported);
        }
        object.insert(QStringLiteral("settings"), settings);
    }
    json = object;
    if (!options.json) {
        const auto fact = [&](const std::optional<QString>& value) {
            return value ? *value : notReported;
        };
        line(tr("Port: %1").arg(session.portName()));
        line(tr("Product: %1").arg(fact(snapshot.product)));
        line(tr("Serial number: %1").arg(fact(snapshot.serialNumber)));
        line(tr("Article number: %1").arg(fact(snapshot.articleNumber)));
        line(tr("Software version: %1").arg(fact(snapshot.softwareVersion)));
        line(tr("Hardware version: %1").arg(fact(snapshot.hardwareRevision)));
        line(tr("Fault state: %1").arg(faultText));
        line(tr("Operating mode: %1").arg(fact(snapshot.motor)));
        if (settingsShown) {
            line(tr("Settings:"));
            for (const QString& text : qAsConst(settingLines))
                line(text);
        }
    }
    return Done;
}

int CommandLine::exportSettings(DeviceSession& session, const Options& options, QJsonValue& json)
{
    QString path = options.arguments.first();
    path.replace(QLatin1String("{serial}"), Records::RecordLocations::fileStem(session.serialNumber()));
    const QString name = QDir::toNativeSeparators(path);
    QJsonObject object {{"port", session.portName()}, {"file", path}};
    json = object;
    if (Records::RecordLocations::isInBackups(path)) {
        note(session.portName(),
            tr("%1 is in the folder of the tool's backups, which only the backups are written "
               "to. Nothing was exported.")
                .arg(name));
        return UsageError;
    }
    const Application::R58::Settings settings
        = SettingsMapper(session.device().getModelDatabase()->getSettings()).deviceSettings(false);
    if (!settings.save(path)) {
        note(session.portName(), tr("the settings could not be written to %1.").arg(name));
        return DeviceFailed;
    }
    if (!options.json)
        line(tr("%1: settings exported to %2.").arg(session.portName(), name));
    return Done;
}

int CommandLine::compare(DeviceSession& session, const Options& options, QJsonValue& json)
{
    Application::R58::SettingsImport file(session.device());
    const QString path = options.arguments.first();
    QJsonObject object {{"port", session.portName()}, {"file", path}};
    if (!file.load(path)) {
        json = object;
        note(session.portName(), file.errorString());
        return UsageError;
    }
    if (!file.notice().isEmpty())
        note(session.portName(), file.notice());
    QJsonArray rows;
    for (const auto& row : file.comparison().getRows()) {
        rows.append(QJsonObject {{"key", settingKey(row.key)}, {"name", row.label},
            {"device", row.deviceText}, {"file", row.fileText}, {"changed", row.changed}});
        if (row.changed && !options.json)
            line(tr("%1: %2 → %3").arg(row.label, row.deviceText, row.fileText));
    }
    const int changed = file.comparison().getChangedCount();
    object.insert(QStringLiteral("changed"), changed);
    object.insert(QStringLiteral("refused"), QJsonArray::fromStringList(file.refusals()));
    object.insert(QStringLiteral("settings"), rows);
    json = object;
    if (!options.json) {
        for (const QString& refusal : file.refusals())
            line(tr("Refused: %1").arg(refusal));
        line(changed == 0 ? tr("%1: nothing would change.").arg(session.portName())
                          : tr("%1: settings that would change: %2.")
                                .arg(session.portName())
                                .arg(changed));
    }
    return changed == 0 && file.refusals().isEmpty() ? Done : Differences;
}

int CommandLine::import(DeviceSession& session, const Options& options, QJsonValue& json)
{
    if (options.dryRun)
        return compare(session, options, json);
    const bool restore = options.command->name == QLatin1String("restore");
    const QString path = options.arguments.first();
    const QString name = QDir::toNativeSeparators(path);
    const QString port = session.portName();
    QJsonObject object {{"port", port}, {"file", path}};
    json = object;
    Application::R58::SettingsImport file(session.device());
    if (!file.load(path)) {
        note(port, file.errorString() + QLatin1Char(' ') + tr("Nothing was sent to the device."));
        return UsageError;
    }
    if (!file.notice().isEmpty())
        note(port, file.notice());
    if (!file.refusals().isEmpty()) {
        object.insert(QStringLiteral("refused"), QJsonArray::fromStringList(file.refusals()));
        json = object;
        note(port,
            tr("%1: %2 Nothing was sent to the device.")
                .arg(name, file.refusals().join(QLatin1Char(' '))));
        return Refused;
    }
    const int changed = file.comparison().getChangedCount();
    object.insert(QStringLiteral("changed"), changed);
    if (changed == 0) {
        object.insert(QStringLiteral("written"), QJsonArray());
        json = object;
        if (!options.json)
            line(tr("%1: %2 holds the device's settings: nothing to change, nothing was sent.")
                     .arg(port, name));
        return Done;
    }
    QString error;
    const QString backup = Records::SettingsBackups().save(
        SettingsMapper(session.device().getModelDatabase()->getSettings()).deviceSettings(true),
        session.serialNumber(), Records::SettingsBackups::Reason::Import, &error);
    if (backup.isEmpty()) {
        note(port,
            tr("%1 was not imported: the device's settings could not be backed up (%2). Nothing "
               "was sent to the device.")
                .arg(name, error));
        return DeviceFailed;
    }
    object.insert(QStringLiteral("backup"), backup);

    // The history hears each write as it goes out, with the command line as its origin.
    Records::DeviceHistory& history = session.history();
    const QList<SettingsVerifier::Outcome> written = file.write();
    history.addImport(
        (restore ? tr("Settings restored from %1: %2 of them changed.")
                 : tr("Settings imported from %1: %2 of them changed."))
            .arg(name)
            .arg(written.size()));

    SettingsVerifier verifier(session.device());
    verifier.setWait(m_verifyWait);
    bool verified = false;
    QList<SettingsVerifier::Outcome> outcomes;
    connect(&verifier, &SettingsVerifier::finished, this,
        [&](const QList<SettingsVerifier::Outcome>& results) {
            outcomes = results;
            verified = true;
        });
    verifier.verify(written);
    // The verifier ends by its own wait; this one only guards against a lost signal.
    waitFor([&verified] { return verified; }, m_verifyWait * 2);

    QJsonArray rows;
    int confirmed = 0;
    for (const SettingsVerifier::Outcome& outcome : qAsConst(outcomes)) {
        confirmed += outcome.confirmed() ? 1 : 0;
        rows.append(QJsonObject {{"key", settingKey(outcome.key)},
            {"name", SettingsMapper::name(outcome.key)}, {"written", outcome.written},
            {"held", outcome.held ? QJsonValue(*outcome.held) : QJsonValue()},
            {"confirmed", outcome.confirmed()}});
        if (!options.json) {
            line(outcome.confirmed()
                    ? tr("%1: %2 written and confirmed.")
                          .arg(SettingsMapper::name(outcome.key),
                              SettingsMapper::text(outcome.key, outcome.written))
                    : SettingsVerifier::describeFailures({outcome}).value(0));
        }
    }
    object.insert(QStringLiteral("written"), rows);
    object.insert(QStringLiteral("confirmed"), confirmed);
    json = object;
    if (!options.json)
        line(tr("%1: %2 of %3 changed settings confirmed by the device; backup in %4.")
                 .arg(port)
                 .arg(confirmed)
                 .arg(outcomes.size())
                 .arg(QDir::toNativeSeparators(backup)));
    return confirmed == outcomes.size() ? Done : Differences;
}

int CommandLine::backup(DeviceSession& session, const Options& options, QJsonValue& json)
{
    QString error;
    const QString path = Records::SettingsBackups().save(
        SettingsMapper(session.device().getModelDatabase()->getSettings()).deviceSettings(true),
        session.serialNumber(), Records::SettingsBackups::Reason::Requested, &error);
    json = QJsonObject {{"port", session.portName()},
        {"backup", path.isEmpty() ? QJsonValue() : QJsonValue(path)}};
    if (path.isEmpty()) {
        note(session.portName(), tr("the settings could not be backed up: %1.").arg(error));
        return DeviceFailed;
    }
    if (!options.json)
        line(tr("%1: settings backed up to %2.")
                 .arg(session.portName(), QDir::toNativeSeparators(path)));
    return Done;
}

int CommandLine::monitor(DeviceSession& session, const Options& options, QJsonValue& json)
{
    using Stream = Records::MeasurementCapture::Stream;
    const QString which = options.arguments.first();
    const Stream stream = which == QLatin1String("voltage") ? Stream::Voltage
        : which == QLatin1String("current")                 ? Stream::Current
                                                            : Stream::Power;
    json = QJsonValue();
    Records::MeasurementCapture capture(session.device());
    m_out << Records::MeasurementRecorder::header() << '\n';
    m_out.flush();
    connect(&capture, &Records::MeasurementCapture::refreshed, this,
        [this](unsigned int, const std::vector<Records::MeasurementSample>& samples) {
            for (const auto& sample : samples)
                m_out << Records::MeasurementRecorder::line(sample) << '\n';
            m_out.flush();
        });
    capture.show(stream);
    QElapsedTimer clock;
    clock.start();
    const qint64 limit = options.seconds < 0 ? -1 : qint64(options.seconds) * 1000;
    waitFor([&] { return s_interrupted || (limit >= 0 && clock.elapsed() >= limit); },
        std::numeric_limits<int>::max());
    capture.refresh();
    capture.show(Stream::None);
    return Done;
}

int CommandLine::history(DeviceSession& session, const Options& options, QJsonValue& json)
{
    const QString serial = session.serialNumber();
    // Read only: the file as the windows and earlier commands left it.
    const Records::EventHistory events(
        Records::EventHistory::fileFor(Records::RecordLocations::historyFolder(), serial));
    QJsonArray array;
    for (const Records::Event& event : events.events()) {
        const QDateTime time = QDateTime::fromMSecsSinceEpoch(event.time, Qt::UTC);
        array.append(QJsonObject {{"time", time.toString(Qt::ISODateWithMs)}, {"kind", event.kind},
            {"text", event.text}});
        if (!options.json)
            line(QStringLiteral("%1  %2  %3")
                     .arg(time.toLocalTime().toString(Qt::ISODate),
                         Records::DeviceHistory::kindText(event.kind),
                         Records::DeviceHistory::displayText(event)));
    }
    json = QJsonObject {{"port", session.portName()}, {"serialNumber", serial}, {"events", array}};
    return Done;
}

int CommandLine::update(std::vector<std::unique_ptr<DeviceSession>>& sessions, const Options& options)
{
    QList<Application::R58::Application*> devices;
    for (const auto& session : sessions) {
        // The history notes the update with the command line as its origin.
        [[maybe_unused]] Records::DeviceHistory& history = session->history();
        session->device().getPackageUpdateService()->setWaits(m_waits);
        devices << &session->device();
    }
    BatchUpdate batch(devices, options.role);
    batch.setVerifyWait(m_verifyWait);
    batch.check(options.arguments.first());
    for (const DeviceUpdate::Result& result : batch.results()) {
        if (result.outcome == DeviceUpdate::Outcome::Refused)
            note(result.port, tr("refused: %1").arg(result.message));
        else
            note(result.port, tr("version %1, the package applies.").arg(result.before));
    }
    int lastShown = -1;
    connect(&batch, &BatchUpdate::progressChanged, this, [&](int index, int percent) {
        const QString port = QFileInfo(batch.results().at(index).port).fileName();
        if (m_progressBar) {
            constexpr int width = 30; // characters
            const int filled = percent * width / 100;
            m_err << '\r' << port << " [" << QString(filled, QLatin1Char('#'))
                  << QString(width - filled, QLatin1Char(' ')) << "] " << percent << " %";
            if (percent >= 100)
                m_err << '\n';
            m_err.flush();
        } else if (percent / 10 != lastShown / 10 || percent == 100) {
            m_err << port << ": " << percent << " %\n";
            m_err.flush();
        }
        lastShown = percent;
    });
    connect(&batch, &BatchUpdate::deviceStarted, this, [&](int) { lastShown = -1; });
    bool ended = false;
    connect(&batch, &BatchUpdate::finished, this, [&ended] { ended = true; });
    batch.start();
    // Each device's update ends by its own waits, which are named and bounded.
    waitFor([&ended] { return ended; }, std::numeric_limits<int>::max());

    int status = Done;
    QJsonArray documents;
    for (const DeviceUpdate::Result& result : batch.results()) {
        int one = Done;
        switch (result.outcome) {
        case DeviceUpdate::Outcome::Updated:
            one = Done;
            break;
        case DeviceUpdate::Outcome::SettingsChanged:
            one = Differences;
            break;
        case DeviceUpdate::Outcome::Refused:
            one = Refused;
            break;
        case DeviceUpdate::Outcome::Pending:
        case DeviceUpdate::Outcome::Failed:
            one = DeviceFailed;
            break;
        }
        status = std::max(status, one);
        documents.append(QJsonObject {{"port", result.port},
            {"serialNumber", result.serialNumber.isEmpty() ? QJsonValue() : result.serialNumber},
            {"before", result.before}, {"after", result.after},
            {"result", BatchUpdate::outcomeKey(result.outcome)},
            {"seconds", double(result.milliseconds) / 1000.0}, {"message", result.message},
            {"status", one}});
        if (!options.json) {
            line(tr("%1  %2  %3 → %4  %5  %6 s")
                     .arg(result.serialNumber, QFileInfo(result.port).fileName(), result.before,
                         result.after, DeviceUpdate::outcomeText(result.outcome))
                     .arg(double(result.milliseconds) / 1000.0, 0, 'f', 1));
            if (!result.message.isEmpty() && result.outcome != DeviceUpdate::Outcome::Refused)
                line(QStringLiteral("  ") + result.message);
        }
    }
    if (options.json) {
        m_out << (options.all ? QJsonDocument(documents)
                              : QJsonDocument(documents.first().toObject()))
                     .toJson(QJsonDocument::Indented);
        m_out.flush();
    }
    return status;
}

} // namespace Cli
