// Faults injected end to end: a device screen on a simulated device that is unplugged during
// updates, sends damaged frames and garbage, or stays silent, and files that cannot be written.
// The update runs through the screen's own services, with the terminal service's block requests
// answered by the update control service as on the device screen.
#include "config/settings.h"
#include "link/serialport.h"
#include "subscreentestsupport.h"
#include "update/packageupdateservice.h"
#include "update/updatecontrolservice.h"
#include "updatetestsupport.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QPushButton>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QThread>
#include <QTimer>
#include <QtTest>

#include <functional>
#include <memory>

using Application::R58::SerialPortManager;
using Application::R58::Settings;
using Application::R58::UserAccount;
using Service::R58::PackageUpdateService;
using Service::R58::TaloLinkTerminalService;
using Service::R58::UpdateControlService;
using Simulator::SimulatedDevice;
using UpdateTest::Terminal;

namespace {

constexpr int Patience = 20000; // milliseconds; a normal run needs well under one second
// Long enough that no healthy transfer under a sanitizer comes near it.
constexpr int Stall = 3000;
// The restarted device's return and its version answer, shortened from a minute.
constexpr int Restart = 5000;

const QByteArray PlatformImage = UpdateTest::versionedImage(21, 40000);
const QByteArray DisplayImage = UpdateTest::randomImage(22, 30000);

// A device screen on a simulated device, its port polled quickly, a package with both images
// beside it, and a heartbeat on the GUI thread that also compares the tab's closability with
// the package update's state.
struct Rig
{
    SubScreenTest::Bench bench;
    QTimer poll;
    QTimer heartbeat;
    int beats = 0;
    int mismatches = 0;
    bool everUnclosable = false;
    bool acted = false;
    QString package;
    std::unique_ptr<QSignalSpy> finished;
    std::unique_ptr<QSignalSpy> errors;
    QObject context; // first to go: no hook runs while the rest is torn down

    // Without `waitForStartup`, the screen is built but nothing is awaited: a silent device
    // answers none of the start-up requests.
    bool start(bool waitForStartup = true)
    {
        SimulatedDevice& device = bench.device ? *bench.device : bench.addDevice();
        device.setRestartDelay(100);
        if (waitForStartup) {
            if (!bench.open(UserAccount::Supervisor))
                return false;
        } else {
            bench.account->setUser(UserAccount::Supervisor);
            if (!device.plugIn())
                return false;
            bench.manager->poll();
            bench.screen = std::make_unique<R58SubScreen>(
                bench.account, bench.config, bench.manager, device.portName());
            bench.screen->initialize();
        }
        // The screen itself passes the device's block requests to the transfer.
        packager()->setWaits({50, 20, 50, Stall, Stall, Restart, Stall});
        finished = std::make_unique<QSignalSpy>(
            packager(), &PackageUpdateService::packageUpdateFinished);
        errors = std::make_unique<QSignalSpy>(
            packager(), &PackageUpdateService::packageUpdateErrorOccured);
        QObject::connect(&poll, &QTimer::timeout, bench.manager.data(), &SerialPortManager::poll);
        poll.start(20);
        QObject::connect(&heartbeat, &QTimer::timeout, [this] {
            ++beats;
            const bool closable = bench.screen->isClosable();
            if (closable == packager()->isUpdating())
                ++mismatches;
            everUnclosable = everUnclosable || !closable;
        });
        heartbeat.start(5);
        package = bench.home.filePath(QStringLiteral("package.tar"));
        return UpdateTest::writePackage(package,
            {{"version.json",
                 UpdateTest::manifest(QStringLiteral("4.4.0"), QStringLiteral("p.crypt"),
                     QStringLiteral("d.crypt"))},
                {"p.crypt", UpdateTest::encrypted(PlatformImage)},
                {"d.crypt", UpdateTest::encrypted(DisplayImage)}});
    }

    [[nodiscard]] PackageUpdateService* packager() const
    {
        return bench.screen->getPackageUpdateService().data();
    }
    [[nodiscard]] UpdateControlService* updater() const
    {
        return bench.screen->getUpdateControlService().data();
    }
    [[nodiscard]] SimulatedDevice& device() const { return *bench.device; }
    [[nodiscard]] bool portKnown() const
    {
        return bench.manager->getKnownPorts().contains(bench.device->portName());
    }
    void startPackage()
    {
        packager()->openArchive(package);
        packager()->start();
    }
    [[nodiscard]] QString error() const
    {
        return errors->isEmpty() ? QString() : errors->at(0).at(0).toString();
    }
    // Waits for the package update's failure; true when it is the only one and says `part`.
    bool failedWith(const QString& part)
    {
        const bool right = QTest::qWaitFor([this] { return !errors->isEmpty(); }, Patience)
            && errors->size() == 1 && error().contains(part);
        if (!right)
            qWarning("%d failures, the first: %s", int(errors->size()), qPrintable(error()));
        return right;
    }
    // Runs `act` once, outside the transfer's own call, as soon as a transfer passes 30 %
    // (in a package: of the platform image, the first).
    void midTransfer(const std::function<void()>& act)
    {
        QObject::connect(
            updater(), &UpdateControlService::progressChanged, &context, [this, act](int percent) {
                if (!acted && percent >= 30) {
                    acted = true;
                    QTimer::singleShot(0, &context, act);
                }
            });
    }
    // Over, as far as the user can tell: the tab closes, the GUI thread runs, and the tab's
    // closability matched the update's state throughout.
    bool idle() { return bench.screen->isClosable() && stillBeating() && mismatches == 0; }
    // True once the GUI thread has run the heartbeat a few more times.
    bool stillBeating()
    {
        const int before = beats;
        return QTest::qWaitFor([&] { return beats >= before + 3; }, Patience);
    }
};

// Whether the device's last images are those of the package.
bool tookPackage(const SimulatedDevice& device)
{
    const QList<QByteArray> platform = device.receivedImages(Terminal::Platform);
    const QList<QByteArray> display = device.receivedImages(Terminal::Display);
    return !platform.isEmpty() && platform.last() == PlatformImage && !display.isEmpty()
        && display.last() == DisplayImage;
}

// The measurement voltage reports among the device's sent frames: intact and damaged.
QPair<int, int> voltageReports(const QList<SimulatedDevice::SentFrame>& frames)
{
    int intact = 0;
    int damaged = 0;
    for (const SimulatedDevice::SentFrame& frame : frames) {
        const UpdateTest::TaloLinkPacket packet = UpdateTest::TaloLinkPacket::decode(frame.bytes);
        if (packet.command == UpdateTest::TaloLinkCommandID::SetModelValue
            && UpdateTest::argNumber(packet, 0)
                == quint32(SubScreenTest::ModelValueID::MeasurementVoltage))
            (frame.intact ? intact : damaged) += 1;
    }
    return {intact, damaged};
}

} // namespace

class TestFaultInjection : public QObject
{
    Q_OBJECT

private slots:
    void unplugDuringImageUpdate();
    void unplugDuringPackageUpdate();
    void damagedFrames_data();
    void damagedFrames();
    void silentDevice();
    void unwritableConfig();
    void noBlockAfterFailure();
    void deviceNotBack_data();
    void deviceNotBack();
    void unplugStorm();
};

void TestFaultInjection::unplugDuringImageUpdate()
{
    const Terminal target = Terminal::Platform;
    Rig rig;
    QVERIFY(rig.start());
    const QByteArray file = UpdateTest::encrypted(PlatformImage);
    QSignalSpy done(rig.updater(), &UpdateControlService::updateFinished);
    rig.midTransfer([&rig] { rig.device().unplug(); });
    auto startUpdate = [&] {
        rig.bench.screen->getUSBComponent()->jumpToBootloader(target);
        rig.updater()->start(file, UpdateControlService::Encrypted, target);
    };
    startUpdate();
    QTRY_VERIFY_WITH_TIMEOUT(rig.acted && !rig.portKnown(), Patience);
    QVERIFY(done.isEmpty());
    QVERIFY(rig.device().receivedImages(target).isEmpty());
    QVERIFY(rig.stillBeating());

    // The device returns; the same image goes through whole.
    QVERIFY(rig.device().plugIn());
    QTRY_VERIFY_WITH_TIMEOUT(rig.portKnown(), Patience);
    startUpdate();
    QTRY_COMPARE_WITH_TIMEOUT(done.size(), 1, Patience);
    QTRY_COMPARE_WITH_TIMEOUT(
        rig.device().receivedImages(target), QList<QByteArray> {PlatformImage}, Patience);
    QCOMPARE(rig.device().failedUpdates(), 0);
    // A single image is no package update: the tab could be closed throughout.
    QVERIFY(!rig.everUnclosable);
    QCOMPARE(rig.mismatches, 0);
}

// Pulled during the platform transfer, the update fails visibly, the tab can close again, and
// the same package goes through once the device is back.
void TestFaultInjection::unplugDuringPackageUpdate()
{
    Rig rig;
    QVERIFY(rig.start());
    rig.midTransfer([&rig] { rig.device().unplug(); });
    rig.startPackage();
    QVERIFY(rig.failedWith(QStringLiteral("disconnected")));
    QCOMPARE(rig.packager()->getUpdateState(), PackageUpdateService::Failed);
    QVERIFY(rig.finished->isEmpty());
    QVERIFY(rig.idle());

    QVERIFY(rig.device().plugIn());
    QTRY_VERIFY_WITH_TIMEOUT(rig.portKnown(), Patience);
    rig.startPackage();
    QTRY_COMPARE_WITH_TIMEOUT(rig.finished->size(), 1, Patience);
    QCOMPARE(rig.packager()->getUpdateState(), PackageUpdateService::Finished);
    QVERIFY(tookPackage(rig.device()));
    QCOMPARE(rig.device().failedUpdates(), 0);
    QVERIFY(rig.everUnclosable);
    QVERIFY(rig.idle());
}

void TestFaultInjection::damagedFrames_data()
{
    QTest::addColumn<bool>("stream"); // else a package transfer
    QTest::addColumn<double>("garbageRate"); // beside 5 % corrupted frames
    QTest::newRow("stream, 5 % corrupted") << true << 0.0;
    QTest::newRow("stream, both") << true << 0.2;
    QTest::newRow("transfer, 5 % corrupted") << false << 0.0;
}

void TestFaultInjection::damagedFrames()
{
    QFETCH(bool, stream);
    QFETCH(double, garbageRate);
    Rig rig;
    QVERIFY(rig.start());
    SimulatedDevice& device = rig.device();
    SimulatedDevice::Faults faults;
    faults.corruptRate = 0.05;
    faults.garbageRate = garbageRate;

    if (stream) {
        QSignalSpy values(rig.bench.screen->getTerminalService().data(),
            &TaloLinkTerminalService::measurementVoltageModelValue);
        device.clearSentFrames();
        device.setFaults(faults);
        rig.bench.widget<QPushButton>("pushButtonData")->click();
        QTRY_VERIFY_WITH_TIMEOUT(voltageReports(device.sentFrames()).first >= 60, Patience);
        device.setFaults({});
        // Leaving the page stops the stream; the barrier then sees everything sent handled.
        rig.bench.widget<QPushButton>("pushButtonInformations")->click();
        QTRY_VERIFY_WITH_TIMEOUT(!device.isMeasuring(), Patience);
        QVERIFY(rig.bench.sync());
        const auto [intact, damaged] = voltageReports(device.sentFrames());
        QVERIFY(damaged > 0);
        const int arrived = values.size();
        const QByteArray counts = QByteArray::number(arrived) + " of " + QByteArray::number(intact);
        // No damaged frame ever counts as a value.
        QVERIFY2(arrived <= intact, counts);
        // A damaged frame costs only itself; a burst of garbage may take the next frame along.
        QVERIFY2(arrived >= (garbageRate > 0 ? intact / 2 : intact), counts);
        QVERIFY(rig.stillBeating());
        return;
    }

    device.setFaults(faults);
    rig.startPackage();
    // A lost block request is never repeated: the update then stops and says so.
    QTRY_VERIFY_WITH_TIMEOUT(rig.finished->size() + rig.errors->size() == 1, Patience);
    const bool failed = !rig.errors->isEmpty();
    QVERIFY(failed ? !rig.error().isEmpty() : tookPackage(device));
    // The host never sends a wrong block, so the device never takes a wrong image.
    QCOMPARE(device.failedUpdates(), 0);
    QVERIFY(rig.idle());

    // Nothing is lost: on a clean line the same package goes through.
    device.setFaults({});
    QTRY_VERIFY_WITH_TIMEOUT(rig.portKnown(), Patience);
    rig.startPackage();
    QTRY_COMPARE_WITH_TIMEOUT(rig.finished->size(), failed ? 1 : 2, Patience);
    QVERIFY(tookPackage(device));
    QVERIFY(rig.idle());
}

void TestFaultInjection::silentDevice()
{
    // Silent from the start: the screen must not wait for the start-up's answers.
    Rig rig;
    SimulatedDevice::Faults silent;
    silent.silent = true;
    rig.bench.addDevice().setFaults(silent);
    QVERIFY(rig.start(false));

    // Every page opens, and the GUI thread keeps running after each switch.
    auto* pages = rig.bench.widget<QStackedWidget>("stackedWidgetMain");
    for (const char* button : {"pushButtonConfiguration", "pushButtonData", "pushButtonControl",
             "pushButtonAbout", "pushButtonInformations"}) {
        const int before = pages->currentIndex();
        rig.bench.widget<QPushButton>(button)->click();
        QVERIFY2(pages->currentIndex() != before, button);
        QVERIFY(rig.stillBeating());
    }
    QVERIFY(!rig.device().receivedFrames().isEmpty());
    QVERIFY(rig.bench.screen->isClosable());

    // A package update waits no longer than its documented waits, then says why it stopped.
    rig.packager()->setWaits({50, 20, 50, 300, 300});
    rig.startPackage();
    QVERIFY(rig.stillBeating());
    QVERIFY(rig.failedWith(QStringLiteral("did not start asking")));
    QVERIFY(rig.everUnclosable);
    QVERIFY(rig.idle());
}

// Export and import remember the folder alike; both say so when config.json cannot be written.
void TestFaultInjection::unwritableConfig()
{
    SubScreenTest::Bench bench;
    QVERIFY(bench.open(UserAccount::Supervisor));
    const QString settingsPath = bench.home.filePath(QStringLiteral("device.json"));
    bench.answerFileDialogs(settingsPath);
    // config.json as a folder: the config cannot be replaced, not even by root.
    QFile::remove(bench.config->getFilePath());
    QVERIFY(QDir().mkpath(bench.config->getFilePath()));
    auto* message = bench.widget<QLabel>("labelSettingsMessage");
    for (const char* button : {"pushButtonExport", "pushButtonImport"}) {
        bench.config->setSettingsDir(QString());
        bench.widget<QPushButton>(button)->click();
        const QString text = message->text();
        QVERIFY2(message->property("failure").toBool(), qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("could not be remembered")), qPrintable(text));
        QVERIFY2(
            text.contains(QDir::toNativeSeparators(bench.config->getFilePath())), qPrintable(text));
        // Nothing is lost: the settings file is whole, and the folder is kept for this run.
        Settings settings;
        QVERIFY(settings.load(settingsPath));
        QVERIFY(settings.getLoadedCount() > 0);
        QCOMPARE(bench.config->getSettingsDir(), settingsPath);
        QVERIFY(QFileInfo(bench.config->getFilePath()).isDir());
        // The device moves away from the exported file, so that the import has something to send.
        bench.reportFloat(2, 2.4f);
        QVERIFY(bench.sync());
    }
    QCOMPARE(bench.writtenValues(), QList<int> {2});
}

void TestFaultInjection::noBlockAfterFailure()
{
    Rig rig;
    QVERIFY(rig.start());
    SimulatedDevice& device = rig.device();
    // The device falls silent halfway through the platform image: the update fails.
    rig.midTransfer([&device] {
        SimulatedDevice::Faults silent;
        silent.silent = true;
        device.setFaults(silent);
    });
    rig.startPackage();
    QVERIFY(rig.failedWith(QStringLiteral("stopped asking")));

    // Its boot loader asks again: it gets nothing.
    device.setFaults({});
    device.clearReceivedFrames();
    // Counted on the GUI thread: the request is reported on the receive thread.
    QObject context;
    int asked = 0;
    QObject::connect(
        rig.bench.screen->getTerminalService().data(), &TaloLinkTerminalService::requestMemblock,
        &context, [&asked] { ++asked; }, Qt::QueuedConnection);
    device.sendFrame(
        Terminal::Platform, UpdateTest::TaloLinkCommandID::Memblock, {QByteArray::fromHex("0000")});
    QTRY_COMPARE_WITH_TIMEOUT(asked, 1, Patience);
    QCoreApplication::processEvents();
    // A boot loader answers no value requests; a frame sent after the request's handling
    // marks the point by which any answer would have gone out.
    rig.bench.screen->getUSBComponent()->jumpToBootloader(Terminal::Platform);
    QTRY_VERIFY_WITH_TIMEOUT(!device.receivedFrames().isEmpty(), Patience);
    QCOMPARE(device.receivedFrames().size(), 1);
    QCOMPARE(UpdateTest::describe(UpdateTest::TaloLinkPacket::decode(device.receivedFrames()[0])),
        QStringLiteral("jump P"));
    QVERIFY(device.receivedImages(Terminal::Platform).isEmpty());
}

void TestFaultInjection::deviceNotBack_data()
{
    QTest::addColumn<bool>("duringSettle");
    QTest::newRow("does not return after the restart") << false;
    QTest::newRow("gone again while its port settles") << true;
}

void TestFaultInjection::deviceNotBack()
{
    QFETCH(bool, duringSettle);
    Rig rig;
    QVERIFY(rig.start());
    SimulatedDevice& device = rig.device();
    PackageUpdateService* packager = rig.packager();
    packager->setWaits({50, 600, 50, Stall, Stall, Restart, Stall});
    bool pulled = false;
    bool back = false; // plugged in again after taking the platform image
    QObject context;
    QObject::connect(&device, &SimulatedDevice::pluggedIn, &context,
        [&] { back = !device.receivedImages(Terminal::Platform).isEmpty(); });
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, &context, [&] {
        // Pulled once the returned port is known, while the update lets it settle.
        if (!duringSettle || pulled || !back
            || packager->getUpdateState() != PackageUpdateService::WaitingForRestart
            || !rig.portKnown())
            return;
        pulled = true;
        device.unplug();
    });
    watch.start(5);
    // The nesting depth at which the manager reported the pulled port gone: above the test's
    // own, the port poll ran inside the update's settle wait and saw the pull there.
    int closedAtLevel = -1;
    QObject::connect(rig.bench.manager.data(), &SerialPortManager::portClosed, &context,
        [&](const QString& name) {
            if (pulled && closedAtLevel < 0 && name == device.portName())
                closedAtLevel = QThread::currentThread()->loopLevel();
        });
    const int testLevel = QThread::currentThread()->loopLevel();
    // Away for good, as far as this test is concerned.
    device.setRestartDelay(duringSettle ? 100 : 10 * Patience);

    rig.startPackage();
    QVERIFY(rig.failedWith(QStringLiteral("did not come back")));
    QCOMPARE(pulled, duringSettle);
    if (duringSettle)
        QVERIFY2(closedAtLevel > testLevel, qPrintable(QString::number(closedAtLevel)));
    QVERIFY(rig.finished->isEmpty());
    QCOMPARE(packager->getUpdateState(), PackageUpdateService::Failed);
    QVERIFY(rig.idle());
}

// A device that goes and comes back a hundred times, at random moments: while it streams, while
// a recording runs and during package updates. Nothing crashes or leaks (the sanitizer suite
// runs this too), the tab is never stuck in "updating", every recording file reads whole and
// every update ends either done or with its message.
void TestFaultInjection::unplugStorm()
{
    constexpr int Cycles = 100;
    constexpr int UpdateEvery = 34; // three package updates among the cycles
    Rig rig;
    QVERIFY(rig.start());
    SimulatedDevice& device = rig.device();
    QRandomGenerator random(0x5EED);
    const auto pause = [&random](int most) { QTest::qWait(int(random.bounded(most + 1))); };
    QStringList recordings;
    int updates = 0;

    for (int cycle = 0; cycle < Cycles; ++cycle) {
        if (!device.isPlugged()) {
            QVERIFY(device.plugIn());
            QVERIFY(QTest::qWaitFor([&] { return rig.portKnown(); }, Patience));
        }
        // The user opens the data page again and records, as after every return.
        rig.bench.widget<QPushButton>("pushButtonVoltageData")->click();
        if (!rig.bench.widget<QPushButton>("pushButtonRecord")->property("recording").toBool()) {
            recordings << rig.bench.home.filePath(QStringLiteral("storm_%1.csv").arg(cycle));
            rig.bench.answerFileDialogs(recordings.last());
            rig.bench.widget<QPushButton>("pushButtonRecord")->click();
        }
        if (cycle % UpdateEvery == UpdateEvery - 1 && !rig.packager()->isUpdating()) {
            ++updates;
            rig.startPackage();
            pause(400);
        } else {
            pause(40);
        }
        device.unplug();
        pause(30);
    }
    QVERIFY(device.plugIn());
    QVERIFY(QTest::qWaitFor([&] { return rig.portKnown(); }, Patience));
    // Every update ended, one way or the other, and the tab followed it.
    QVERIFY(QTest::qWaitFor([&] { return !rig.packager()->isUpdating(); }, Patience + Restart));
    QVERIFY(rig.idle());
    QCOMPARE(int(rig.finished->size() + rig.errors->size()), updates);
    for (const auto& error : qAsConst(*rig.errors))
        QVERIFY(!error.at(0).toString().isEmpty());
    // Closing the tab ends the last recording; every file reads line by line.
    rig.bench.screen.reset();
    QVERIFY(!recordings.isEmpty());
    for (const QString& path : qAsConst(recordings)) {
        QFile file(path);
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(path));
        const QList<QByteArray> lines = file.readAll().split('\n');
        QCOMPARE(lines.first(), QByteArray("time,quantity,phase,value,unit"));
        for (const QByteArray& line : lines.mid(1)) {
            if (!line.isEmpty() && !line.startsWith('#'))
                QVERIFY2(line.split(',').size() == 5, line.constData());
        }
    }
}

QTEST_MAIN(TestFaultInjection)
#include "tst_faultinjection.moc"
