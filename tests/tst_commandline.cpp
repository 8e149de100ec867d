// r58ctl's commands run in-process against simulated devices over pseudo-terminals, the batch
// update on the core alone, and the built program for what only a process shows: its usage.
#include "app/application.h"
#include "cli/commandline.h"
#include "config/config.h"
#include "config/settings.h"
#include "config/useraccount.h"
#include "link/listserialportsource.h"
#include "link/serialportmanager.h"
#include "link/talolinkterminalservice.h"
#include "model/modelvalueid.h"
#include "sim/simulateddevice.h"
#include "update/batchupdate.h"
#include "updatetestsupport.h"
#include "linktestsupport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>
#include <QtTest>

#include <memory>
#include <vector>

using Cli::CommandLine;
using Model::Interfaces::ModelValueID;
using Service::R58::BatchUpdate;
using Service::R58::DeviceUpdate;
using Simulator::SimulatedDevice;
using namespace UpdateTest;

namespace {

constexpr int Stall = 3000; // milliseconds; far above a healthy transfer under a sanitizer
constexpr int Restart = 5000; // milliseconds; the restarted device's return

using LinkTest::id;

// Simulated devices listed as if found by their USB identity, and a command line over them.
struct Rig : LinkTest::SimulatedLinks
{
    std::vector<std::unique_ptr<SimulatedDevice>> devices;
    QTimer poll;
    QString out;
    QString err;

    explicit Rig(int count, quint32 firstSerial = 31415926u)
    {
        // The manager's own one-second poll is too slow for the restarts of a short test.
        QObject::connect(&poll, &QTimer::timeout, manager.data(),
            &Application::R58::SerialPortManager::poll);
        poll.start(20);
        for (int i = 0; i < count; ++i) {
            devices.push_back(std::make_unique<SimulatedDevice>(links.path(), source));
            devices.back()->setRestartDelay(100);
            devices.back()->setUIntValue(id(ModelValueID::SerialNumber), firstSerial + quint32(i));
        }
    }
    ~Rig()
    {
        poll.stop();
        devices.clear();
    }
    bool plugIn()
    {
        for (const auto& device : devices) {
            if (!device->plugIn())
                return false;
        }
        return true;
    }
    int run(const QStringList& arguments, const QString& password = QStringLiteral("r58-admin"))
    {
        out.clear();
        err.clear();
        QTextStream outStream(&out);
        QTextStream errStream(&err);
        CommandLine commandLine(manager, outStream, errStream);
        QProcessEnvironment environment;
        environment.insert(QStringLiteral("R58_PASSWORD"), password);
        commandLine.setEnvironment(environment);
        commandLine.setUpdateWaits({50, 20, 50, Stall, Stall, Restart, Stall});
        return commandLine.run(QStringList {QStringLiteral("r58ctl")} + arguments);
    }
    QJsonDocument json() const { return QJsonDocument::fromJson(out.toUtf8()); }
    QString package(quint32 version = 0x04040000u) const
    {
        const QString path = links.filePath(QStringLiteral("package.tar"));
        const QString text = QStringLiteral("%1.%2.%3.%4")
                                 .arg(version >> 24)
                                 .arg((version >> 16) & 0xFFu)
                                 .arg((version >> 8) & 0xFFu)
                                 .arg(version & 0xFFu);
        return writePackage(path,
                   {{"version.json", manifest(text, "p.crypt", "d.crypt", text)},
                       {"p.crypt", encrypted(versionedImage(11, 1300, version))},
                       {"d.crypt", encrypted(randomImage(12, 1000))}})
            ? path
            : QString();
    }
};

// The frames of one command the device received.
int framesOf(const SimulatedDevice& device, TaloLinkCommandID command)
{
    int count = 0;
    for (const QByteArray& frame : device.receivedFrames())
        count += TaloLinkPacket::decode(frame).command == command ? 1 : 0;
    return count;
}

} // namespace

class TestCommandLine : public QObject
{
    Q_OBJECT

private slots:
    void infoHoldsTheDevicesIdentity();
    void importSendsOnlyTheChangeAndConfirmsIt();
    void refusalsSendNothing_data();
    void refusalsSendNothing();
    void updateCompletesAcrossTheRestart_data();
    void updateCompletesAcrossTheRestart();
    void batchGoesOnPastAFailure();
    void programUsage_data();
    void programUsage();
    void checkTellsEachFilesState_data();
    void checkTellsEachFilesState();
};

void TestCommandLine::infoHoldsTheDevicesIdentity()
{
    Rig rig(1);
    SimulatedDevice& device = *rig.devices.front();
    device.setUIntValue(id(ModelValueID::PlatformVersion), 0x04050607u);
    device.setUIntValue(id(ModelValueID::ArticleNumber), 51314u);
    QVERIFY(rig.plugIn());
    QCOMPARE(rig.run({"info", "--json"}, {}), int(CommandLine::Done));
    const QJsonObject info = rig.json().object();
    QCOMPARE(info.value("port").toString(), device.portName());
    QCOMPARE(info.value("serialNumber").toString(), QStringLiteral("31415926"));
    QVERIFY2(info.value("articleNumber").toString().startsWith("51314"), qPrintable(rig.out));
    QCOMPARE(info.value("softwareVersion").toString(), QStringLiteral("V4.5.6.7"));
    QCOMPARE(info.value("fault").toObject().value("state").toString(), QStringLiteral("none"));
    // Customer sees no settings, as on the windows' pages.
    QVERIFY(!info.contains("settings"));
}

void TestCommandLine::importSendsOnlyTheChangeAndConfirmsIt()
{
    Rig rig(1);
    SimulatedDevice& device = *rig.devices.front();
    QVERIFY(rig.plugIn());
    const QString file = rig.links.filePath("line.json");
    QCOMPARE(rig.run({"--role", "admin", "export", file}), int(CommandLine::Done));
    Application::R58::Settings settings;
    QVERIFY(settings.load(file));
    settings.setNominalCurrent(1.5f);
    QVERIFY(settings.save(file));

    device.clearReceivedFrames();
    QCOMPARE(rig.run({"--role", "admin", "--json", "import", file}), int(CommandLine::Done));
    QCOMPARE(framesOf(device, TaloLinkCommandID::SetModelValue), 1);
    QCOMPARE(device.floatValue(id(ModelValueID::NominalCurrent)), 1.5f);
    const QJsonObject result = rig.json().object();
    QCOMPARE(result.value("confirmed").toInt(), 1);
    QVERIFY(!result.value("backup").toString().isEmpty());

    // The write is in the device's history, and nothing is written a second time.
    device.clearReceivedFrames();
    QCOMPARE(rig.run({"--role", "admin", "--json", "history"}), int(CommandLine::Done));
    QCOMPARE(framesOf(device, TaloLinkCommandID::SetModelValue), 0);
    const QJsonArray events = rig.json().object().value("events").toArray();
    const auto written = std::count_if(events.begin(), events.end(), [](const QJsonValue& event) {
        return event.toObject().value("kind").toString() == QLatin1String("setting");
    });
    QCOMPARE(written, 1);
}

void TestCommandLine::refusalsSendNothing_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("password");
    QTest::addColumn<quint32>("operatingMode");
    QTest::addColumn<quint32>("packageVersion"); // 0: no package
    QTest::newRow("customer imports") << QStringList {"import", "FILE"} << QString() << 0u << 0u;
    QTest::newRow("wrong password") << QStringList {"--role", "supervisor", "info"}
                                    << QStringLiteral("r58-admin") << 0u << 0u;
    QTest::newRow("customer updates")
        << QStringList {"update", "PACKAGE"} << QString() << 0u << 0x04040000u;
    QTest::newRow("supervisor downgrades") << QStringList {"--role", "supervisor", "update",
        "PACKAGE"} << QStringLiteral("r58-supervisor") << 0u << 0x04030100u;
    QTest::newRow("motor runs") << QStringList {"--role", "admin", "update", "PACKAGE"}
                                << QStringLiteral("r58-admin") << 1u << 0x04040000u;
}

void TestCommandLine::refusalsSendNothing()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, password);
    QFETCH(quint32, operatingMode);
    QFETCH(quint32, packageVersion);
    Rig rig(1);
    SimulatedDevice& device = *rig.devices.front();
    device.setUIntValue(id(ModelValueID::OperatingMode), operatingMode);
    QVERIFY(rig.plugIn());
    arguments.replaceInStrings("PACKAGE", packageVersion ? rig.package(packageVersion) : QString());
    arguments.replaceInStrings("FILE", rig.links.filePath("any.json"));
    QCOMPARE(rig.run(arguments, password), int(CommandLine::Refused));
    QVERIFY(!rig.err.isEmpty());
    for (const auto command : {TaloLinkCommandID::SetModelValue,
             TaloLinkCommandID::JumpToBootloader, TaloLinkCommandID::ApplicationUpdate,
             TaloLinkCommandID::FireModelAction})
        QCOMPARE(framesOf(device, command), 0);
    QVERIFY(device.receivedImages(Terminal::Platform).isEmpty());
}

void TestCommandLine::updateCompletesAcrossTheRestart_data()
{
    QTest::addColumn<int>("count");
    QTest::newRow("one device") << 1;
    QTest::newRow("two devices, --all") << 2;
}

void TestCommandLine::updateCompletesAcrossTheRestart()
{
    QFETCH(int, count);
    Rig rig(count);
    QVERIFY(rig.plugIn());
    QStringList arguments {"--role", "supervisor", "--json", "update", rig.package()};
    if (count > 1)
        arguments.prepend("--all");
    QCOMPARE(rig.run(arguments, "r58-supervisor"), int(CommandLine::Done));
    const QJsonDocument document = rig.json();
    const QJsonArray results
        = count > 1 ? document.array() : QJsonArray {document.object()};
    QCOMPARE(results.size(), count);
    for (int i = 0; i < count; ++i) {
        const SimulatedDevice& device = *rig.devices[std::size_t(i)];
        QCOMPARE(device.receivedImages(Terminal::Platform).size(), 1);
        QCOMPARE(device.receivedImages(Terminal::Display).size(), 1);
        const auto result = std::find_if(results.begin(), results.end(), [&](const QJsonValue& row) {
            return row.toObject().value("port").toString() == device.portName();
        });
        QVERIFY2(result != results.end(), qPrintable(rig.out));
        QCOMPARE(result->toObject().value("result").toString(), QStringLiteral("updated"));
        QCOMPARE(result->toObject().value("before").toString(), QStringLiteral("V4.3.2.0"));
        QCOMPARE(result->toObject().value("after").toString(), QStringLiteral("V4.4.0.0"));
    }
}

// The windows' "Update all…" and --all drive the same batch: a device that stops answering in
// the middle of its update is named as failed, and the next device is updated all the same.
void TestCommandLine::batchGoesOnPastAFailure()
{
    Rig rig(2);
    QVERIFY(rig.plugIn());
    rig.manager->poll();
    std::vector<std::unique_ptr<Application::R58::Application>> stacks;
    QList<Application::R58::Application*> devices;
    for (const auto& device : rig.devices) {
        stacks.push_back(std::make_unique<Application::R58::Application>(
            QSharedPointer<Application::R58::UserAccount>::create(),
            QSharedPointer<Application::R58::Config>::create(), rig.manager, device->portName()));
        stacks.back()->initialize();
        stacks.back()->getPackageUpdateService()->setWaits({50, 20, 50, Stall, Stall, Restart, Stall});
        devices << stacks.back().get();
    }
    for (const auto& stack : stacks) {
        QTRY_VERIFY_WITH_TIMEOUT(
            stack->getTerminalService()->hasReported(ModelValueID::SerialNumber), Stall);
        QTRY_VERIFY_WITH_TIMEOUT(
            stack->getTerminalService()->hasReported(ModelValueID::OperatingMode), Stall);
    }
    SimulatedDevice& failing = *rig.devices.front();
    QObject context;
    QObject::connect(&failing, &SimulatedDevice::frameReceived, &context,
        [&failing](const QByteArray& frame) {
            if (TaloLinkPacket::decode(frame).command == TaloLinkCommandID::ApplicationUpdate) {
                SimulatedDevice::Faults silent;
                silent.silent = true;
                failing.setFaults(silent);
            }
        });

    BatchUpdate batch(devices, Application::R58::UserAccount::Supervisor);
    batch.setVerifyWait(Stall);
    QCOMPARE(batch.check(rig.package()), 2);
    QSignalSpy finished(&batch, &BatchUpdate::finished);
    batch.start();
    QVERIFY(finished.wait(4 * Stall + 2 * Restart));
    const auto results = batch.results();
    QCOMPARE(results.at(0).outcome, DeviceUpdate::Outcome::Failed);
    QVERIFY(!results.at(0).message.isEmpty());
    QCOMPARE(results.at(1).outcome, DeviceUpdate::Outcome::Updated);
    QCOMPARE(rig.devices.back()->receivedImages(Terminal::Platform).size(), 1);

    // The summary names both, in order.
    const QString csv = rig.links.filePath("summary.csv");
    QVERIFY(batch.saveCsv(csv));
    QFile file(csv);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = file.readAll().trimmed().split('\n');
    QCOMPARE(lines.size(), 3);
    QVERIFY(lines.at(1).startsWith("31415926,") && lines.at(1).contains(",failed,"));
    QVERIFY(lines.at(2).startsWith("31415927,") && lines.at(2).contains(",updated,"));
}

void TestCommandLine::programUsage_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::newRow("help") << QStringList {"--help"} << 0;
    QTest::newRow("a command's help") << QStringList {"import", "--help"} << 0;
    QTest::newRow("no command") << QStringList {} << 2;
    QTest::newRow("unknown command") << QStringList {"frobnicate"} << 2;
    QTest::newRow("missing argument") << QStringList {"import"} << 2;
    QTest::newRow("unknown role") << QStringList {"--role", "root", "list"} << 2;
}

// The program itself, with no display at all.
void TestCommandLine::programUsage()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QString::fromLatin1(name));
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(R58CTL), arguments);
    QVERIFY(program.waitForFinished(Stall));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), status);
    QVERIFY(!(status == 0 ? program.readAllStandardOutput() : program.readAllStandardError())
                 .isEmpty());
}

QTEST_GUILESS_MAIN(TestCommandLine)
// A folder of files prepared at a desk, checked without a device: each file against the model it
// names or the one given, the worst file's status for all.
void TestCommandLine::checkTellsEachFilesState_data()
{
    QTest::addColumn<QList<QByteArray>>("files"); // empty: no such file
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QList<int>>("problems"); // per file; -1: unreadable
    QTest::addColumn<int>("status");
    const QByteArray large = R"({"TripClass": 7, "NominalCurrent": 5.0, "ArticleNumber": 51326,
        "Undercurrent": {"Enable": true, "Threshold": 4.5, "FaultType": 1}})";
    const QByteArray above = R"({"NominalCurrent": 1.0, "ArticleNumber": 51322,
        "Undercurrent": {"Threshold": 2.0}, "LoadAsymmetry": {"Enable": true, "Threshold": 1.5,
        "FaultType": 0}})";
    // A model without the load asymmetry protection does not judge its settings.
    const QByteArray noAsymmetry = R"({"NominalCurrent": 1.0, "ArticleNumber": 51310,
        "LoadAsymmetry": {"Enable": true, "Threshold": 1.5, "FaultType": 0}})";
    const QByteArray unnamed = R"({"TripClass": 3, "NominalCurrent": 1.0})";
    QTest::newRow("valid for its own model") << QList<QByteArray> {large} << QStringList()
                                             << QList<int> {0} << int(CommandLine::Done);
    QTest::newRow("checked for a smaller model") << QList<QByteArray> {large}
                                                 << QStringList {"--article", "51310"}
                                                 << QList<int> {2} << int(CommandLine::Differences);
    QTest::newRow("thresholds above the nominal current")
        << QList<QByteArray> {above} << QStringList() << QList<int> {2}
        << int(CommandLine::Differences);
    QTest::newRow("no load asymmetry on the model") << QList<QByteArray> {noAsymmetry}
                                                    << QStringList() << QList<int> {0}
                                                    << int(CommandLine::Done);
    QTest::newRow("no model named") << QList<QByteArray> {unnamed} << QStringList()
                                    << QList<int> {-1} << int(CommandLine::UsageError);
    QTest::newRow("no model named, one given") << QList<QByteArray> {unnamed}
                                               << QStringList {"--article", "51314"}
                                               << QList<int> {0} << int(CommandLine::Done);
    QTest::newRow("not a settings file") << QList<QByteArray> {"[1, 2"}
                                         << QStringList {"--article", "51314"} << QList<int> {-1}
                                         << int(CommandLine::UsageError);
    QTest::newRow("no such file") << QList<QByteArray> {QByteArray()}
                                  << QStringList {"--article", "51314"} << QList<int> {-1}
                                  << int(CommandLine::UsageError);
    QTest::newRow("the worst file counts") << QList<QByteArray> {large, above, large}
                                           << QStringList() << QList<int> {0, 2, 0}
                                           << int(CommandLine::Differences);
}

void TestCommandLine::checkTellsEachFilesState()
{
    QFETCH(QList<QByteArray>, files);
    QFETCH(QStringList, options);
    QFETCH(QList<int>, problems);
    QFETCH(int, status);
    Rig rig(0);
    QStringList arguments {"check", "--json"};
    for (int i = 0; i < files.size(); ++i) {
        const QString path = rig.links.filePath(QStringLiteral("starter%1.json").arg(i));
        QFile file(path);
        if (!files[i].isEmpty())
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(files[i]) == files[i].size());
        arguments << path;
    }
    // No role and no password: a file is checked at a desk.
    QCOMPARE(rig.run(arguments + options, QString()), status);
    const QJsonArray results = rig.json().array();
    QCOMPARE(results.size(), files.size());
    for (int i = 0; i < files.size(); ++i) {
        const QJsonObject result = results[i].toObject();
        if (problems[i] < 0) {
            QCOMPARE(result.value("status").toInt(), int(CommandLine::UsageError));
            QVERIFY2(!result.value("error").toString().isEmpty(), qPrintable(rig.err));
            continue;
        }
        QCOMPARE(result.value("problems").toArray().size(), problems[i]);
        QCOMPARE(result.value("status").toInt(),
            int(problems[i] ? CommandLine::Differences : CommandLine::Done));
    }
}

#include "tst_commandline.moc"
