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

#include <functional>
#include <memory>

using Application::R58::ListSerialPortSource;
using Application::R58::SerialPortManager;
using Service::R58::PackageUpdateService;
using Service::R58::UpdateControlService;
using namespace UpdateTest;

namespace {

using State = PackageUpdateService::State;

const QByteArray PlatformPath = "platform.crypt";
const QByteArray DisplayPath = "display.crypt";

// Two devices on pseudo-terminals, as the port manager sees them, and the two
// services of the first device over a recording component. The trace holds the
// frames sent and the package signals in the order they happened.
class Bench
{
public:
    Bench()
    {
        for (int i = 0; i < 2; ++i) {
            names[i] = dir.filePath(QStringLiteral("ttyR58pkg%1").arg(i));
            QFile::link(ptys[i].slavePath(), names[i]);
            source->addPort({names[i], SerialPortManager::VendorIdentifier,
                SerialPortManager::ProductIdentifier});
        }
        manager->setPolling(false);
        manager->poll();
        service = std::make_unique<PackageUpdateService>(updater, manager, names[0]);
        updater->addComponent(link);
        service->addComponent(link);
        updater->startup();
        service->startup();
        service->setWaits({5, 5, 5});

        QObject* context = service.get();
        QObject::connect(service.get(), &PackageUpdateService::packageUpdateProgressChanged,
            context,
            [this](int percent) { trace.append(QStringLiteral("progress %1").arg(percent)); });
        QObject::connect(service.get(), &PackageUpdateService::packageUpdateFinished, context,
            [this] { trace.append(QStringLiteral("finished")); });
        QObject::connect(service.get(), &PackageUpdateService::packageUpdateErrorOccured, context,
            [this](const QString& text) { trace.append(QStringLiteral("error ") + text); });
        QObject::connect(service.get(), &PackageUpdateService::packageUpdateVersion, context,
            [this](const QString& version) { versions.append(version); });
    }

    [[nodiscard]] bool isValid() const
    {
        return ptys[0].isValid() && ptys[1].isValid()
            && manager->getKnownPorts() == QSet<QString>({names[0], names[1]});
    }

    QString package(const Members& members, const QString& name = QStringLiteral("package.tar"))
    {
        const QString path = dir.filePath(name);
        return writePackage(path, members) ? path : QString();
    }

    // Answers every block request the device would make for the last announcement.
    void deliverBlocks(Terminal terminal, int upTo = -1)
    {
        const TaloLinkPacket announce = link.last(TaloLinkCommandID::ApplicationUpdate, terminal);
        const int count = int(argNumber(announce, 0));
        for (int i = 0; i < count && (upTo < 0 || i < upTo); ++i)
            updater->sendMemoryBlock(quint16(i));
    }

    // The device restarts: its port goes and comes back.
    void restart(int device = 0)
    {
        trace.append(QStringLiteral("restart %1").arg(device));
        source->removePort(names[device]);
        manager->poll();
        source->addPort({names[device], SerialPortManager::VendorIdentifier,
            SerialPortManager::ProductIdentifier});
        manager->poll();
    }

    // Plays the device through a whole package: blocks, restart, blocks.
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
    PtyPair ptys[2];
    QString names[2];
    QSharedPointer<ListSerialPortSource> source = QSharedPointer<ListSerialPortSource>::create();
    QSharedPointer<SerialPortManager> manager = QSharedPointer<SerialPortManager>::create(source);
    QStringList trace;
    QStringList versions;
    RecordingLink link {trace};
    QSharedPointer<UpdateControlService> updater = QSharedPointer<UpdateControlService>::create();
    std::unique_ptr<PackageUpdateService> service;
};

// A package of 1000-byte images (two blocks each) by what it holds.
Members members(bool platform, bool display, const QByteArray& manifestText)
{
    Members list;
    if (!manifestText.isEmpty())
        list.append({"version.json", manifestText});
    if (platform)
        list.append({PlatformPath, encrypted(randomImage(1, 1000))});
    if (display)
        list.append({DisplayPath, encrypted(randomImage(2, 1000))});
    return list;
}

QByteArray standardManifest(const QString& version = QStringLiteral("4.4"))
{
    return manifest(version, QString::fromLatin1(PlatformPath), QString::fromLatin1(DisplayPath));
}

struct SequenceRow
{
    Members members;
    QStringList trace;
    State end;
};

struct ProgressRow
{
    int platformSize; // 0: no platform image
    int displaySize; // 0: no display image
    int platformBlocks; // blocks answered before the restart
    int displayBlocks; // blocks answered after it
    int total;
};

struct FailureRow
{
    Members members;
    QString error;
};

struct UnreadableRow
{
    // Made in the bench's directory, which the row may not know yet.
    std::function<QString(Bench&)> make;
    QString errorStart;
};

} // namespace

Q_DECLARE_METATYPE(SequenceRow)
Q_DECLARE_METATYPE(ProgressRow)
Q_DECLARE_METATYPE(FailureRow)
Q_DECLARE_METATYPE(UnreadableRow)

class TestPackageUpdateService : public QObject
{
    Q_OBJECT

private slots:
    void sequence_data();
    void sequence();
    void progress_data();
    void progress();
    void failure_data();
    void failure();
    void unreadable_data();
    void unreadable();
    void otherPortIgnored();
    void startAfterFinishedRunsAgain();
    void openRefusedWhileRunning();
    void repeatedEventsDuringWaits_data();
    void repeatedEventsDuringWaits();
    void rebuiltPackageIsReadAnew();
    void withoutComponent();
};

void TestPackageUpdateService::sequence_data()
{
    QTest::addColumn<SequenceRow>("row");
    QTest::newRow("both images") << SequenceRow {members(true, true, standardManifest()),
        {"jump P", "open", "progress 0", "announce P 2", "block P 0", "progress 25", "block P 1",
            "progress 50", "restart 0", "action 11", "jump D", "progress 50", "announce D 2",
            "block D 0", "progress 75", "block D 1", "progress 100", "action 12", "finished"},
        State::Finished};
    QTest::newRow("only a platform image") << SequenceRow {members(true, false, standardManifest()),
        {"jump P", "open", "progress 0", "announce P 2", "block P 0", "progress 50", "block P 1",
            "progress 100", "restart 0", "finished"},
        State::Finished};
    QTest::newRow("only a display image") << SequenceRow {members(false, true, standardManifest()),
        {"jump D", "progress 0", "announce D 2", "block D 0", "progress 50", "block D 1",
            "progress 100", "action 12", "finished"},
        State::Finished};
    QTest::newRow("manifest naming missing members")
        << SequenceRow {members(false, false,
                            manifest(QStringLiteral("4.4"), QStringLiteral("gone.crypt"),
                                QStringLiteral("away.crypt"))),
               {"finished"}, State::Finished};
}

void TestPackageUpdateService::sequence()
{
    QFETCH(SequenceRow, row);
    Bench bench;
    QVERIFY(bench.isValid());
    bench.service->openArchive(bench.package(row.members));
    QCOMPARE(bench.service->getUpdateState(), State::Opened);
    bench.runThrough();
    QCOMPARE(bench.trace, row.trace);
    QCOMPARE(bench.service->getUpdateState(), row.end);
}

void TestPackageUpdateService::progress_data()
{
    QTest::addColumn<ProgressRow>("row");
    QTest::newRow("platform 100 %, display 40 %") << ProgressRow {1000, 2560, 2, 2, 70};
    QTest::newRow("platform 100 %, display 0 %") << ProgressRow {1000, 2560, 2, 0, 50};
    QTest::newRow("both done, uneven block counts") << ProgressRow {1500, 2560, 3, 5, 100};
    QTest::newRow("platform alone, 1 of 3 blocks") << ProgressRow {1500, 0, 1, 0, 33};
    QTest::newRow("display alone, 3 of 5 blocks") << ProgressRow {0, 2560, 0, 3, 60};
}

void TestPackageUpdateService::progress()
{
    QFETCH(ProgressRow, row);
    Bench bench;
    QVERIFY(bench.isValid());
    Members list {{"version.json", standardManifest()}};
    if (row.platformSize)
        list.append({PlatformPath, encrypted(randomImage(3, row.platformSize))});
    if (row.displaySize)
        list.append({DisplayPath, encrypted(randomImage(4, row.displaySize))});
    bench.service->openArchive(bench.package(list));
    QSignalSpy progress(bench.service.get(), &PackageUpdateService::packageUpdateProgressChanged);
    QVERIFY(progress.isValid());

    bench.service->start();
    if (row.platformSize) {
        bench.deliverBlocks(Terminal::Platform, row.platformBlocks);
        if (row.displaySize)
            bench.restart();
    }
    bench.deliverBlocks(Terminal::Display, row.displayBlocks);
    QVERIFY(!progress.isEmpty());
    QCOMPARE(progress.last().at(0).toInt(), row.total);
}

void TestPackageUpdateService::failure_data()
{
    QTest::addColumn<FailureRow>("row");
    const QString digest = QStringLiteral("error Security Error! Wrong Digest");
    QByteArray damaged = encrypted(randomImage(2, 1000));
    damaged[100] = char(damaged[100] ^ 1);
    const QByteArray longer = withLengthField(encrypted(randomImage(2, 1000)), 5000);

    QTest::newRow("damaged platform image")
        << FailureRow {{{"version.json", standardManifest()}, {PlatformPath, damaged},
                           {DisplayPath, encrypted(randomImage(2, 1000))}},
               digest};
    QTest::newRow("damaged display image, good platform image")
        << FailureRow {{{"version.json", standardManifest()},
                           {PlatformPath, encrypted(randomImage(1, 1000))}, {DisplayPath, damaged}},
               digest};
    QTest::newRow("platform image is plain") << FailureRow {
        {{"version.json", standardManifest()}, {PlatformPath, randomImage(1, 1000)}}, digest};
    QTest::newRow("length field beyond the display image")
        << FailureRow {{{"version.json", standardManifest()}, {DisplayPath, longer}},
               QStringLiteral("error The image's length field does not match its content.")};
}

void TestPackageUpdateService::failure()
{
    // A bad image anywhere in the package stops it before the device hears of it.
    QFETCH(FailureRow, row);
    Bench bench;
    QVERIFY(bench.isValid());
    const QString path = bench.package(row.members);
    bench.service->openArchive(path);
    bench.runThrough();
    QCOMPARE(bench.trace, QStringList {row.error});
    QVERIFY(bench.link.packets.isEmpty());
    QCOMPARE(bench.service->getUpdateState(), State::Failed);

    // From Failed only a new open leads on.
    bench.service->start();
    QCOMPARE(bench.trace.size(), 1);
    bench.service->openArchive(path);
    QCOMPARE(bench.service->getUpdateState(), State::Opened);
}

void TestPackageUpdateService::unreadable_data()
{
    QTest::addColumn<UnreadableRow>("row");
    QTest::newRow("missing file") << UnreadableRow {
        [](Bench& bench) { return bench.dir.filePath(QStringLiteral("none.tar")); },
        QStringLiteral("error The update package")};
    QTest::newRow("a directory") << UnreadableRow {
        [](Bench& bench) {
            QDir(bench.dir.path()).mkdir(QStringLiteral("folder.tar"));
            return bench.dir.filePath(QStringLiteral("folder.tar"));
        },
        QStringLiteral("error The update package")};
    QTest::newRow("not an archive")
        << UnreadableRow {[](Bench& bench) {
                              const QString path = bench.dir.filePath(QStringLiteral("text.tar"));
                              QFile file(path);
                              if (!file.open(QIODevice::WriteOnly))
                                  return QString();
                              file.write(standardManifest());
                              return path;
                          },
               QStringLiteral("error \"")};
    QTest::newRow("archive without version.json") << UnreadableRow {
        [](Bench& bench) {
            return bench.package(members(true, true, {}), QStringLiteral("bare.tar"));
        },
        QStringLiteral("error \"")};
}

void TestPackageUpdateService::unreadable()
{
    QFETCH(UnreadableRow, row);
    Bench bench;
    QVERIFY(bench.isValid());
    // A good package first, whose manifest must not carry over.
    bench.service->openArchive(bench.package(members(true, true, standardManifest())));
    QCOMPARE(bench.service->getImageCount(), 2u);
    QSignalSpy versions(bench.service.get(), &PackageUpdateService::packageUpdateVersion);
    QVERIFY(versions.isValid());

    const QString path = row.make(bench);
    QVERIFY(!path.isEmpty());
    bench.service->openArchive(path);
    QCOMPARE(bench.trace.size(), 1);
    QVERIFY2(bench.trace.first().startsWith(row.errorStart), qPrintable(bench.trace.first()));
    QVERIFY(bench.trace.first().contains(QDir::toNativeSeparators(path)));
    QCOMPARE(versions.size(), 0);
    QCOMPARE(bench.service->getImageCount(), 0u);
    QCOMPARE(bench.service->getUpdateState(), State::Opened);

    bench.service->start();
    QCOMPARE(bench.trace.mid(1), QStringList {"finished"});
    QVERIFY(bench.link.packets.isEmpty());
}

void TestPackageUpdateService::otherPortIgnored()
{
    Bench bench;
    QVERIFY(bench.isValid());
    bench.service->openArchive(bench.package(members(true, true, standardManifest())));
    bench.service->start();
    bench.deliverBlocks(Terminal::Platform);
    QCOMPARE(bench.service->getUpdateState(), State::WaitingForRestart);

    const int sent = bench.link.packets.size();
    bench.restart(1);
    QCOMPARE(bench.service->getUpdateState(), State::WaitingForRestart);
    QCOMPARE(bench.link.packets.size(), sent);

    bench.restart(0);
    QCOMPARE(bench.service->getUpdateState(), State::UpdatingDisplay);
}

void TestPackageUpdateService::startAfterFinishedRunsAgain()
{
    Bench bench;
    QVERIFY(bench.isValid());
    bench.service->openArchive(bench.package(members(true, true, standardManifest())));
    bench.runThrough();
    QCOMPARE(bench.service->getUpdateState(), State::Finished);
    const QStringList first = bench.trace;
    bench.trace.clear();

    bench.runThrough();
    QCOMPARE(bench.trace, first);
    QCOMPARE(bench.service->getUpdateState(), State::Finished);
}

void TestPackageUpdateService::openRefusedWhileRunning()
{
    Bench bench;
    QVERIFY(bench.isValid());
    const QByteArray display = randomImage(2, 1000);
    bench.service->openArchive(bench.package(members(true, true, standardManifest())));
    const QString other = bench.package({{"version.json", standardManifest(QStringLiteral("9.9"))},
                                            {DisplayPath, encrypted(randomImage(9, 3000))}},
        QStringLiteral("other.tar"));
    QSignalSpy versions(bench.service.get(), &PackageUpdateService::packageUpdateVersion);
    QVERIFY(versions.isValid());

    bench.service->start();
    bench.deliverBlocks(Terminal::Platform);
    bench.service->openArchive(other);
    bench.service->start();
    QCOMPARE(bench.service->getUpdateState(), State::WaitingForRestart);
    QCOMPARE(versions.size(), 0);

    // The display still gets the image of the package that was started.
    bench.restart();
    bench.deliverBlocks(Terminal::Display);
    QCOMPARE(bench.service->getUpdateState(), State::Finished);
    const TaloLinkPacket announce
        = bench.link.last(TaloLinkCommandID::ApplicationUpdate, Terminal::Display);
    QCOMPARE(argNumber(announce, 1), zcrc(display));
    QCOMPARE(bench.trace.count(QStringLiteral("jump P")), 1);
}

void TestPackageUpdateService::repeatedEventsDuringWaits_data()
{
    QTest::addColumn<bool>("portReopened");
    QTest::newRow("last block asked for again while finishing") << false;
    QTest::newRow("port reopened again while settling") << true;
}

void TestPackageUpdateService::repeatedEventsDuringWaits()
{
    // Both waits run nested event loops; a repeated event arriving inside one
    // must not start the step a second time.
    QFETCH(bool, portReopened);
    Bench bench;
    QVERIFY(bench.isValid());
    bench.service->setWaits({5, 200, 200});
    bench.service->openArchive(bench.package(members(true, true, standardManifest())));
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
    QCOMPARE(bench.trace.count(QStringLiteral("action 11")), 1);
    QCOMPARE(bench.trace.count(QStringLiteral("jump D")), 1);
    QCOMPARE(bench.trace.count(QStringLiteral("action 12")), 1);
    QCOMPARE(bench.trace.count(QStringLiteral("finished")), 1);
}

void TestPackageUpdateService::rebuiltPackageIsReadAnew()
{
    Bench bench;
    QVERIFY(bench.isValid());
    const QString path
        = bench.package(members(true, false, standardManifest(QStringLiteral("1.0.0.0"))));
    QSignalSpy versions(bench.service.get(), &PackageUpdateService::packageUpdateVersion);
    QVERIFY(versions.isValid());
    bench.service->openArchive(path);
    QCOMPARE(bench.service->getImageCount(), 1u);

    // The builder replaces the file; the same name must now give the new package.
    QCOMPARE(bench.package(members(true, true, standardManifest(QStringLiteral("2.0.0.0")))), path);
    bench.service->openArchive(path);
    QCOMPARE(versions.size(), 2);
    QCOMPARE(versions.at(1).at(0).toString(), QStringLiteral("2.0.0.0"));
    QCOMPARE(bench.service->getImageCount(), 2u);
}

void TestPackageUpdateService::withoutComponent()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("p.tar"));
    QVERIFY(writePackage(path, members(true, true, standardManifest())));
    auto manager
        = QSharedPointer<SerialPortManager>::create(QSharedPointer<ListSerialPortSource>::create());
    PackageUpdateService service(
        QSharedPointer<UpdateControlService>::create(), manager, QStringLiteral("ttyR58none"));
    service.startup();
    QSignalSpy errors(&service, &PackageUpdateService::packageUpdateErrorOccured);
    QVERIFY(errors.isValid());
    service.openArchive(path);
    service.start();
    QCOMPARE(errors.size(), 1);
    QCOMPARE(service.getUpdateState(), State::Opened);
}

QTEST_GUILESS_MAIN(TestPackageUpdateService)
#include "tst_packageupdateservice.moc"
