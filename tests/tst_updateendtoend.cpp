// The package update against the simulated device over a pseudo-terminal, wired
// as a device screen wires it.
#include "link/listserialportsource.h"
#include "link/serialport.h"
#include "link/serialportmanager.h"
#include "link/talolinkterminalservice.h"
#include "link/talolinkusbcomponent.h"
#include "model/modelvalueobserver.h"
#include "sim/simulateddevice.h"
#include "update/packageupdateservice.h"
#include "update/updatecontrolservice.h"
#include "updatetestsupport.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QtEndian>
#include <QtTest>

#include <memory>

using Application::R58::ListSerialPortSource;
using Application::R58::SerialPort;
using Application::R58::SerialPortManager;
using Service::R58::PackageUpdateService;
using Service::R58::TaloLinkTerminalService;
using Service::R58::UpdateControlService;
using Simulator::SimulatedDevice;
using namespace UpdateTest;

namespace {

constexpr int Patience = 20000; // milliseconds; a normal run needs well under one second
constexpr quint32 NewPlatformVersion = 0x04040000u;
constexpr quint16 PlatformVersionId = 39;

// A platform image the simulator recognises: it then reports the new version.
QByteArray platformImage()
{
    QByteArray image = randomImage(11, 1300);
    image.replace(0, 4, "R58V");
    qToLittleEndian<quint32>(NewPlatformVersion, image.data() + 4);
    return image;
}

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

QString packageFile(Stack& stack, bool platform, bool display)
{
    Members members {
        {"version.json", manifest("4.4.0", platform ? "p.crypt" : "", display ? "d.crypt" : "")}};
    if (platform)
        members.append({"p.crypt", encrypted(platformImage())});
    if (display)
        members.append({"d.crypt", encrypted(DisplayImage)});
    const QString path = stack.dir.filePath(QStringLiteral("package.tar"));
    return writePackage(path, members) ? path : QString();
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
    void package_data();
    void package();
    void otherDeviceWhileWaitingThenAgain();
};

void TestUpdateEndToEnd::package_data()
{
    QTest::addColumn<bool>("platform");
    QTest::addColumn<bool>("display");
    QTest::addColumn<QStringList>("order"); // the device's frames without blocks
    QTest::newRow("both images") << true << true
                                 << QStringList {"jump P", "announce P 3", "get value 39",
                                        "action 11", "jump D", "announce D 2", "action 12"};
    QTest::newRow("only the platform image")
        << true << false << QStringList {"jump P", "announce P 3", "get value 39"};
    QTest::newRow("only the display image")
        << false << true << QStringList {"jump D", "announce D 2", "action 12"};
}

void TestUpdateEndToEnd::package()
{
    QFETCH(bool, platform);
    QFETCH(bool, display);
    QFETCH(QStringList, order);
    Stack stack;
    QVERIFY(stack.isValid());
    const QString path = packageFile(stack, platform, display);
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
    QCOMPARE(stack.device.receivedImages(Terminal::Platform),
        platform ? QList<QByteArray> {platformImage()} : QList<QByteArray>());
    QCOMPARE(stack.device.receivedImages(Terminal::Display),
        display ? QList<QByteArray> {DisplayImage} : QList<QByteArray>());
    if (platform)
        QCOMPARE(stack.device.uintValue(PlatformVersionId), NewPlatformVersion);

    // The last frame may still be on its way through the line.
    QTRY_COMPARE_WITH_TIMEOUT(
        describeFrames(stack.device.receivedFrames(), false), order, Patience);
    // Every display block lies between the start and the stop of the display update.
    const QStringList frames = describeFrames(stack.device.receivedFrames(), true);
    for (int i = 0; i < frames.size(); ++i) {
        if (frames.at(i).startsWith(QStringLiteral("block D")))
            QVERIFY2(i > frames.indexOf("announce D 2") && i < frames.indexOf("action 12"),
                qPrintable(frames.join(',')));
    }
    QCOMPARE(finished.size(), 1);
}

void TestUpdateEndToEnd::otherDeviceWhileWaitingThenAgain()
{
    Stack stack;
    QVERIFY(stack.isValid());
    stack.device.setRestartDelay(300);
    const QString path = packageFile(stack, true, true);

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
    QVERIFY(finished.isValid());
    stack.packager->openArchive(path);
    stack.packager->start();
    QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 1, Patience);
    QCOMPARE(stateWhenOtherOpened, PackageUpdateService::WaitingForRestart);
    QVERIFY(other.receivedImages(Terminal::Platform).isEmpty());
    QVERIFY(other.receivedImages(Terminal::Display).isEmpty());
    QCOMPARE(stack.device.receivedImages(Terminal::Display).size(), 1);

    // The same package once more, from Finished.
    stack.packager->start();
    QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 2, Patience);
    QCOMPARE(stack.device.receivedImages(Terminal::Platform),
        (QList<QByteArray> {platformImage(), platformImage()}));
    QCOMPARE(stack.device.receivedImages(Terminal::Display),
        (QList<QByteArray> {DisplayImage, DisplayImage}));
    QCOMPARE(stack.device.failedUpdates(), 0);
}

QTEST_GUILESS_MAIN(TestUpdateEndToEnd)
#include "tst_updateendtoend.moc"
