// The updates against the simulated device over a pseudo-terminal: the package update wired
// by hand, and both updates on nothing but the application object, as a command line would
// drive them.
#include "app/application.h"
#include "config/config.h"
#include "config/useraccount.h"
#include "link/listserialportsource.h"
#include "link/serialport.h"
#include "link/serialportmanager.h"
#include "link/talolinkterminalservice.h"
#include "link/talolinkusbcomponent.h"
#include "model/modelvalueobserver.h"
#include "sim/simulateddevice.h"
#include "update/packageupdateservice.h"
#include "update/singleimageupdate.h"
#include "update/updatecontrolservice.h"
#include "updatetestsupport.h"

#include <QRegularExpression>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <memory>

using Application::R58::ListSerialPortSource;
using Application::R58::SerialPort;
using Application::R58::SerialPortManager;
using Service::R58::PackageUpdateService;
using Service::R58::SingleImageUpdate;
using Service::R58::TaloLinkTerminalService;
using Service::R58::UpdateControlService;
using Simulator::SimulatedDevice;
using namespace UpdateTest;

namespace {

constexpr int Patience = 20000; // milliseconds; a normal run needs well under one second
// Long enough that no healthy transfer under a sanitizer comes near it, short enough that a
// failure shows well within the patience.
constexpr int Stall = 3000; // milliseconds
constexpr int Restart = 5000; // milliseconds; the restarted device's return
constexpr quint16 PlatformVersionId = 39;

// The simulator recognises it, and then reports the manifest's platform version.
const QByteArray PlatformImage = versionedImage(11, 1300);
const QByteArray DisplayImage = randomImage(12, 1000);

// One simulated device and the link stack of its device screen.
class Stack
{
public:
    Stack()
    {
        device.setRestartDelay(100);
        if (!device.plugIn())
            return;
        manager->setPolling(false);
        manager->poll();
        port = manager->getPort(device.portName());
        if (!port)
            return;
        component = std::make_unique<Component::R58::TaloLinkUSBComponent>(port);
        terminal = std::make_unique<TaloLinkTerminalService>(port, values);
        packager = std::make_unique<PackageUpdateService>(updater, manager, device.portName());
        terminal->addComponent(*component);
        updater->addComponent(*component);
        packager->addComponent(*component);
        QObject::connect(terminal.get(), &TaloLinkTerminalService::requestMemblock, updater.data(),
            &UpdateControlService::sendMemoryBlock);
        // No model here: the version the device reported is the one it holds.
        QObject::connect(terminal.get(), &TaloLinkTerminalService::platformVersionModelValue,
            packager.get(),
            [this] { packager->handleDevicePlatformVersion(device.uintValue(PlatformVersionId)); });
        terminal->startup();
        updater->startup();
        packager->startup();
        packager->setWaits({50, 20, 50});

        // The manager's own one-second poll is too slow for a short test.
        QObject::connect(&pollTimer, &QTimer::timeout, manager.data(), &SerialPortManager::poll);
        pollTimer.start(20);
    }
    ~Stack()
    {
        pollTimer.stop();
        terminal.reset(); // joins the receive thread
    }

    [[nodiscard]] bool isValid() const { return device.isPlugged() && port && port->isOpen(); }

    QTemporaryDir dir;
    QSharedPointer<ListSerialPortSource> source = QSharedPointer<ListSerialPortSource>::create();
    SimulatedDevice device {dir.path(), source};
    QSharedPointer<SerialPortManager> manager = QSharedPointer<SerialPortManager>::create(source);
    QSharedPointer<SerialPort> port;
    QSharedPointer<Model::Observer::ModelValueObserver> values
        = QSharedPointer<Model::Observer::ModelValueObserver>::create();
    std::unique_ptr<Component::R58::TaloLinkUSBComponent> component;
    std::unique_ptr<TaloLinkTerminalService> terminal;
    QSharedPointer<UpdateControlService> updater = QSharedPointer<UpdateControlService>::create();
    std::unique_ptr<PackageUpdateService> packager;
    QTimer pollTimer;
};

// One simulated device and an application object on it, nothing else.
class ApplicationStack
{
public:
    ApplicationStack()
    {
        QStandardPaths::setTestModeEnabled(true);
        device.setRestartDelay(100);
        if (!device.plugIn())
            return;
        manager->setPolling(false);
        manager->poll();
        application = std::make_unique<Application::R58::Application>(
            QSharedPointer<Application::R58::UserAccount>::create(),
            QSharedPointer<Application::R58::Config>::create(), manager, device.portName());
        application->initialize();
        application->getPackageUpdateService()->setWaits(
            {50, 20, 50, Stall, Stall, Restart, Stall});
        QObject::connect(&pollTimer, &QTimer::timeout, manager.data(), &SerialPortManager::poll);
        pollTimer.start(20);
    }

    [[nodiscard]] bool isValid() const
    {
        return application && application->getSerialPort()
            && application->getSerialPort()->isOpen();
    }

    QTemporaryDir dir;
    QSharedPointer<ListSerialPortSource> source = QSharedPointer<ListSerialPortSource>::create();
    SimulatedDevice device {dir.path(), source};
    QSharedPointer<SerialPortManager> manager = QSharedPointer<SerialPortManager>::create(source);
    std::unique_ptr<Application::R58::Application> application;
    QTimer pollTimer;
};

QString packageFile(const QTemporaryDir& dir)
{
    const QString path = dir.filePath(QStringLiteral("package.tar"));
    return writePackage(path,
               {{"version.json", manifest("4.4.0", "p.crypt", "d.crypt")},
                   {"p.crypt", encrypted(PlatformImage)}, {"d.crypt", encrypted(DisplayImage)}})
        ? path
        : QString();
}

// Every frame the device received, described, without name requests.
QStringList describeFrames(const QList<QByteArray>& frames, bool withBlocks)
{
    QStringList lines;
    for (const QByteArray& frame : frames) {
        const TaloLinkPacket packet = TaloLinkPacket::decode(frame);
        if (packet.command != TaloLinkCommandID::GetName
            && (withBlocks || packet.command != TaloLinkCommandID::Memblock))
            lines.append(describe(packet));
    }
    return lines;
}

} // namespace

class TestUpdateEndToEnd : public QObject
{
    Q_OBJECT

private slots:
    void package();
    void otherDeviceWhileWaitingThenAgain();
    void packageByApplicationAlone();
    void singleImageStalls_data();
    void singleImageStalls();
};

// Both images, in the device's order; a package with one image only takes the same steps
// less the other image's, which the package update service's own test follows.
void TestUpdateEndToEnd::package()
{
    Stack stack;
    QVERIFY(stack.isValid());
    const QString path = packageFile(stack.dir);
    QSignalSpy finished(stack.packager.get(), &PackageUpdateService::packageUpdateFinished);
    QSignalSpy errors(stack.packager.get(), &PackageUpdateService::packageUpdateErrorOccured);
    QSignalSpy progress(stack.packager.get(), &PackageUpdateService::packageUpdateProgressChanged);
    // The name requests of the terminal service's start-up are not part of the update.
    QTRY_COMPARE_WITH_TIMEOUT(stack.device.receivedFrames().size(), 2, Patience);
    stack.device.clearReceivedFrames();
    stack.packager->openArchive(path);
    stack.packager->start();
    QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 1, Patience);
    QCOMPARE(stack.packager->getUpdateState(), PackageUpdateService::Finished);
    QVERIFY(errors.isEmpty());
    QCOMPARE(progress.last().at(0).toInt(), 100);
    QCOMPARE(stack.device.failedUpdates(), 0);
    QCOMPARE(stack.device.receivedImages(Terminal::Platform), QList<QByteArray> {PlatformImage});
    QCOMPARE(stack.device.receivedImages(Terminal::Display), QList<QByteArray> {DisplayImage});

    // The last frame may still be on its way through the line.
    const QStringList order {"jump P", "announce P 3", "get value 39", "action 11", "jump D",
        "announce D 2", "action 12"};
    QTRY_COMPARE_WITH_TIMEOUT(
        describeFrames(stack.device.receivedFrames(), false), order, Patience);
    // Every display block lies between the start and the stop of the display update.
    const QStringList frames = describeFrames(stack.device.receivedFrames(), true);
    const QRegularExpression block(QStringLiteral("block D .*"));
    QVERIFY2(frames.indexOf(block) > frames.indexOf("announce D 2")
            && frames.lastIndexOf(block) < frames.indexOf("action 12"),
        qPrintable(frames.join(',')));
}

void TestUpdateEndToEnd::otherDeviceWhileWaitingThenAgain()
{
    Stack stack;
    QVERIFY(stack.isValid());
    stack.device.setRestartDelay(300);
    const QString path = packageFile(stack.dir);

    // A second device arrives while the first restarts after its platform image.
    SimulatedDevice other(stack.dir.path(), stack.source);
    QObject::connect(
        &stack.device, &SimulatedDevice::imageReceived, &other, [&other](Terminal terminal) {
            if (terminal == Terminal::Platform)
                other.plugIn();
        });
    PackageUpdateService::State stateWhenOtherOpened = PackageUpdateService::NoPackage;
    QObject::connect(
        stack.manager.data(), &SerialPortManager::portOpened, &other, [&](const QString& name) {
            if (name == other.portName())
                stateWhenOtherOpened = stack.packager->getUpdateState();
        });
    QSignalSpy finished(stack.packager.get(), &PackageUpdateService::packageUpdateFinished);
    stack.packager->openArchive(path);
    stack.packager->start();
    QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 1, Patience);
    QCOMPARE(stateWhenOtherOpened, PackageUpdateService::WaitingForRestart);
    QVERIFY(other.receivedImages(Terminal::Platform).isEmpty());
    QVERIFY(other.receivedImages(Terminal::Display).isEmpty());

    // The same package once more, from Finished.
    stack.packager->start();
    QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 2, Patience);
    QCOMPARE(stack.device.receivedImages(Terminal::Platform),
        (QList<QByteArray> {PlatformImage, PlatformImage}));
    QCOMPARE(stack.device.receivedImages(Terminal::Display),
        (QList<QByteArray> {DisplayImage, DisplayImage}));
    QCOMPARE(stack.device.failedUpdates(), 0);
}

// The restarted platform's version report reaches the package update without any screen.
void TestUpdateEndToEnd::packageByApplicationAlone()
{
    ApplicationStack stack;
    QVERIFY(stack.isValid());
    PackageUpdateService* packager = stack.application->getPackageUpdateService().data();
    QSignalSpy finished(packager, &PackageUpdateService::packageUpdateFinished);
    QSignalSpy errors(packager, &PackageUpdateService::packageUpdateErrorOccured);
    packager->openArchive(packageFile(stack.dir));
    packager->start();
    QTRY_COMPARE_WITH_TIMEOUT(finished.size() + errors.size(), 1, Patience);
    QVERIFY2(errors.isEmpty(), qPrintable(errors.value(0).value(0).toString()));
    QCOMPARE(stack.device.receivedImages(Terminal::Platform), QList<QByteArray> {PlatformImage});
    QCOMPARE(stack.device.receivedImages(Terminal::Display), QList<QByteArray> {DisplayImage});
}

void TestUpdateEndToEnd::singleImageStalls_data()
{
    QTest::addColumn<bool>("midway"); // else silent from the start
    QTest::addColumn<QString>("message");
    QTest::newRow("never asks for the first block")
        << false << QStringLiteral("The device did not start asking for the update's data");
    QTest::newRow("stops asking midway")
        << true << QStringLiteral("The device stopped asking for the update's data");
}

// The single image waits as long as the package update's waits allow, then drops the transfer
// and says which way the device failed.
void TestUpdateEndToEnd::singleImageStalls()
{
    QFETCH(bool, midway);
    QFETCH(QString, message);
    ApplicationStack stack;
    QVERIFY(stack.isValid());
    const Application::R58::Application& application = *stack.application;
    SingleImageUpdate update(application.getUpdateControlService(),
        application.getPackageUpdateService(), stack.manager, stack.device.portName());
    QSignalSpy finished(&update, &SingleImageUpdate::finished);
    QSignalSpy failed(&update, &SingleImageUpdate::failed);
    SimulatedDevice::Faults silent;
    silent.silent = true;
    QObject context;
    if (midway) {
        QObject::connect(&update, &SingleImageUpdate::progressChanged, &context, [&](int percent) {
            if (percent >= 30)
                stack.device.setFaults(silent);
        });
    } else {
        stack.device.setFaults(silent);
    }
    application.getUSBComponent()->jumpToBootloader(Terminal::Platform);
    update.setImagePath(stack.dir.filePath(QStringLiteral("image.bin")));
    update.start(randomImage(13, 40000), Terminal::Platform);
    QVERIFY(update.isRunning());

    // Shorter than the default waits, which would end the update only after it.
    QTRY_COMPARE_WITH_TIMEOUT(failed.size(), 1, 8000);
    QVERIFY2(failed.first().first().toString().startsWith(message),
        qPrintable(failed.first().first().toString()));
    QVERIFY(finished.isEmpty());
    QVERIFY(!update.isRunning());
    // Dropped, so that a request the device sends later gets nothing.
    QVERIFY(!application.getUpdateControlService()->isTransferring());
    QVERIFY(stack.device.receivedImages(Terminal::Platform).isEmpty());
}

QTEST_GUILESS_MAIN(TestUpdateEndToEnd)
#include "tst_updateendtoend.moc"
