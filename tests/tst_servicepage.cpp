// The device screen's service page and package update against a simulated device: commands,
// what executing sends, the log, single-image updates and package updates with the downgrade rule.

#include "records/settingsbackups.h"
#include "link/terminalcommanditem.h"
#include "model/modelvalueintf.h"
#include "model/modelvalueobserver.h"
#include "subscreentestsupport.h"
#include "update/packageupdateservice.h"
#include "updatetestsupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSaveFile>
#include <QTimer>
#include <QtTest>

using Application::R58::TerminalCommandItem;
using Application::R58::UserAccount;
using Service::R58::PackageUpdateService;
using SubScreenTest::Bench;
using SubScreenTest::TaloLinkCommandID;
using SubScreenTest::TaloLinkPacket;
using Terminal = TaloLinkPacket::Terminal;

Q_DECLARE_METATYPE(UserAccount::User)

namespace {

constexpr quint16 PlatformVersionId = 39;
constexpr int Patience = 20000; // milliseconds

QListWidget* commandsOf(const Bench& bench)
{
    return bench.widget<QListWidget>("listWidgetCommands");
}

// An admin's screen once its full command list (platform and display) is there.
bool openWithCommands(Bench& bench)
{
    return bench.open(UserAccount::Admin)
        && QTest::qWaitFor([&] { return commandsOf(bench)->count() == 43; }, Patience);
}

void click(const Bench& bench, const char* button)
{
    QTest::mouseClick(bench.widget<QPushButton>(button), Qt::LeftButton);
}

bool selectCommand(const Bench& bench, const QString& name, Terminal to = Terminal::Platform)
{
    QListWidget* list = commandsOf(bench);
    for (int row = 0; row < list->count(); ++row) {
        auto* item = static_cast<TerminalCommandItem*>(list->item(row));
        if (item->text() == name && item->getDestination() == to) {
            list->setCurrentRow(row);
            return true;
        }
    }
    return false;
}

// The received frames as "command arg,arg", each argument in hexadecimal wire order.
QStringList describeReceived(const Bench& bench)
{
    QStringList lines;
    for (const TaloLinkPacket& packet : bench.received()) {
        QStringList args;
        for (std::size_t i = 0; i < packet.args.size(); ++i)
            args << UpdateTest::argBytes(packet, i).toHex();
        lines << QStringLiteral("%1 %2").arg(int(packet.command)).arg(args.join(QLatin1Char(',')));
    }
    return lines;
}

bool sentAnUpdate(const Bench& bench)
{
    for (const TaloLinkPacket& packet : bench.received()) {
        if (packet.command == TaloLinkCommandID::ApplicationUpdate)
            return true;
    }
    return false;
}

// Writes the file into the home folder (a null one is left missing) and picks it with the button.
QString choose(Bench& bench, const QString& name, const QByteArray& data, const char* button)
{
    const QString path = bench.home.filePath(name);
    QSaveFile file(path);
    if (!data.isNull()
        && !(file.open(QIODevice::WriteOnly) && file.write(data) == data.size() && file.commit()))
        return {};
    bench.answerFileDialogs(path);
    click(bench, button);
    return path;
}

// A platform image the simulator recognises: it reports this version after the update.
QByteArray versionedImage(quint32 version)
{
    return UpdateTest::encrypted(UpdateTest::versionedImage(21, 1300, version));
}

} // namespace

class TestServicePage : public QObject
{
    Q_OBJECT

private slots:
    void paddedNames();
    void execute_data();
    void execute();
    void log();
    void singleImage_data();
    void singleImage();
    void packageOpened_data();
    void packageOpened();
    void singleImageChoice_data();
    void singleImageChoice();
    void packageWaitsForDeviceVersion();
    void packageNotTakenFails();
    void packageUpdateKeepsTrackOfSettings_data();
    void packageUpdateKeepsTrackOfSettings();
};

// Firmware may send a processor's name as a C string with its terminator, or padded with blanks.
void TestServicePage::paddedNames()
{
    Bench bench;
    QVERIFY(openWithCommands(bench));
    bench.device->sendFrame(Terminal::Display, TaloLinkCommandID::GetName, {"Bootloader  "});
    QTRY_COMPARE_WITH_TIMEOUT(commandsOf(bench)->count(), 35 + 6, Patience);
    bench.device->sendFrame(
        Terminal::Platform, TaloLinkCommandID::GetName, {QByteArray("Bootloader\0", 11)});
    QTRY_COMPARE_WITH_TIMEOUT(commandsOf(bench)->count(), 9 + 6, Patience);
    QVERIFY(selectCommand(bench, "JumpToApplication", Terminal::Display));
}

struct ExecuteRow
{
    QString command;
    int choice; // entry of the identifier list, or -1
    QList<double> numbers; // the number editors from the first one shown
    QStringList frames; // what the device receives
    int valueId; // a model value to check afterwards, or -1
    QByteArray deviceBytes; // the device's value afterwards, in hexadecimal
    QString localText; // the mirror's value afterwards
};
Q_DECLARE_METATYPE(ExecuteRow)

void TestServicePage::execute_data()
{
    QTest::addColumn<ExecuteRow>("row");

    QTest::newRow("static offset: 1, 1 and 4 bytes, single precision") << ExecuteRow {
        "MeasurementSetStaticOffset", -1, {1, 2, -1.25}, {"23 01,02,0000a0bf"}, -1, {}, {}};
    QTest::newRow("float model value")
        << ExecuteRow {"ModelSetValue", 5, {0, 2.5}, {"6 0500,00002040"}, 5, "00002040", "2.5"};
    QTest::newRow("value that is not mirrored sends nothing")
        << ExecuteRow {"ModelSetValue", 8, {0, 7}, {}, -1, {}, {}};
}

void TestServicePage::execute()
{
    QFETCH(ExecuteRow, row);

    Bench bench;
    QVERIFY(openWithCommands(bench));
    QVERIFY(selectCommand(bench, row.command));
    if (row.choice >= 0)
        bench.widget<QComboBox>("comboBoxArg1")->setCurrentIndex(row.choice);
    for (int i = 0; i < row.numbers.size(); ++i)
        bench.widget<QDoubleSpinBox>(qPrintable(QStringLiteral("doubleSpinBoxArg%1").arg(i + 1)))
            ->setValue(row.numbers.at(i));
    bench.device->clearReceivedFrames();
    click(bench, "pushButtonExecuteCommand");
    QVERIFY(bench.sync());
    QCOMPARE(describeReceived(bench), row.frames);
    if (row.valueId >= 0) {
        const auto* value = bench.screen->getValueObserver()->getValue(
            Model::Interfaces::ModelValueID(row.valueId));
        QVERIFY(value);
        QCOMPARE(value->toString(), row.localText);
        QCOMPARE(bench.device->rawValue(quint16(row.valueId)).toHex(), row.deviceBytes);
    }
}

void TestServicePage::log()
{
    Bench bench;
    QVERIFY(openWithCommands(bench));
    // The log fills only while someone can see it, as a technician at the service page does.
    bench.screen->show();
    bench.widget<QPushButton>("pushButtonServiceMode")->click();
    QVERIFY(QTest::qWaitForWindowExposed(bench.screen.get()));
    auto* log = bench.widget<QPlainTextEdit>("textBrowserLogging");
    // The start-up traffic is logged, and CLEAR empties it.
    QTRY_VERIFY_WITH_TIMEOUT(!log->toPlainText().isEmpty(), Patience);
    click(bench, "pushButtonLogClear");
    QVERIFY(log->toPlainText().isEmpty());
    QVERIFY(selectCommand(bench, "GetTemperature"));
    bench.widget<QDoubleSpinBox>("doubleSpinBoxArg1")->setValue(2);

    // Disabled, nothing is logged; lines reach the view in batches.
    bench.widget<QCheckBox>("checkBoxLogEnable")->setChecked(false);
    click(bench, "pushButtonExecuteCommand");
    QVERIFY(bench.sync());
    QTest::qWait(300);
    QCOMPARE(log->toPlainText(), QString());

    bench.widget<QCheckBox>("checkBoxLogEnable")->setChecked(true);
    click(bench, "pushButtonExecuteCommand");
    QTRY_VERIFY_WITH_TIMEOUT(log->toPlainText().contains(QStringLiteral("41.5")), Patience);
    const QStringList lines = log->toPlainText().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(lines.filter(QRegularExpression("^Send: .*GetTemperature")).size(), 1);
    // The device's answer, decoded: the temperature it reports.
    QVERIFY2(!lines.filter(QRegularExpression("^Receive: .*41\\.5")).isEmpty(),
        qPrintable(lines.join('\n')));
    for (const QString& line : lines)
        QVERIFY2(line.startsWith("Send: ") || line.startsWith("Receive: "), qPrintable(line));
}

struct ImageRow
{
    QString fileName;
    QByteArray file; // the file's content
    Terminal target;
    QByteArray expectedImage; // what the device must receive; empty: nothing
    QString label; // how the file label starts afterwards; empty: "Filename: " and the path
};
Q_DECLARE_METATYPE(ImageRow)

void TestServicePage::singleImage_data()
{
    QTest::addColumn<ImageRow>("row");

    const QByteArray image = UpdateTest::randomImage(5, 1500);
    const QByteArray crypt = UpdateTest::encrypted(image);
    QByteArray damaged = crypt;
    damaged[300] = char(damaged[300] ^ 0x01);
    const auto display = Terminal::Display;

    QTest::newRow("encrypted image to the platform")
        << ImageRow {"image.crypt", crypt, Terminal::Platform, image, {}};
    QTest::newRow("damaged encrypted image")
        << ImageRow {"image.crypt", damaged, display, {}, "Security Error! Wrong Digest"};
    QTest::newRow("file that cannot be read")
        << ImageRow {"gone.bin", {}, display, {}, "Cannot read the file: "};
    QTest::newRow("empty file is refused, not announced")
        << ImageRow {"empty.bin", "", display, {}, "Update refused: "};
    QTest::newRow("encrypted image longer than its text is refused") << ImageRow {
        "long.crypt", UpdateTest::withLengthField(crypt, 4000), display, {}, "Update refused: "};
}

void TestServicePage::singleImage()
{
    QFETCH(ImageRow, row);

    Bench bench;
    QVERIFY(bench.open(UserAccount::Admin));
    const QString path = choose(bench, row.fileName, row.file, "pushButtonOpenFile");
    auto* label = bench.widget<QLabel>("labelFilename");
    QCOMPARE(label->text(), "Filename: " + path);

    bench.screen->getUSBComponent()->jumpToBootloader(row.target);
    bench.widget<QCheckBox>("checkBoxPlatform")->setChecked(row.target == Terminal::Platform);
    QVERIFY(bench.sync());
    bench.device->clearReceivedFrames();
    click(bench, "pushButtonStartUpdate");

    if (row.expectedImage.isEmpty()) { // refused before anything is sent
        QVERIFY(bench.sync());
        QVERIFY(!sentAnUpdate(bench));
        QVERIFY2(label->text().startsWith(row.label), qPrintable(label->text()));
        QVERIFY(bench.device->receivedImages(row.target).isEmpty());
        return;
    }
    QTRY_COMPARE_WITH_TIMEOUT(bench.device->receivedImages(row.target).size(), 1, Patience);
    QCOMPARE(bench.device->receivedImages(row.target).first(), row.expectedImage);
    QCOMPARE(bench.widget<QProgressBar>("progressBarUpdate")->value(), 100);
    QCOMPARE(label->text(), "Filename: " + path);
}

struct PackageRow
{
    UserAccount::User role;
    quint32 deviceVersion;
    quint32 operatingMode;
    QByteArray archive;
    bool start; // the start button is clicked, and must be offered
    QString message; // how the package text starts, or what it contains after a refusal
};
Q_DECLARE_METATYPE(PackageRow)

void TestServicePage::packageOpened_data()
{
    QTest::addColumn<PackageRow>("row");

    // A platform image and the manifest naming it; the platform version in it decides.
    using UpdateTest::archive;
    using UpdateTest::encrypted;
    using UpdateTest::randomImage;
    const QByteArray platformImage = encrypted(randomImage(6, 700));
    auto manifest = [&platformImage](const char* version) {
        return archive({{"version.json", UpdateTest::manifest("7.1.2", "p.crypt", "", version)},
            {"p.crypt", platformImage}});
    };
    const QString allowed = QStringLiteral("New Firmware: ");
    const QString downgrade = QStringLiteral("Software downgrade is not allowed! ");
    const auto supervisor = UserAccount::Supervisor;
    const auto demo = UserAccount::Demo;
    const auto admin = UserAccount::Admin;
    const quint32 v44 = 0x04040000u, v43 = 0x04030000u;
    QTest::newRow("supervisor, newer in the last part")
        << PackageRow {supervisor, v44, 0, manifest("4.4.0.1"), false, allowed};
    QTest::newRow("supervisor, same")
        << PackageRow {supervisor, v44, 0, manifest("4.4.0.0"), false, downgrade};
    QTest::newRow("admin, older") << PackageRow {
        admin, v44, 0, manifest("1.0.0.0"), false, allowed};
    QTest::newRow("demo, older, in safety stop")
        << PackageRow {demo, v44, 3, manifest("1.0.0.0"), false, allowed};
    QTest::newRow("demo, same, running")
        << PackageRow {demo, v44, 1, manifest("4.4.0.0"), false, downgrade};

    // Refusals: shown, nothing sent, the screen ready for another package.
    QTest::newRow("not an update package")
        << PackageRow {admin, v43, 0, randomImage(3, 700), false, "is not an update package"};
    QByteArray damaged = encrypted(randomImage(4, 800));
    damaged[200] = char(damaged[200] ^ 0x10);
    const QByteArray version = UpdateTest::manifest("4.4.0", "p.crypt", "", "9.0.0.0");
    QTest::newRow("damaged image")
        << PackageRow {admin, v43, 0, archive({{"version.json", version}, {"p.crypt", damaged}}),
               true, "Security Error! Wrong Digest"};

    // Damaged packages: refused on opening, before the device is told anything.
    const UpdateTest::Members both {
        {"version.json", UpdateTest::manifest("4.4.0", "p.crypt", "d.crypt", "9.0.0.0")},
        {"p.crypt", encrypted(randomImage(4, 3000))}};
    const int displayStart = archive(both).size();
    const QByteArray whole
        = archive(both + UpdateTest::Members {{"d.crypt", encrypted(randomImage(5, 3000))}});
    const QString cut = QStringLiteral("The package is damaged: ");
    QTest::newRow("cut inside the platform image")
        << PackageRow {admin, v43, 0, whole.left(displayStart - 1000), false, cut};
    QTest::newRow("cut inside the display image")
        << PackageRow {admin, v43, 0, whole.left(displayStart + 2000), false, cut};
    QTest::newRow("manifest names a missing image")
        << PackageRow {admin, v43, 0, archive(both), false, "does not hold \"d.crypt\""};
}

void TestServicePage::packageOpened()
{
    QFETCH(PackageRow, row);

    Bench bench;
    bench.addDevice().setUIntValue(PlatformVersionId, row.deviceVersion);
    bench.device->setUIntValue(10, row.operatingMode);
    QVERIFY(bench.open(row.role));
    const QString path = choose(bench, "package.tar", row.archive, "pushButtonOpenUpdatePackage");
    auto* start = bench.widget<QPushButton>("pushButtonStartPackageUpdate");
    auto* text = bench.widget<QLabel>("labelPackageVersionText");
    if (row.message == "New Firmware: " || row.message.startsWith("Software downgrade")) {
        // Set while the package is being opened: no waiting.
        QCOMPARE(text->text(), row.message);
        QCOMPARE(bench.widget<QLabel>("labelPackageVersion")->text(), QStringLiteral("7.1.2"));
        QCOMPARE(!start->isHidden(), row.message == "New Firmware: ");
        QCOMPARE(bench.config->getSoftwareUpdateDir(), path);
        return;
    }
    if (row.start) {
        QVERIFY(!start->isHidden());
        QTest::mouseClick(start, Qt::LeftButton);
    }
    QVERIFY(bench.sync());
    QVERIFY2(text->text().contains(row.message), qPrintable(text->text()));
    QVERIFY(!bench.widget<QPushButton>("pushButtonOpenUpdatePackage")->isHidden());
    QVERIFY(start->isHidden());
    QVERIFY(bench.widget<QProgressBar>("progressBarPackageUpdate")->isHidden());
    // Not even the service, asked directly, tells the device anything.
    bench.screen->getPackageUpdateService()->start();
    QVERIFY(bench.sync());
    QVERIFY2(bench.received().isEmpty(), qPrintable(describeReceived(bench).join('\n')));
    QVERIFY(bench.screen->isClosable());
}

void TestServicePage::singleImageChoice_data()
{
    QTest::addColumn<QString>("fileName"); // chosen on the service page; empty: none
    QTest::addColumn<QByteArray>("file");
    const QByteArray package = UpdateTest::archive(
        {{"version.json", UpdateTest::manifest("4.4.0", "p.crypt", "d.crypt", "9.0.0.0")},
            {"p.crypt", UpdateTest::encrypted(UpdateTest::randomImage(4, 800))},
            {"d.crypt", UpdateTest::encrypted(UpdateTest::randomImage(5, 800))}});
    QTest::newRow("package opened on the information page") << QString() << package;
    QTest::newRow("package renamed to an image's name") << "package.bin" << package;
    QTest::newRow("image with a package's suffix")
        << "image.tar" << UpdateTest::randomImage(5, 800);
}

void TestServicePage::singleImageChoice()
{
    QFETCH(QString, fileName);
    QFETCH(QByteArray, file);
    Bench bench;
    QVERIFY(bench.open(UserAccount::Admin));
    // The package is opened on the information page first, as a technician would.
    QVERIFY(!choose(bench, "update.tar", file, "pushButtonOpenUpdatePackage").isEmpty());
    if (!fileName.isEmpty()) {
        QVERIFY(!choose(bench, fileName, file, "pushButtonOpenFile").isEmpty());
        const QString label = bench.widget<QLabel>("labelFilename")->text();
        QVERIFY2(label.contains(QStringLiteral("is an update package")), qPrintable(label));
    }
    auto* start = bench.widget<QPushButton>("pushButtonStartUpdate");
    QVERIFY(!start->isEnabled());
    bench.screen->handleStartUpdate();
    QVERIFY(bench.sync());
    QVERIFY2(bench.received().isEmpty(), qPrintable(describeReceived(bench).join('\n')));
    QVERIFY(!bench.screen->isUpdating());
}

void TestServicePage::packageWaitsForDeviceVersion()
{
    // A device that has not answered yet: the model still holds the tool's own version.
    Bench bench;
    Simulator::SimulatedDevice& device = bench.addDevice();
    Simulator::SimulatedDevice::Faults silent;
    silent.silent = true;
    device.setFaults(silent);
    bench.account->setUser(UserAccount::Supervisor);
    QVERIFY(device.plugIn());
    bench.manager->poll();
    bench.screen = std::make_unique<R58SubScreen>(
        bench.account, bench.config, bench.manager, device.portName());
    bench.screen->initialize();

    QVERIFY(!choose(bench, "package.tar",
        UpdateTest::archive(
            {{"version.json", UpdateTest::manifest("4.4.0", "p.crypt", "", "4.4.0.0")},
                {"p.crypt", versionedImage(0x04040000u)}}),
        "pushButtonOpenUpdatePackage")
                 .isEmpty());
    auto* start = bench.widget<QPushButton>("pushButtonStartPackageUpdate");
    auto* text = bench.widget<QLabel>("labelPackageVersionText");
    QVERIFY(start->isHidden());
    QVERIFY2(text->text().startsWith(QStringLiteral("Waiting for the device")),
        qPrintable(text->text()));

    // The device's own version is newer than the package's: no start.
    device.setFaults({});
    bench.report(PlatformVersionId, 0x05000000u);
    QTRY_COMPARE_WITH_TIMEOUT(
        text->text(), QStringLiteral("Software downgrade is not allowed! "), Patience);
    QVERIFY(start->isHidden());
}

void TestServicePage::packageNotTakenFails()
{
    // The platform restarts with its old firmware, as after a pull before it took the image.
    constexpr quint32 oldVersion = 0x04030000u;
    Bench bench;
    bench.addDevice().setUIntValue(PlatformVersionId, oldVersion);
    bench.device->setRestartDelay(100);
    QVERIFY(bench.open(UserAccount::Supervisor));
    PackageUpdateService* packager = bench.screen->getPackageUpdateService().data();
    packager->setWaits({50, 20, 50});
    QTimer poll;
    QObject::connect(
        &poll, &QTimer::timeout, bench.manager.data(), &Application::R58::SerialPortManager::poll);
    poll.start(20);

    QSignalSpy finished(packager, &PackageUpdateService::packageUpdateFinished);
    QSignalSpy errors(packager, &PackageUpdateService::packageUpdateErrorOccured);
    QVERIFY(!choose(bench, "package.tar",
        UpdateTest::archive({{"version.json", UpdateTest::manifest("4.4.0", "p.crypt", "d.crypt")},
            {"p.crypt", versionedImage(oldVersion)},
            {"d.crypt", UpdateTest::encrypted(UpdateTest::randomImage(22, 900))}}),
        "pushButtonOpenUpdatePackage")
                 .isEmpty());
    click(bench, "pushButtonStartPackageUpdate");

    QTRY_COMPARE_WITH_TIMEOUT(errors.size(), 1, Patience);
    const QString error = errors.first().first().toString();
    QVERIFY2(error.contains(QStringLiteral("4.3.0.0")) && error.contains(QStringLiteral("4.4.0.0")),
        qPrintable(error));
    QCOMPARE(bench.widget<QLabel>("labelPackageVersionText")->text(), error);
    QVERIFY(finished.isEmpty());
    QVERIFY(bench.device->receivedImages(Terminal::Display).isEmpty());
    QVERIFY(bench.screen->isClosable());
    QVERIFY(!bench.widget<QPushButton>("pushButtonOpenUpdatePackage")->isHidden());
    // The settings were kept before the firmware was touched.
    const auto backups = Records::SettingsBackups().list(QStringLiteral("21504711"));
    QCOMPARE(backups.size(), 1);
    QCOMPARE(backups.first().reason, Records::SettingsBackups::Reason::Update);
}

void TestServicePage::packageUpdateKeepsTrackOfSettings_data()
{
    QTest::addColumn<bool>("motorRunning");
    QTest::newRow("refused while the motor runs") << true;
    QTest::newRow("settings the update changed are listed") << false;
}

void TestServicePage::packageUpdateKeepsTrackOfSettings()
{
    QFETCH(bool, motorRunning);
    constexpr quint16 OperatingModeId = 10;
    constexpr quint16 NominalCurrentId = 2;
    Bench bench;
    bench.addDevice().setUIntValue(PlatformVersionId, 0x04030000u);
    bench.device->setRestartDelay(100);
    // The update brings the factory settings back; the device had 2.4 A before.
    bench.device->setUpdateResetsSettings(true);
    bench.device->setFloatValue(NominalCurrentId, 2.4f);
    bench.device->setUIntValue(OperatingModeId, motorRunning ? 1 : 0);
    QVERIFY(bench.open(UserAccount::Supervisor));
    PackageUpdateService* packager = bench.screen->getPackageUpdateService().data();
    packager->setWaits({50, 20, 50});
    QTimer poll;
    QObject::connect(
        &poll, &QTimer::timeout, bench.manager.data(), &Application::R58::SerialPortManager::poll);
    poll.start(20);
    QSignalSpy finished(packager, &PackageUpdateService::packageUpdateFinished);
    QVERIFY(!choose(bench, "package.tar",
        UpdateTest::archive({{"version.json", UpdateTest::manifest("4.4.0", "p.crypt", "d.crypt")},
            {"p.crypt", versionedImage(0x04040000u)},
            {"d.crypt", UpdateTest::encrypted(UpdateTest::randomImage(22, 900))}}),
        "pushButtonOpenUpdatePackage")
                 .isEmpty());
    bench.device->clearReceivedFrames();
    click(bench, "pushButtonStartPackageUpdate");
    auto* message = bench.widget<QLabel>("labelPackageVersionText");

    if (motorRunning) {
        // Nothing went out: no jump to the boot loader, which would stop the protection.
        QVERIFY(bench.sync());
        for (const auto& packet : bench.received())
            QVERIFY(packet.command != TaloLinkCommandID::JumpToBootloader);
        QCOMPARE(packager->getUpdateState(), PackageUpdateService::Opened);
        QVERIFY(Records::SettingsBackups().list(QStringLiteral("21504711")).isEmpty());
        return;
    }
    QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 1, Patience);
    // Read back and compared with the backup taken before: listed, nothing written.
    QTRY_VERIFY_WITH_TIMEOUT(message->text().contains(QStringLiteral("2.4 A before, 2 A now")), Patience);
    QVERIFY(bench.sync());
    QCOMPARE(bench.writtenValues(), QList<int> {});
}

QTEST_MAIN(TestServicePage)
#include "tst_servicepage.moc"
