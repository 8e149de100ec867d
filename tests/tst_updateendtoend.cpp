// The package update against the simulated device over a real pseudo-terminal,
// wired as a device screen wires it: the terminal service turns the device's
// block requests into requestMemblock, which the update control service answers.
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

QByteArray displayImage()
{
    return randomImage(12, 1000);
}

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
        for (Component::Interfaces::AbstractService* service :
            std::initializer_list<Component::Interfaces::AbstractService*> {
                terminal.get(), updater.data(), packager.get()})
            service->addComponent(*component);
        QObject::connect(terminal.get(), &TaloLinkTerminalService::requestMemblock, updater.data(),
            &UpdateControlService::sendMemoryBlock);
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

struct Row
{
    bool platform;
    bool display;
    bool damageDisplay;
    // The device's frames in order, without name requests and blocks.
    QStringList order;
};

// Every frame the device received, described; blocks and name requests apart.
QStringList describeFrames(const QList<QByteArray>& frames, bool withBlocks)
{
    QStringList lines;
    for (const QByteArray& frame : frames) {
        const TaloLinkPacket packet = TaloLinkPacket::decode(frame);
        if (packet.command == TaloLinkCommandID::GetName)
            continue;
        if (packet.command == TaloLinkCommandID::Memblock && !withBlocks)
            continue;
        lines.append(describe(packet));
    }
    return lines;
}

} // namespace

Q_DECLARE_METATYPE(Row)

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
    QTest::addColumn<Row>("row");
    QTest::newRow("both images") << Row {true, true, false,
        {"jump P", "announce P 3", "action 11", "jump D", "announce D 2", "action 12"}};
    QTest::newRow("only the platform image")
        << Row {true, false, false, {"jump P", "announce P 3"}};
    QTest::newRow("only the display image")
        << Row {false, true, false, {"jump D", "announce D 2", "action 12"}};
    QTest::newRow("damaged display image") << Row {true, true, true, {}};
}

void TestUpdateEndToEnd::package()
{
    QFETCH(Row, row);
    Stack stack;
    QVERIFY(stack.isValid());

    QByteArray display = encrypted(displayImage());
    if (row.damageDisplay)
        display[200] = char(display[200] ^ 0x10);
    Members members {{"version.json",
        manifest(QStringLiteral("4.4.0"), QStringLiteral("p.crypt"), QStringLiteral("d.crypt"))}};
    if (row.platform)
        members.append({"p.crypt", encrypted(platformImage())});
    if (row.display)
        members.append({"d.crypt", display});
    const QString path = stack.dir.filePath(QStringLiteral("package.tar"));
    QVERIFY(writePackage(path, members));

    PackageUpdateService* packager = stack.packager.get();
    QSignalSpy finished(packager, &PackageUpdateService::packageUpdateFinished);
    QSignalSpy errors(packager, &PackageUpdateService::packageUpdateErrorOccured);
    QSignalSpy progress(packager, &PackageUpdateService::packageUpdateProgressChanged);
    QSignalSpy sent(stack.port.data(), &SerialPort::dataTransmitted);
    QVERIFY(finished.isValid() && errors.isValid() && progress.isValid() && sent.isValid());

    // The name requests of the terminal service's start-up are not part of the update.
    QTRY_COMPARE_WITH_TIMEOUT(stack.device.receivedFrames().size(), 2, Patience);
    stack.device.clearReceivedFrames();
    stack.packager->openArchive(path);
    stack.packager->start();

    if (row.damageDisplay) {
        // Refused before the device hears anything: no boot loader, no block.
        QCOMPARE(errors.size(), 1);
        QCOMPARE(errors.at(0).at(0).toString(), QStringLiteral("Security Error! Wrong Digest"));
        QCOMPARE(stack.packager->getUpdateState(), PackageUpdateService::Failed);
        QCOMPARE(sent.size(), 0);
        QVERIFY(progress.isEmpty());
        QVERIFY(stack.device.receivedImages(Terminal::Platform).isEmpty());
        return;
    }

    QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 1, Patience);
    QCOMPARE(stack.packager->getUpdateState(), PackageUpdateService::Finished);
    QVERIFY(errors.isEmpty());
    QCOMPARE(progress.last().at(0).toInt(), 100);
    QCOMPARE(stack.device.failedUpdates(), 0);

    const QList<QByteArray> platformImages = stack.device.receivedImages(Terminal::Platform);
    const QList<QByteArray> displayImages = stack.device.receivedImages(Terminal::Display);
    QCOMPARE(
        platformImages, row.platform ? QList<QByteArray> {platformImage()} : QList<QByteArray>());
    QCOMPARE(displayImages, row.display ? QList<QByteArray> {displayImage()} : QList<QByteArray>());
    if (row.platform)
        QCOMPARE(stack.device.uintValue(PlatformVersionId), NewPlatformVersion);

    // The last frame may still be on its way through the line.
    QTRY_COMPARE_WITH_TIMEOUT(
        describeFrames(stack.device.receivedFrames(), false), row.order, Patience);
    const QStringList frames = describeFrames(stack.device.receivedFrames(), true);
    // Every display block lies between the start and the stop of the display update.
    const int startIndex = frames.indexOf(QStringLiteral("announce D 2"));
    const int stopIndex = frames.indexOf(QStringLiteral("action 12"));
    for (int i = 0; i < frames.size(); ++i) {
        if (frames.at(i).startsWith(QStringLiteral("block D")))
            QVERIFY2(i > startIndex && i < stopIndex, qPrintable(frames.join(QLatin1Char(','))));
    }
    QCOMPARE(finished.size(), 1);
}

void TestUpdateEndToEnd::otherDeviceWhileWaitingThenAgain()
{
    Stack stack;
    QVERIFY(stack.isValid());
    stack.device.setRestartDelay(300);
    const QString path = stack.dir.filePath(QStringLiteral("package.tar"));
    QVERIFY(writePackage(path,
        {{"version.json",
             manifest(
                 QStringLiteral("4.4.0"), QStringLiteral("p.crypt"), QStringLiteral("d.crypt"))},
            {"p.crypt", encrypted(platformImage())}, {"d.crypt", encrypted(displayImage())}}));

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
        (QList<QByteArray> {displayImage(), displayImage()}));
    QCOMPARE(stack.device.failedUpdates(), 0);
}

QTEST_GUILESS_MAIN(TestUpdateEndToEnd)
#include "tst_updateendtoend.moc"
