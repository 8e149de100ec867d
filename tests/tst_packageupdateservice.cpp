#include "link/listserialportsource.h"
#include "link/serialportmanager.h"
#include "ptypair.h"
#include "update/packageupdateservice.h"
#include "update/updatecontrolservice.h"
#include "updatetestsupport.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <memory>

using Application::R58::ListSerialPortSource;
using Application::R58::SerialPortManager;
using Service::R58::PackageUpdateService;
using Service::R58::UpdateControlService;
using namespace UpdateTest;

Q_DECLARE_METATYPE(PackageUpdateService::State)

namespace {

using State = PackageUpdateService::State;

const QByteArray PlatformPath = "platform.crypt";
const QByteArray DisplayPath = "display.crypt";

// A device on a pseudo-terminal and the services over a recording component; the trace
// holds frames sent and package signals in order.
class Bench
{
public:
    Bench()
    {
        QFile::link(pty.slavePath(), name);
        addPort();
        manager->setPolling(false);
        manager->poll();
        service = std::make_unique<PackageUpdateService>(updater, manager, name);
        updater->addComponent(link);
        service->addComponent(link);
        updater->startup();
        service->startup();
        service->setWaits({5, 5, 5});

        using S = PackageUpdateService;
        auto* s = service.get();
        QObject::connect(s, &S::packageUpdateProgressChanged, s,
            [this](int percent) { trace.append(QStringLiteral("progress %1").arg(percent)); });
        QObject::connect(s, &S::packageUpdateFinished, s, [this] { trace.append("finished"); });
        QObject::connect(s, &S::packageUpdateErrorOccured, s,
            [this](const QString& text) { trace.append("error " + text); });
        QObject::connect(
            s, &S::packageUpdateVersion, s, [this](const QString& v) { versions.append(v); });
    }

    [[nodiscard]] bool isValid() const
    {
        return pty.isValid() && manager->getKnownPorts() == QSet<QString>({name});
    }

    void addPort()
    {
        source->addPort(
            {name, SerialPortManager::VendorIdentifier, SerialPortManager::ProductIdentifier});
    }

    QString package(const Members& members, const QString& name = QStringLiteral("package.tar"))
    {
        const QString path = dir.filePath(name);
        return writePackage(path, members) ? path : QString();
    }

    // Answers the block requests for the last announcement to the terminal.
    void deliverBlocks(Terminal terminal)
    {
        const int count
            = int(argNumber(link.last(TaloLinkCommandID::ApplicationUpdate, terminal), 0));
        for (int i = 0; i < count; ++i)
            updater->sendMemoryBlock(quint16(i));
    }

    // The device restarts: its port goes and comes back. The service hears of it on a later
    // turn of the event loop; the restarted device answers the service's version request.
    void restart()
    {
        trace.append(QStringLiteral("restart"));
        const int asked = trace.count(QStringLiteral("get value 39"));
        source->removePort(name);
        manager->poll();
        addPort();
        manager->poll();
        if (service->getUpdateState() != State::WaitingForRestart) {
            QTest::qWait(20);
            return;
        }
        if (QTest::qWaitFor(
                [&] {
                    return trace.count(QStringLiteral("get value 39")) > asked
                        || service->getUpdateState() != State::WaitingForRestart;
                },
                10000))
            service->handleDevicePlatformVersion(0x04040000u); // the manifest's platform version
    }

    // Plays the device through a whole package.
    void runThrough()
    {
        service->start();
        if (service->getUpdateState() == State::UpdatingPlatform)
            deliverBlocks(Terminal::Platform);
        if (service->getUpdateState() == State::WaitingForRestart)
            restart();
        if (service->getUpdateState() == State::UpdatingDisplay)
            deliverBlocks(Terminal::Display);
    }

    QTemporaryDir dir;
    PtyPair pty;
    QString name = dir.filePath(QStringLiteral("ttyR58pkg"));
    QSharedPointer<ListSerialPortSource> source = QSharedPointer<ListSerialPortSource>::create();
    QSharedPointer<SerialPortManager> manager = QSharedPointer<SerialPortManager>::create(source);
    QStringList trace;
    QStringList versions;
    RecordingLink link {trace};
    QSharedPointer<UpdateControlService> updater = QSharedPointer<UpdateControlService>::create();
    std::unique_ptr<PackageUpdateService> service;
};

// A manifest that names only the images the package holds.
QByteArray manifestFor(bool platform, bool display, const QString& version = QStringLiteral("4.4"))
{
    return manifest(version, platform ? QString::fromLatin1(PlatformPath) : QString(),
        display ? QString::fromLatin1(DisplayPath) : QString());
}

// A package of images of the given sizes (0: left out).
Members members(int platform, int display, const QByteArray& manifestText = QByteArray("-"))
{
    Members list;
    if (manifestText == "-")
        list.append({"version.json", manifestFor(platform != 0, display != 0)});
    else if (!manifestText.isEmpty())
        list.append({"version.json", manifestText});
    if (platform)
        list.append({PlatformPath, encrypted(randomImage(1, platform))});
    if (display)
        list.append({DisplayPath, encrypted(randomImage(2, display))});
    return list;
}

} // namespace

class TestPackageUpdateService : public QObject
{
    Q_OBJECT

private slots:
    void sequence_data();
    void sequence();
    void refused_data();
    void refused();
    void repeatedEventsDuringWaits_data();
    void repeatedEventsDuringWaits();
    void rebuiltPackageIsReadAnew();
    void secondPackageRefusedWhileRunning();
};

void TestPackageUpdateService::sequence_data()
{
    QTest::addColumn<Members>("package");
    QTest::addColumn<QString>("trace");
    QTest::newRow("both images")
        << members(1000, 1000)
        << "jump P, open, progress 0, announce P 2, block P 0, progress 25, block P 1, "
           "progress 50, restart, open, get value 39, action 11, jump D, progress 50, "
           "announce D 2, block D 0, progress 75, block D 1, progress 100, action 12, finished";
    QTest::newRow("only a platform image")
        << members(1000, 0)
        << "jump P, open, progress 0, announce P 2, block P 0, progress 50, block P 1, "
           "progress 100, restart, open, get value 39, finished";
    QTest::newRow("only a display image")
        << members(0, 1000)
        << "jump D, progress 0, announce D 2, block D 0, progress 50, block D 1, progress 100, "
           "action 12, finished";
}

void TestPackageUpdateService::sequence()
{
    QFETCH(Members, package);
    QFETCH(QString, trace);
    Bench bench;
    QVERIFY(bench.isValid());
    bench.service->openArchive(bench.package(package));
    QCOMPARE(bench.service->getUpdateState(), State::Opened);
    // From Finished, start runs the same package again.
    for (int round = 0; round < 2; ++round) {
        bench.trace.clear();
        bench.runThrough();
        QCOMPARE(bench.trace.join(", "), trace);
        QCOMPARE(bench.service->getUpdateState(), State::Finished);
    }
}

void TestPackageUpdateService::refused_data()
{
    // A package, or a file of another kind; how its one error starts; where it leaves the service.
    QTest::addColumn<Members>("package");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("error");
    QTest::addColumn<State>("state");
    const QString digest = QStringLiteral("error Security Error! Wrong Digest");
    const QByteArray good = encrypted(randomImage(2, 1000));
    QByteArray damaged = good;
    damaged[100] = char(damaged[100] ^ 1);
    // Both images are checked before anything is sent.
    QTest::newRow("damaged display image, good platform image") << Members {
        {"version.json", manifestFor(true, true)}, {PlatformPath, good},
        {DisplayPath, damaged}} << "" << digest << State::Failed;
    QTest::newRow("length field beyond the display image")
        << Members {{"version.json", manifestFor(false, true)},
               {DisplayPath, withLengthField(good, 5000)}}
        << ""
        << "error The image's length field does not match its content." << State::Failed;
    // Unreadable: the error names the file; the good package's images do not carry over.
    const QString cannotOpen = QStringLiteral("error The update package");
    QTest::newRow("missing file") << Members {} << "missing" << cannotOpen << State::NoPackage;
    QTest::newRow("a directory") << Members {} << "directory" << cannotOpen << State::NoPackage;
    QTest::newRow("not an archive") << Members {} << "text"
                                    << "error \"" << State::NoPackage;
    QTest::newRow("archive without version.json") << members(1000, 1000, {}) << ""
                                                  << "error \"" << State::NoPackage;
}

void TestPackageUpdateService::refused()
{
    QFETCH(Members, package);
    QFETCH(QString, kind);
    QFETCH(QString, error);
    QFETCH(State, state);
    Bench bench;
    QVERIFY(bench.isValid());
    bench.service->openArchive(bench.package(members(1000, 1000)));
    QCOMPARE(bench.service->getImageCount(), 2u);
    bench.versions.clear();
    const QString path = bench.dir.filePath(QStringLiteral("other.tar"));
    if (kind == "directory")
        QVERIFY(QDir(bench.dir.path()).mkdir(QStringLiteral("other.tar")));
    if (kind == "text") {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(manifestFor(true, true)) > 0);
    }
    if (!package.isEmpty())
        QCOMPARE(bench.package(package, QStringLiteral("other.tar")), path);
    bench.service->openArchive(path);
    bench.runThrough();
    // Start again sends nothing and reports nothing more: no update is no finished update.
    bench.service->start();
    QCOMPARE(bench.trace.size(), 1);
    QVERIFY2(bench.trace.first().startsWith(error), qPrintable(bench.trace.first()));
    QVERIFY(bench.link.packets.isEmpty());
    QCOMPARE(bench.service->getUpdateState(), state);
    if (state == State::NoPackage) {
        QVERIFY(bench.trace.first().contains(QDir::toNativeSeparators(path)));
        QVERIFY(bench.versions.isEmpty());
        QCOMPARE(bench.service->getImageCount(), 0u);
    } else { // from Failed only a new open leads on
        bench.service->openArchive(path);
        QCOMPARE(bench.service->getUpdateState(), State::Opened);
    }
}

// One update at a time: a second package started while the first waits for the device's
// restart is refused, and the first goes on with its own display image.
void TestPackageUpdateService::secondPackageRefusedWhileRunning()
{
    Bench bench;
    QVERIFY(bench.isValid());
    const QByteArray display = randomImage(2, 1000);
    bench.service->openArchive(bench.package(members(1000, 1000)));
    const QString other = bench.package({{"version.json", manifestFor(false, true, "9.9")},
                                            {DisplayPath, encrypted(randomImage(9, 3000))}},
        QStringLiteral("other.tar"));
    bench.service->start();
    bench.deliverBlocks(Terminal::Platform);
    bench.service->openArchive(other);
    bench.service->start();
    QCOMPARE(bench.service->getUpdateState(), State::WaitingForRestart);

    bench.restart();
    bench.deliverBlocks(Terminal::Display);
    QCOMPARE(bench.service->getUpdateState(), State::Finished);
    QCOMPARE(argNumber(bench.link.last(TaloLinkCommandID::ApplicationUpdate, Terminal::Display), 1),
        zcrc(display));
}

void TestPackageUpdateService::repeatedEventsDuringWaits_data()
{
    QTest::addColumn<bool>("portReopened");
    QTest::newRow("last block asked for again while finishing") << false;
    QTest::newRow("port reopened again while settling") << true;
}

void TestPackageUpdateService::repeatedEventsDuringWaits()
{
    // The waits run nested event loops; a repeated event inside one must not
    // start the step a second time.
    QFETCH(bool, portReopened);
    Bench bench;
    QVERIFY(bench.isValid());
    bench.service->setWaits({5, 200, 200});
    bench.service->openArchive(bench.package(members(1000, 1000)));
    bench.service->start();
    bench.deliverBlocks(Terminal::Platform);
    if (portReopened) {
        QTimer::singleShot(20, bench.service.get(), [&bench] { bench.restart(); });
        bench.restart();
        bench.deliverBlocks(Terminal::Display);
    } else {
        bench.restart();
        bench.updater->sendMemoryBlock(0);
        QTimer::singleShot(
            20, bench.service.get(), [&bench] { bench.updater->sendMemoryBlock(1); });
        bench.updater->sendMemoryBlock(1);
    }
    QTRY_COMPARE_WITH_TIMEOUT(bench.service->getUpdateState(), State::Finished, 10000);
    for (const char* step : {"action 11", "jump D", "action 12", "finished"})
        QCOMPARE(bench.trace.count(QString::fromLatin1(step)), 1);
}

void TestPackageUpdateService::rebuiltPackageIsReadAnew()
{
    Bench bench;
    QVERIFY(bench.isValid());
    const QString path = bench.package(members(1000, 0, manifestFor(true, false, "1.0.0.0")));
    bench.service->openArchive(path);
    QCOMPARE(bench.service->getImageCount(), 1u);

    // The builder replaces the file; the same name must now give the new package.
    QCOMPARE(bench.package(members(1000, 1000, manifestFor(true, true, "2.0.0.0"))), path);
    bench.service->openArchive(path);
    QCOMPARE(bench.versions, QStringList({"1.0.0.0", "2.0.0.0"}));
    QCOMPARE(bench.service->getImageCount(), 2u);
}

QTEST_GUILESS_MAIN(TestPackageUpdateService)
#include "tst_packageupdateservice.moc"
