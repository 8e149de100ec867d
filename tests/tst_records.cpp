// What the tool keeps about a device, fed by the device's link and model alone: the history,
// the recording, the report's snapshot and the backups, with no window in between.

#include "app/application.h"
#include "config/config.h"
#include "config/settings.h"
#include "config/settingscomparison.h"
#include "config/settingsmapper.h"
#include "config/useraccount.h"
#include "records/commissioningreport.h"
#include "records/eventhistory.h"
#include "records/measurementrecorder.h"
#include "link/listserialportsource.h"
#include "link/serialportmanager.h"
#include "link/talolinkterminalservice.h"
#include "link/talolinkusbcomponent.h"
#include "model/modelactionid.h"
#include "model/modeldatabase.h"
#include "model/modelvalueid.h"
#include "records/devicehistory.h"
#include "records/devicesnapshot.h"
#include "records/measurementcapture.h"
#include "records/settingsbackups.h"
#include "sim/simulateddevice.h"
#include "linktestsupport.h"

#include <QFile>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTranslator>
#include <QTest>

#include <csignal>
#include <functional>
#include <memory>

#include <sys/resource.h>

using Application::R58::SettingKey;
using Application::R58::Settings;
using Application::R58::SettingsComparison;
using Application::R58::SettingsMapper;
using Model::Interfaces::ModelValueID;
using Records::DeviceHistory;
using Records::MeasurementCapture;

namespace {

constexpr int Wait = 10000; // milliseconds; generous for sanitizer builds

using LinkTest::id;

// One device's link stack on a simulated device over a pseudo-terminal, as a command line
// would hold it: no screen.
struct Rig : LinkTest::SimulatedLinks
{
    QSharedPointer<Application::R58::UserAccount> account
        = QSharedPointer<Application::R58::UserAccount>::create();
    QSharedPointer<Application::R58::Config> config;
    std::unique_ptr<Simulator::SimulatedDevice> device;
    std::unique_ptr<Application::R58::Application> app;

    Rig()
    {
        config = QSharedPointer<Application::R58::Config>::create();
        device = std::make_unique<Simulator::SimulatedDevice>(links.path(), source);
        device->setMeasurementInterval(20);
    }
    ~Rig()
    {
        app.reset();
        manager.reset();
        device.reset();
    }
    // Opens the link and waits until the device has told its serial number, the last of the
    // values the start-up asks for that the tests need.
    bool open()
    {
        if (!device->plugIn())
            return false;
        manager->poll();
        app = std::make_unique<Application::R58::Application>(
            account, config, manager, device->portName());
        app->initialize();
        const auto& link = *app->getTerminalService();
        return QTest::qWaitFor(
            [&] {
                return link.hasReported(ModelValueID::SerialNumber)
                    && link.hasReported(ModelValueID::LoadAsymmetryFaultType);
            },
            Wait);
    }
    Model::Database::ModelDatabase& model() { return *app->getModelDatabase(); }
};

QStringList fileLines(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

} // namespace

class TestRecords : public QObject
{
    Q_OBJECT

private slots:
    void historyFromModelAndLink();
    void recordingKeepsStreamAcrossPages();
    void reportSaysWhatWasNeverMeasured();
    void backupRestoresEverySetting();
    void fullDiskLosesNothingWritten_data();
    void fullDiskLosesNothingWritten();
};

void TestRecords::historyFromModelAndLink()
{
    // In German: the file keeps English and a decimal point, the list shows German.
    QTranslator german;
    QVERIFY(german.load(QStringLiteral("r58_vizorevavuv_de_DE"), QStringLiteral(R58_TRANSLATIONS_DIR)));
    QCoreApplication::installTranslator(&german);
    const QLocale locale;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const auto restore = qScopeGuard([&] {
        QCoreApplication::removeTranslator(&german);
        QLocale::setDefault(locale);
    });

    Rig rig;
    QVERIFY(rig.open());
    auto history = std::make_unique<DeviceHistory>(*rig.app);
    const auto entries = [&history](const QString& kind) {
        QStringList texts;
        for (const auto& event : history->events()) {
            if (event.kind == kind)
                texts << event.text;
        }
        return texts;
    };

    // An undercurrent warning on L2: the phase comes as a value of its own, after the fault's.
    rig.device->setUIntValue(id(ModelValueID::FaultPhase), 1);
    rig.device->setUIntValue(id(ModelValueID::Warning), 5);
    rig.device->reportValue(id(ModelValueID::Warning));
    rig.device->reportValue(id(ModelValueID::FaultPhase));
    QVERIFY(QTest::qWaitFor([&] { return !entries(DeviceHistory::Warning).isEmpty(); }, Wait));
    QTest::qWait(2 * DeviceHistory::FaultReportSettle);
    QCOMPARE(entries(DeviceHistory::Warning), QStringList {QStringLiteral("W 5802: Undercurrent L2")});

    // A write is logged with the device's value before and the value written; a value the
    // device reports by itself is no write.
    SettingsMapper mapper(rig.model().getSettings());
    mapper.write(SettingKey::NominalCurrent, 2.5);
    QVERIFY(QTest::qWaitFor([&] { return !entries(DeviceHistory::Setting).isEmpty(); }, Wait));
    mapper.write(SettingKey::NominalCurrent, 3.75);
    QVERIFY(QTest::qWaitFor([&] { return entries(DeviceHistory::Setting).size() == 2; }, Wait));
    QCOMPARE(entries(DeviceHistory::Setting).last(), QStringLiteral("Nominal current: 2.5 A → 3.75 A"));
    const Records::Event written = history->events().last();
    QCOMPARE(DeviceHistory::displayText(written), QStringLiteral("Nennstrom: 2,5 A → 3,75 A"));
    QCOMPARE(DeviceHistory::displayText({written.time, written.kind, written.text + " (command line)"}),
        QStringLiteral("Nennstrom: 2,5 A → 3,75 A (Befehlszeile)"));
    const double from = 3.75;
    rig.device->setFloatValue(id(ModelValueID::NominalCurrent), float(from + 0.2));
    rig.device->reportValue(id(ModelValueID::NominalCurrent));
    QVERIFY(QTest::qWaitFor(
        [&] { return std::abs(mapper.deviceValue(SettingKey::NominalCurrent) - (from + 0.2)) < 1e-3; },
        Wait));
    QCOMPARE(entries(DeviceHistory::Setting).size(), 2);

    // The next session of the same device reads what this one kept.
    const QList<Records::Event> kept = history->events();
    history = std::make_unique<DeviceHistory>(*rig.app);
    rig.device->reportValue(id(ModelValueID::SerialNumber));
    QVERIFY(QTest::qWaitFor([&] { return history->events().size() > kept.size(); }, Wait));
    for (int i = 0; i < kept.size(); ++i)
        QCOMPARE(history->events().at(i).text, kept.at(i).text);
}

void TestRecords::recordingKeepsStreamAcrossPages()
{
    Rig rig;
    QVERIFY(rig.open());
    MeasurementCapture capture(*rig.app);
    const QString path = rig.home.filePath(QStringLiteral("start.csv"));
    capture.show(MeasurementCapture::Stream::Voltage);
    QVERIFY(capture.startRecording(path));
    const auto countAbove = [&](qint64 count) {
        return QTest::qWaitFor([&] { return capture.recorder().count() > count; }, Wait);
    };
    QVERIFY(countAbove(30));

    // Another page (say, Control to start the motor): the recorded stream goes on.
    capture.show(MeasurementCapture::Stream::None);
    const qint64 atSwitch = capture.recorder().count();
    QVERIFY(countAbove(atSwitch + 60));
    QVERIFY(rig.device->isMeasuring());

    // The stream stops without the recording's doing (a command on the service page): the
    // gap is said and written into the file, not left silent.
    rig.app->getUSBComponent()->fireModelAction(Model::Interfaces::ModelActionID::StopMeasurement);
    QVERIFY(QTest::qWaitFor([&] { return !capture.streamGap().isEmpty(); },
        MeasurementCapture::StreamGapLimit + Wait));
    QSignalSpy ended(&capture, &MeasurementCapture::recordingEnded);
    QVERIFY(ended.isValid());
    capture.stopRecording();
    QCOMPARE(ended.size(), 1);

    const QStringList lines = fileLines(path);
    const QStringList notes = lines.filter(QRegularExpression(QStringLiteral("^# ")));
    QCOMPARE(notes.size(), 1);
    QVERIFY2(notes.first().contains(QStringLiteral("no values from the device")),
        qPrintable(notes.first()));
    QCOMPARE(lines.size() - 1 - notes.size(), int(capture.recorder().count()));
}

void TestRecords::reportSaysWhatWasNeverMeasured()
{
    Rig rig;
    QVERIFY(rig.open());
    MeasurementCapture capture(*rig.app);
    const auto measured = [&] {
        const auto report = Records::DeviceSnapshot::take(*rig.app, &capture).report({}, {});
        for (const auto& section : report.sections) {
            if (section.title == QStringLiteral("Measured values"))
                return section.rows;
        }
        return QList<CommissioningReport::Row>();
    };
    const auto valueOf = [](const QList<CommissioningReport::Row>& rows, const QString& label) {
        for (const auto& row : rows) {
            if (row.label.startsWith(label))
                return row.value;
        }
        return QStringLiteral("(no row)");
    };

    // Before any stream the model holds defaults; none of them is a measurement.
    QList<CommissioningReport::Row> rows = measured();
    for (const QString& label : {QStringLiteral("Voltage"), QStringLiteral("Current"),
             QStringLiteral("Active power")})
        QCOMPARE(valueOf(rows, label), QStringLiteral("not measured"));

    capture.show(MeasurementCapture::Stream::Voltage);
    QVERIFY(QTest::qWaitFor(
        [&] {
            capture.refresh();
            return capture.latest(Records::Quantity::Voltage, 2).has_value();
        },
        Wait));
    rows = measured();
    QVERIFY2(valueOf(rows, QStringLiteral("Voltage")).endsWith(QStringLiteral(" V")),
        qPrintable(valueOf(rows, QStringLiteral("Voltage"))));
    QCOMPARE(valueOf(rows, QStringLiteral("Current")), QStringLiteral("not measured"));
}

void TestRecords::backupRestoresEverySetting()
{
    Rig rig;
    QVERIFY(rig.open());
    SettingsMapper mapper(rig.model().getSettings());
    const Settings before = mapper.deviceSettings(true);
    QString error;
    const QString backup = Records::SettingsBackups(rig.home.filePath(QStringLiteral("backups")))
                               .save(before, QStringLiteral("4711"),
                                   Records::SettingsBackups::Reason::FactoryReset, &error);
    QVERIFY2(!backup.isEmpty(), qPrintable(error));

    // What a factory reset may change beyond the settings file's twelve.
    const bool softstart = mapper.deviceValue(SettingKey::Softstart) != 0.0;
    const float asymmetry = float(mapper.deviceValue(SettingKey::AsymmetryThreshold));
    rig.device->setUIntValue(id(ModelValueID::SoftstartEnable), softstart ? 0 : 1);
    rig.device->setFloatValue(id(ModelValueID::LoadAsymmetryThreshold), asymmetry - 0.3f);
    rig.device->reportValue(id(ModelValueID::SoftstartEnable));
    rig.device->reportValue(id(ModelValueID::LoadAsymmetryThreshold));
    QVERIFY(QTest::qWaitFor(
        [&] { return (mapper.deviceValue(SettingKey::Softstart) != 0.0) != softstart; }, Wait));
    QVERIFY(QTest::qWaitFor(
        [&] {
            return std::abs(mapper.deviceValue(SettingKey::AsymmetryThreshold) - (asymmetry - 0.3))
                < 1e-3;
        },
        Wait));

    // The restore compares the backup with the device and sends what differs.
    Settings file = mapper.deviceSettings(true);
    file.setSoftstart(std::nullopt);
    file.setLoadAsymmetry(std::nullopt);
    QVERIFY(file.load(backup));
    const SettingsComparison comparison(mapper.deviceSettings(true), file);
    QVERIFY(comparison.isChanged(SettingKey::Softstart));
    QVERIFY(comparison.isChanged(SettingKey::AsymmetryThreshold));
    QCOMPARE(comparison.getChangedCount(), 2);
    for (const auto& row : comparison.getRows()) {
        if (row.changed)
            mapper.write(row.key, row.fileValue);
    }
    QVERIFY(QTest::qWaitFor(
        [&] {
            return (rig.device->uintValue(id(ModelValueID::SoftstartEnable)) != 0) == softstart
                && std::abs(rig.device->floatValue(id(ModelValueID::LoadAsymmetryThreshold))
                       - asymmetry)
                < 1e-3f;
        },
        Wait));
}

void TestRecords::fullDiskLosesNothingWritten_data()
{
    QTest::addColumn<QString>("writer");
    for (const char* writer : {"history", "recording", "backup", "export", "report", "config"})
        QTest::newRow(writer) << QString::fromLatin1(writer);
}

// A full disk, as the file size limit makes it for this process: each writer fails with a
// reason, what it wrote before stays whole and readable, and it works again once there is
// space.
void TestRecords::fullDiskLosesNothingWritten()
{
    QFETCH(QString, writer);
    QTemporaryDir folder;
    qputenv("HOME", QFile::encodeName(folder.path()));
    QStandardPaths::setTestModeEnabled(true);
    const QString path = folder.filePath(QStringLiteral("record"));
    QString error;
    std::function<bool()> write;
    // Whole records in the file afterwards, as its reader takes them.
    std::function<int()> readable;

    Records::EventHistory history(path);
    Records::MeasurementRecorder recorder;
    Settings settings;
    settings.setNominalCurrent(2.5f);
    auto config = Application::R58::Config();
    int events = 0;
    if (writer == "history") {
        write = [&] {
            const bool ok = history.add(QStringLiteral("setting"),
                QStringLiteral("event %1 with a text long enough to cross the limit").arg(events));
            events += ok ? 1 : 0;
            error = history.errorString();
            return ok;
        };
        readable = [&] { return int(Records::EventHistory(path).events().size()); };
    } else if (writer == "recording") {
        QVERIFY(recorder.start(path));
        write = [&] {
            std::vector<Records::MeasurementSample> batch(40, {1000, Records::Quantity::Voltage, 0, 230.5f});
            const bool ok = recorder.write(batch);
            error = recorder.errorString();
            return ok;
        };
        readable = [&] {
            const QStringList lines = fileLines(path);
            for (const QString& line : lines.mid(1)) {
                if (line.split(QLatin1Char(',')).size() != 5)
                    return -1;
            }
            return int(lines.size());
        };
    } else if (writer == "backup") {
        const Records::SettingsBackups backups(folder.filePath(QStringLiteral("backups")));
        write = [&, backups] {
            return !backups.save(settings, QStringLiteral("4711"),
                                   Records::SettingsBackups::Reason::Import, &error)
                        .isEmpty();
        };
        readable = [&] {
            int whole = 0;
            for (const auto& entry : backups.list(QStringLiteral("4711"))) {
                Settings read;
                whole += read.load(entry.path) && read.getLoadedCount() == 12 ? 1 : -1000;
            }
            return whole;
        };
    } else if (writer == "export") {
        write = [&] {
            error = QStringLiteral("export");
            return settings.save(path);
        };
        readable = [&] {
            Settings read;
            return read.load(path) && read.getLoadedCount() == 12 ? 1 : 0;
        };
    } else if (writer == "report") {
        CommissioningReport report;
        report.title = QStringLiteral("Commissioning report");
        report.sections.append({QStringLiteral("Device"), {{QStringLiteral("Serial number"), QStringLiteral("4711")}}});
        write = [&, report] {
            error = QStringLiteral("report");
            return report.writePdf(path);
        };
        readable = [&] {
            QFile file(path);
            return file.open(QIODevice::ReadOnly) && file.readAll().trimmed().endsWith("%%EOF") ? 1 : 0;
        };
    } else {
        write = [&] {
            config.setSettingsDir(folder.filePath(QStringLiteral("a folder with a long enough name")));
            error = config.getFilePath();
            return config.save();
        };
        readable = [&] {
            Application::R58::Config read;
            return read.load() && !read.getSettingsDir().isEmpty() ? 1 : 0;
        };
    }

    QVERIFY(write());
    QVERIFY(write());
    const int before = readable();
    QVERIFY(before > 0);
    QFileInfo info(writer == "backup" ? folder.filePath(QStringLiteral("backups")) : path);

    std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit {};
    getrlimit(RLIMIT_FSIZE, &limit);
    const rlimit saved = limit;
    // An appended file gets room for a few more bytes than it holds, so that the next write
    // crosses the limit; a file replaced whole gets less room than its old self needs.
    const bool appended = writer == "history" || writer == "recording";
    limit.rlim_cur = rlim_t(appended ? QFileInfo(path).size() + 16 : 64);
    QVERIFY(setrlimit(RLIMIT_FSIZE, &limit) == 0);
    const bool written = write();
    setrlimit(RLIMIT_FSIZE, &saved);
    QVERIFY2(!written, "a write past the limit reported success");
    QVERIFY(!error.isEmpty());
    // Nothing already written is lost or cut.
    QCOMPARE(readable(), before);
    // Space again: the same writer goes on.
    if (writer == "recording")
        QVERIFY(recorder.start(path));
    QVERIFY(write());
}

QTEST_MAIN(TestRecords)
#include "tst_records.moc"
