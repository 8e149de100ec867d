// The device screen's service page and the package update of its information page against a
// simulated device: the command list per reported state, the argument editors, what executing
// a command sends, the log, single-image updates and package updates with the downgrade rule.

#include "link/terminalcommanditem.h"
#include "model/modelvalueintf.h"
#include "model/modelvalueobserver.h"
#include "subscreentestsupport.h"
#include "ui/pendinglog.h"
#include "update/fileencryptor.h"
#include "update/packageupdateservice.h"
#include "update/tarballwriter.h"
#include "update/updatecontrolservice.h"
#include "updatetestsupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSaveFile>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTextBlock>
#include <QThread>
#include <QTimer>
#include <QtEndian>
#include <QtTest>

#include <atomic>

using Application::R58::TerminalCommandItem;
using Application::R58::UserAccount;
using Service::R58::PackageUpdateService;
using SubScreenTest::Bench;
using SubScreenTest::TaloLinkCommandID;
using SubScreenTest::TaloLinkPacket;
using Terminal = TaloLinkPacket::Terminal;

Q_DECLARE_METATYPE(UserAccount::User)
Q_DECLARE_METATYPE(Terminal)

namespace {

constexpr quint16 OperatingModeId = 10;
constexpr quint16 PlatformVersionId = 39;
constexpr int Patience = 20000; // milliseconds

QListWidget* commandsOf(const Bench& bench)
{
    return bench.widget<QListWidget>("listWidgetCommands");
}

// The log fills only while someone can see it, as a technician at the service page does.
void showServicePage(const Bench& bench)
{
    bench.screen->show();
    bench.widget<QPushButton>("pushButtonServiceMode")->click();
    QVERIFY(QTest::qWaitForWindowExposed(bench.screen.get()));
}

// Selects the command of that name for the platform (or the display); false if not offered.
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

// What the argument area shows, by position: "caption: choice of N" or
// "caption: number, D decimals, up to M".
QStringList shownArguments(const Bench& bench)
{
    QStringList shown;
    for (int i = 1; i <= 5; ++i) {
        const auto* label = bench.widget<QLabel>(qPrintable(QStringLiteral("labelArg%1").arg(i)));
        const auto* editor
            = bench.widget<QDoubleSpinBox>(qPrintable(QStringLiteral("doubleSpinBoxArg%1").arg(i)));
        const auto* choice
            = bench.widget<QComboBox>(qPrintable(QStringLiteral("comboBoxArg%1").arg(i)));
        if (label->isHidden()) {
            if (!editor->isHidden() || (choice && !choice->isHidden()))
                shown << QStringLiteral("editor without caption at %1").arg(i);
            continue;
        }
        if (choice && !choice->isHidden())
            shown << QStringLiteral("%1: choice of %2").arg(label->text()).arg(choice->count());
        if (!editor->isHidden())
            shown << QStringLiteral("%1: number, %2 decimals, up to %3")
                         .arg(label->text())
                         .arg(editor->decimals())
                         .arg(editor->maximum(), 0, 'g', 10);
    }
    return shown;
}

// A frame as "command arg,arg" with each argument in hexadecimal wire order.
QString describe(const TaloLinkPacket& packet)
{
    QStringList args;
    for (std::size_t i = 0; i < packet.args.size(); ++i)
        args << UpdateTest::argBytes(packet, i).toHex();
    return QStringLiteral("%1 %2").arg(int(packet.command)).arg(args.join(QLatin1Char(',')));
}

QStringList describeReceived(const Bench& bench)
{
    QStringList lines;
    for (const TaloLinkPacket& packet : bench.received())
        lines << describe(packet);
    return lines;
}

bool writeFile(const QString& path, const QByteArray& data)
{
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(data) == data.size() && file.commit();
}

// A platform image the simulator recognises: it reports this version after the update.
QByteArray versionedImage(quint32 version)
{
    QByteArray image = UpdateTest::randomImage(21, 1300);
    image.replace(0, 4, "R58V");
    qToLittleEndian<quint32>(version, image.data() + 4);
    return image;
}

void answerFileDialogs(Bench& bench, const QString& path)
{
    bench.screen->setFileDialog([path](QWidget*, R58SubScreen::FileDialogMode, const QString&,
                                    const QString&, const QString&) { return path; });
}

} // namespace

class TestServicePage : public QObject
{
    Q_OBJECT

private slots:
    void commandList_data();
    void commandList();
    void argumentEditors_data();
    void argumentEditors();
    void valueEditorFollowsType_data();
    void valueEditorFollowsType();
    void execute_data();
    void execute();
    void log_data();
    void log();
    void logFollowsUnlessScrolledBack();
    void pendingLogAcrossThreads();
    void logKeepsLastLines_data();
    void logKeepsLastLines();
    void singleImage_data();
    void singleImage();
    void packageDowngradeRule_data();
    void packageDowngradeRule();
    void packageRefusalShown_data();
    void packageRefusalShown();
    void packageUpdateAcrossRestart_data();
    void packageUpdateAcrossRestart();
};

void TestServicePage::commandList_data()
{
    QTest::addColumn<bool>("platformInBootloader");
    QTest::addColumn<bool>("displayInBootloader");
    QTest::addColumn<QStringList>("platformCommands");
    QTest::addColumn<int>("displayCommands");

    const QStringList bootloader {"Reset", "GetSWVersion", "GetHALVersion", "GetName",
        "JumpToApplication", "Memblock", "InitEEPROM", "DumpEEPROM", "InitUserArea"};
    QStringList application {"Reset", "GetSWVersion", "GetHALVersion", "GetName",
        "JumpToBootloader", "ModelSetValue", "ModelGetValue", "ModelFireAction"};
    QTest::newRow("both in the application") << false << false << application << 8;
    QTest::newRow("platform in its boot loader") << true << false << bootloader << 8;
    QTest::newRow("both in their boot loaders") << true << true << bootloader << 6;
}

void TestServicePage::commandList()
{
    QFETCH(bool, platformInBootloader);
    QFETCH(bool, displayInBootloader);
    QFETCH(QStringList, platformCommands);
    QFETCH(int, displayCommands);

    Bench bench;
    QVERIFY(bench.open(UserAccount::Admin));
    QListWidget* list = commandsOf(bench);
    QTRY_COMPARE_WITH_TIMEOUT(list->count(), 43, Patience);

    auto* link = bench.screen->getUSBComponent().data();
    if (platformInBootloader)
        link->jumpToBootloader(Terminal::Platform);
    if (displayInBootloader)
        link->jumpToBootloader(Terminal::Display);
    // Each answer to a name request is a ready report that rebuilds the list.
    link->getPlatformName();
    link->getDisplayName();
    QVERIFY(bench.sync());

    const int expectedPlatform = platformInBootloader ? 9 : 35;
    QTRY_COMPARE_WITH_TIMEOUT(list->count(), expectedPlatform + displayCommands, Patience);
    QStringList platform;
    int display = 0;
    for (int row = 0; row < list->count(); ++row) {
        auto* item = dynamic_cast<TerminalCommandItem*>(list->item(row));
        QVERIFY(item);
        if (item->getDestination() == Terminal::Display)
            ++display;
        else
            platform << item->text();
    }
    QCOMPARE(platform.mid(0, platformCommands.size()), platformCommands);
    QCOMPARE(platform.size(), expectedPlatform);
    QCOMPARE(display, displayCommands);
    // The first row is chosen and shown: "Reset" has no arguments.
    QCOMPARE(list->currentRow(), 0);
    QCOMPARE(shownArguments(bench), QStringList());
}

void TestServicePage::argumentEditors_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("command");
    QTest::addColumn<int>("to");
    QTest::addColumn<QStringList>("shown");

    const QString floatLimit = QString::number(3.4028234663852886e38, 'g', 10);
    QTest::newRow("model value: identifier and whole number")
        << "MeasurementSetStaticOffset"
        << "ModelSetValue" << 0
        << QStringList {
               "ModelValueID: choice of 55", "Value: number, 0 decimals, up to 4294967295"};
    QTest::newRow("model action: identifier")
        << "ModelSetValue"
        << "ModelFireAction" << 0 << QStringList {"ModelActionID: choice of 13"};
    QTest::newRow("two bytes and a float") << "ModelSetValue"
                                           << "MeasurementSetStaticOffset" << 0
                                           << QStringList {"Phase: number, 0 decimals, up to 255",
                                                  "Unit: number, 0 decimals, up to 255",
                                                  "Value: number, 3 decimals, up to " + floatLimit};
    QTest::newRow("display command") << "ModelSetValue"
                                     << "MainButtonSetLED" << 1
                                     << QStringList {"Color: number, 0 decimals, up to 255",
                                            "Brightness: number, 3 decimals, up to " + floatLimit};
    QTest::newRow("no arguments") << "ModelSetValue"
                                  << "GetSWVersion" << 0 << QStringList();
}

void TestServicePage::argumentEditors()
{
    QFETCH(QString, before);
    QFETCH(QString, command);
    QFETCH(int, to);
    QFETCH(QStringList, shown);

    Bench bench;
    QVERIFY(bench.open(UserAccount::Admin));
    QTRY_COMPARE_WITH_TIMEOUT(commandsOf(bench)->count(), 43, Patience);
    QVERIFY(selectCommand(bench, before));
    QVERIFY(!shownArguments(bench).isEmpty());
    // What the previous command showed must be gone.
    QVERIFY(selectCommand(bench, command, Terminal(to)));
    QCOMPARE(shownArguments(bench), shown);
}

void TestServicePage::valueEditorFollowsType_data()
{
    QTest::addColumn<int>("identifier");
    QTest::addColumn<QString>("value");

    const QString floatLimit = QString::number(3.4028234663852886e38, 'g', 10);
    QTest::newRow("threshold") << 26 << "Value: number, 3 decimals, up to " + floatLimit;
    QTest::newRow("nominal current") << 2 << "Value: number, 3 decimals, up to " + floatLimit;
    QTest::newRow("on or off") << 25 << "Value: number, 0 decimals, up to 4294967295";
    QTest::newRow("operating mode") << 10 << "Value: number, 0 decimals, up to 4294967295";
}

void TestServicePage::valueEditorFollowsType()
{
    QFETCH(int, identifier);
    QFETCH(QString, value);

    Bench bench;
    QVERIFY(bench.open(UserAccount::Admin));
    QTRY_COMPARE_WITH_TIMEOUT(commandsOf(bench)->count(), 43, Patience);
    QVERIFY(selectCommand(bench, "ModelSetValue"));
    auto* choice = bench.widget<QComboBox>("comboBoxArg1");
    // Away and back, so that each row sees a change whatever it starts from.
    choice->setCurrentIndex(identifier == 26 ? 25 : 26);
    choice->setCurrentIndex(identifier);
    QCOMPARE(choice->currentText(),
        Model::Interfaces::modelValueName(Model::Interfaces::ModelValueID(identifier)));
    QCOMPARE(shownArguments(bench), QStringList({"ModelValueID: choice of 55", value}));
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

    // The whole-number editors hold whole numbers only, so what is sent is their value.
    QTest::newRow("static offset: 1, 1 and 4 bytes, single precision") << ExecuteRow {
        "MeasurementSetStaticOffset", -1, {1, 2, -1.25}, {"23 01,02,0000a0bf"}, -1, {}, {}};
    QTest::newRow("single precision rounds to the nearest")
        << ExecuteRow {"SetThermalCapacity", -1, {3, 0.1}, {"35 03,cdcccc3d"}, -1, {}, {}};
    QTest::newRow("largest byte values")
        << ExecuteRow {"PhaseCtrlSetRelay", -1, {255, 0}, {"18 ff,00"}, -1, {}, {}};
    QTest::newRow("action by its entry")
        << ExecuteRow {"ModelFireAction", 8, {}, {"8 0800"}, -1, {}, {}};
    QTest::newRow("float model value")
        << ExecuteRow {"ModelSetValue", 5, {0, 2.5}, {"6 0500,00002040"}, 5, "00002040", "2.5"};
    QTest::newRow("32-bit model value") << ExecuteRow {"ModelSetValue", 39, {0, 4294967295.0},
        {"6 2700,ffffffff"}, 39, "ffffffff", "V255.255.255.255"};
    QTest::newRow("on/off model value in its own size")
        << ExecuteRow {"ModelSetValue", 25, {0, 1}, {"6 1900,01"}, 25, "01", "Enable"};
    QTest::newRow("value that is not mirrored sends nothing")
        << ExecuteRow {"ModelSetValue", 8, {0, 7}, {}, -1, {}, {}};
}

void TestServicePage::execute()
{
    QFETCH(ExecuteRow, row);

    Bench bench;
    QVERIFY(bench.open(UserAccount::Admin));
    QTRY_COMPARE_WITH_TIMEOUT(commandsOf(bench)->count(), 43, Patience);
    QVERIFY(selectCommand(bench, row.command));
    if (row.choice >= 0)
        bench.widget<QComboBox>("comboBoxArg1")->setCurrentIndex(row.choice);
    for (int i = 0; i < row.numbers.size(); ++i) {
        auto* editor = bench.widget<QDoubleSpinBox>(
            qPrintable(QStringLiteral("doubleSpinBoxArg%1").arg(i + 1)));
        editor->setValue(row.numbers.at(i));
    }
    bench.device->clearReceivedFrames();
    QTest::mouseClick(bench.widget<QPushButton>("pushButtonExecuteCommand"), Qt::LeftButton);
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

void TestServicePage::log_data()
{
    QTest::addColumn<bool>("enabled");
    QTest::newRow("enabled") << true;
    QTest::newRow("disabled") << false;
}

void TestServicePage::log()
{
    QFETCH(bool, enabled);

    Bench bench;
    QVERIFY(bench.open(UserAccount::Admin));
    QTRY_COMPARE_WITH_TIMEOUT(commandsOf(bench)->count(), 43, Patience);
    showServicePage(bench);
    auto* log = bench.widget<QPlainTextEdit>("textBrowserLogging");
    // The start-up traffic is logged, and CLEAR empties it.
    QTRY_VERIFY_WITH_TIMEOUT(!log->toPlainText().isEmpty(), Patience);
    QTest::mouseClick(bench.widget<QPushButton>("pushButtonLogClear"), Qt::LeftButton);
    QVERIFY(log->toPlainText().isEmpty());

    bench.widget<QCheckBox>("checkBoxLogEnable")->setChecked(enabled);
    QVERIFY(selectCommand(bench, "GetTemperature"));
    bench.widget<QDoubleSpinBox>("doubleSpinBoxArg1")->setValue(2);
    QTest::mouseClick(bench.widget<QPushButton>("pushButtonExecuteCommand"), Qt::LeftButton);
    QVERIFY(bench.sync());
    // Lines reach the view in batches; give a batch time to arrive.
    if (enabled)
        QTRY_VERIFY_WITH_TIMEOUT(log->toPlainText().contains(QStringLiteral("41.5")), Patience);
    else
        QTest::qWait(300);

    const QStringList lines = log->toPlainText().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    if (!enabled) {
        QCOMPARE(lines, QStringList());
        return;
    }
    const QStringList sent = lines.filter(QRegularExpression("^Send: .*GetTemperature"));
    const QStringList received = lines.filter(QRegularExpression("^Receive: "));
    QCOMPARE(sent.size(), 1);
    // The device's answer, decoded: the temperature it reports.
    QVERIFY2(!received.filter(QStringLiteral("41.5")).isEmpty(), qPrintable(lines.join('\n')));
    for (const QString& line : lines)
        QVERIFY2(line.startsWith("Send: ") || line.startsWith("Receive: "), qPrintable(line));

    QTest::mouseClick(bench.widget<QPushButton>("pushButtonLogClear"), Qt::LeftButton);
    QVERIFY(log->toPlainText().isEmpty());
}

void TestServicePage::logFollowsUnlessScrolledBack()
{
    Bench bench;
    QVERIFY(bench.open(UserAccount::Admin, true));
    showServicePage(bench);
    auto* log = bench.widget<QPlainTextEdit>("textBrowserLogging");
    QScrollBar* bar = log->verticalScrollBar();
    auto feed = [&](int from, int count) {
        for (int i = from; i < from + count; ++i)
            bench.screen->handleCommandReceived(QByteArray::number(i));
        QTRY_VERIFY_WITH_TIMEOUT(
            log->document()->lastBlock().text().endsWith(QByteArray::number(from + count - 1)),
            Patience);
    };
    feed(0, 200);
    QVERIFY(bar->maximum() > 0);
    QCOMPARE(bar->value(), bar->maximum());
    feed(200, 200);
    QCOMPARE(bar->value(), bar->maximum());

    // A reader who scrolled back keeps the lines being read in view.
    bar->setValue(10);
    feed(400, 200);
    QCOMPARE(bar->value(), 10);
    QVERIFY(bar->maximum() > 400);
}

// The link adds lines on its receive thread while the GUI thread takes them: every line arrives
// once and in order, and exactly the appends that found nothing waiting ask for a fetch.
void TestServicePage::pendingLogAcrossThreads()
{
    constexpr int Lines = 100000;
    PendingLog pending(Lines);
    std::atomic<int> fetchRequests {0};
    QThread* writer = QThread::create([&] {
        for (int i = 0; i < Lines; ++i) {
            if (pending.append(QString::number(i)))
                ++fetchRequests;
        }
    });
    writer->start();
    QStringList taken;
    int batches = 0;
    while (!writer->isFinished() || !pending.isEmpty()) {
        const QStringList batch = pending.takeAll();
        batches += batch.isEmpty() ? 0 : 1;
        taken += batch;
    }
    writer->wait();
    delete writer;
    QCOMPARE(taken.size(), Lines);
    for (int i = 0; i < Lines; ++i)
        QCOMPARE(taken.at(i), QString::number(i));
    QCOMPARE(fetchRequests.load(), batches);

    // Beyond its capacity the oldest lines go.
    PendingLog small(3);
    QVERIFY(small.append("a"));
    for (const char* line : {"b", "c", "d", "e"})
        QVERIFY(!small.append(line));
    QCOMPARE(small.takeAll(), (QStringList {"c", "d", "e"}));
    QVERIFY(small.isEmpty());
}

void TestServicePage::logKeepsLastLines_data()
{
    QTest::addColumn<bool>("inView");
    QTest::newRow("log in view") << true;
    QTest::newRow("log out of view, then opened") << false;
}

void TestServicePage::logKeepsLastLines()
{
    Bench bench;
    QVERIFY(bench.open(UserAccount::Admin, true));
    QFETCH(bool, inView);
    if (inView)
        showServicePage(bench);
    auto* log = bench.widget<QPlainTextEdit>("textBrowserLogging");
    for (int i = 0; i < 12000; ++i) {
        bench.screen->handleCommandReceived(QByteArray::number(i));
        if (i % 1000 == 0)
            QCoreApplication::processEvents();
    }
    // Out of view the lines wait, past any flush that came due; they go in once the log is
    // seen.
    QTest::qWait(300);
    if (!inView)
        showServicePage(bench);
    QTRY_COMPARE_WITH_TIMEOUT(
        log->document()->lastBlock().text(), QStringLiteral("Receive: 11999"), Patience);
    const int kept = log->document()->blockCount();
    QVERIFY2(kept >= 1000 && kept < 12000, qPrintable(QString::number(kept)));
    // Nothing in between is lost: the kept lines are the newest, in order.
    QCOMPARE(log->document()->firstBlock().text(),
        QStringLiteral("Receive: ") + QString::number(12000 - kept));
    // Whoever comes back to a live log sees its newest line.
    QCOMPARE(log->verticalScrollBar()->value(), log->verticalScrollBar()->maximum());
}

struct ImageRow
{
    QString fileName;
    QByteArray file; // the file's content
    Terminal target;
    QByteArray expectedImage; // what the device must receive; empty: nothing
    QString label; // the file label afterwards; empty: "Filename: " and the path
    bool exists = true;
};
Q_DECLARE_METATYPE(ImageRow)

void TestServicePage::singleImage_data()
{
    QTest::addColumn<ImageRow>("row");

    const QByteArray image = UpdateTest::randomImage(5, 1500);
    const QByteArray crypt = External::Crypto::FileEncryptor::encrypt(
        image, External::Crypto::FileEncryptor::randomIv());
    QByteArray damaged = crypt;
    damaged[300] = char(damaged[300] ^ 0x01);

    QTest::newRow("plain image to the display")
        << ImageRow {"image.bin", image, Terminal::Display, image, {}};
    QTest::newRow("encrypted image to the display")
        << ImageRow {"image.crypt", crypt, Terminal::Display, image, {}};
    QTest::newRow("encrypted image to the platform")
        << ImageRow {"image.crypt", crypt, Terminal::Platform, image, {}};
    QTest::newRow("upper-case suffix is sent as it is")
        << ImageRow {"image.CRYPT", crypt, Terminal::Display, crypt, {}};
    QTest::newRow("damaged encrypted image")
        << ImageRow {"image.crypt", damaged, Terminal::Display, {}, "Security Error! Wrong Digest"};
    QTest::newRow("file that cannot be read")
        << ImageRow {"gone.bin", {}, Terminal::Display, {}, "Cannot read the file: ", false};
    QTest::newRow("empty file is refused, not announced")
        << ImageRow {"empty.bin", {}, Terminal::Display, {}, "Update refused: "};
    QTest::newRow("encrypted image longer than its text is refused") << ImageRow {"long.crypt",
        UpdateTest::withLengthField(crypt, 4000), Terminal::Display, {}, "Update refused: "};
}

void TestServicePage::singleImage()
{
    QFETCH(ImageRow, row);

    Bench bench;
    QVERIFY(bench.open(UserAccount::Admin));
    const QString path = bench.home.filePath(row.fileName);
    if (row.exists)
        QVERIFY(writeFile(path, row.file));
    answerFileDialogs(bench, path);
    QTest::mouseClick(bench.widget<QPushButton>("pushButtonOpenFile"), Qt::LeftButton);
    auto* label = bench.widget<QLabel>("labelFilename");
    QCOMPARE(label->text(), "Filename: " + path);

    bench.screen->getUSBComponent()->jumpToBootloader(row.target);
    bench.widget<QCheckBox>("checkBoxPlatform")->setChecked(row.target == Terminal::Platform);
    QVERIFY(bench.sync());
    bench.device->clearReceivedFrames();
    QTest::mouseClick(bench.widget<QPushButton>("pushButtonStartUpdate"), Qt::LeftButton);

    auto* progress = bench.widget<QProgressBar>("progressBarUpdate");
    if (row.expectedImage.isEmpty()) {
        QVERIFY(bench.sync());
        QVERIFY2(label->text().startsWith(row.label), qPrintable(label->text()));
        QVERIFY(bench.device->receivedImages(row.target).isEmpty());
        for (const TaloLinkPacket& packet : bench.received())
            QVERIFY(packet.command != TaloLinkCommandID::ApplicationUpdate);
        return;
    }
    QTRY_COMPARE_WITH_TIMEOUT(bench.device->receivedImages(row.target).size(), 1, Patience);
    QCOMPARE(bench.device->receivedImages(row.target).first(), row.expectedImage);
    QCOMPARE(progress->value(), 100);
    QCOMPARE(label->text(), "Filename: " + path);
}

struct RuleRow
{
    UserAccount::User role;
    quint32 deviceVersion;
    QString packageVersion; // the platform image's version in the manifest
    quint32 operatingMode;
    bool allowed;
};
Q_DECLARE_METATYPE(RuleRow)

void TestServicePage::packageDowngradeRule_data()
{
    QTest::addColumn<RuleRow>("row");

    QTest::newRow("supervisor, newer")
        << RuleRow {UserAccount::Supervisor, 0x04030000u, "4.4.0.0", 0, true};
    QTest::newRow("supervisor, newer in the last part")
        << RuleRow {UserAccount::Supervisor, 0x04040000u, "4.4.0.1", 0, true};
    QTest::newRow("supervisor, same")
        << RuleRow {UserAccount::Supervisor, 0x04040000u, "4.4.0.0", 0, false};
    QTest::newRow("supervisor, older")
        << RuleRow {UserAccount::Supervisor, 0x04040000u, "4.3.9.9", 0, false};
    QTest::newRow("admin, same") << RuleRow {UserAccount::Admin, 0x04040000u, "4.4.0.0", 0, true};
    QTest::newRow("admin, older") << RuleRow {UserAccount::Admin, 0x04040000u, "1.0.0.0", 0, true};
    QTest::newRow("demo, older, in safety stop")
        << RuleRow {UserAccount::Demo, 0x04040000u, "1.0.0.0", 3, true};
    QTest::newRow("demo, same, running")
        << RuleRow {UserAccount::Demo, 0x04040000u, "4.4.0.0", 1, false};
    QTest::newRow("demo, newer, idle")
        << RuleRow {UserAccount::Demo, 0x04030000u, "4.4.0.0", 0, true};
}

void TestServicePage::packageDowngradeRule()
{
    QFETCH(RuleRow, row);

    Bench bench;
    bench.addDevice().setUIntValue(PlatformVersionId, row.deviceVersion);
    bench.device->setUIntValue(OperatingModeId, row.operatingMode);
    QVERIFY(bench.open(row.role));
    QVERIFY(bench.sync());

    const QString path = bench.home.filePath(QStringLiteral("package.tar"));
    QVERIFY(UpdateTest::writePackage(path,
        {{"version.json",
            UpdateTest::manifest(QStringLiteral("7.1.2"), QStringLiteral("p.crypt"),
                QStringLiteral("d.crypt"), row.packageVersion)}}));
    answerFileDialogs(bench, path);
    auto* open = bench.widget<QPushButton>("pushButtonOpenUpdatePackage");
    auto* start = bench.widget<QPushButton>("pushButtonStartPackageUpdate");
    QVERIFY(!open->isHidden());
    QTest::mouseClick(open, Qt::LeftButton);

    // Set while the package is being opened: no waiting.
    QCOMPARE(bench.widget<QLabel>("labelPackageVersionText")->text(),
        row.allowed ? QStringLiteral("New Firmware: ")
                    : QStringLiteral("Software downgrade is not allowed! "));
    QCOMPARE(bench.widget<QLabel>("labelPackageVersion")->text(), QStringLiteral("7.1.2"));
    QCOMPARE(!start->isHidden(), row.allowed);
    QCOMPARE(bench.config->getSoftwareUpdateDir(), path);
}

void TestServicePage::packageRefusalShown_data()
{
    QTest::addColumn<QByteArray>("archive");
    QTest::addColumn<bool>("start");
    QTest::addColumn<QString>("message");

    QTest::newRow("not an update package")
        << UpdateTest::randomImage(3, 700) << false << "is not an update package";
    QByteArray damaged = UpdateTest::encrypted(UpdateTest::randomImage(4, 800));
    damaged[200] = char(damaged[200] ^ 0x10);
    Utilities::TarballWriter writer;
    writer.addFile("version.json",
        UpdateTest::manifest(QStringLiteral("4.4.0"), QStringLiteral("p.crypt"),
            QStringLiteral("d.crypt"), QStringLiteral("9.0.0.0")));
    writer.addFile("p.crypt", damaged);
    QTest::newRow("damaged image") << writer.getArchive() << true << "Security Error! Wrong Digest";
}

void TestServicePage::packageRefusalShown()
{
    QFETCH(QByteArray, archive);
    QFETCH(bool, start);
    QFETCH(QString, message);

    Bench bench;
    QVERIFY(bench.open(UserAccount::Admin));
    const QString path = bench.home.filePath(QStringLiteral("package.tar"));
    QVERIFY(writeFile(path, archive));
    answerFileDialogs(bench, path);
    auto* open = bench.widget<QPushButton>("pushButtonOpenUpdatePackage");
    auto* startButton = bench.widget<QPushButton>("pushButtonStartPackageUpdate");
    QTest::mouseClick(open, Qt::LeftButton);
    if (start) {
        QVERIFY(!startButton->isHidden());
        QTest::mouseClick(startButton, Qt::LeftButton);
    }
    QVERIFY(bench.sync());
    QVERIFY2(bench.widget<QLabel>("labelPackageVersionText")->text().contains(message),
        qPrintable(bench.widget<QLabel>("labelPackageVersionText")->text()));
    QVERIFY(!open->isHidden());
    QVERIFY(startButton->isHidden());
    QVERIFY(bench.widget<QProgressBar>("progressBarPackageUpdate")->isHidden());
    QVERIFY(bench.screen->isClosable());
    for (const TaloLinkPacket& packet : bench.received())
        QVERIFY(packet.command != TaloLinkCommandID::ApplicationUpdate);
}

void TestServicePage::packageUpdateAcrossRestart_data()
{
    QTest::addColumn<UserAccount::User>("role");
    QTest::addColumn<bool>("startAgain");
    QTest::newRow("supervisor") << UserAccount::Supervisor << false;
    QTest::newRow("admin") << UserAccount::Admin << true;
}

void TestServicePage::packageUpdateAcrossRestart()
{
    QFETCH(UserAccount::User, role);
    QFETCH(bool, startAgain);

    constexpr quint32 newVersion = 0x04040000u;
    Bench bench;
    bench.addDevice().setUIntValue(PlatformVersionId, 0x04030000u);
    bench.device->setRestartDelay(100);
    QVERIFY(bench.open(role));
    bench.screen->getPackageUpdateService()->setWaits({50, 20, 50});
    // The device comes back on the port poll; the program's one-second poll is too slow here.
    QTimer poll;
    QObject::connect(
        &poll, &QTimer::timeout, bench.manager.data(), &Application::R58::SerialPortManager::poll);
    poll.start(20);

    const QByteArray display = UpdateTest::randomImage(22, 900);
    const QString path = bench.home.filePath(QStringLiteral("package.tar"));
    QVERIFY(UpdateTest::writePackage(path,
        {{"version.json",
             UpdateTest::manifest(QStringLiteral("4.4.0"), QStringLiteral("p.crypt"),
                 QStringLiteral("d.crypt"), QStringLiteral("4.4.0.0"))},
            {"p.crypt", UpdateTest::encrypted(versionedImage(newVersion))},
            {"d.crypt", UpdateTest::encrypted(display)}}));
    answerFileDialogs(bench, path);

    auto* open = bench.widget<QPushButton>("pushButtonOpenUpdatePackage");
    auto* start = bench.widget<QPushButton>("pushButtonStartPackageUpdate");
    auto* progress = bench.widget<QProgressBar>("progressBarPackageUpdate");
    auto* versionText = bench.widget<QLabel>("labelPackageVersionText");
    auto* version = bench.widget<QLabel>("labelPackageVersion");
    QTest::mouseClick(open, Qt::LeftButton);
    QVERIFY(!start->isHidden());

    // What the screen looks like while the device is away restarting.
    bool closableWhileAway = true;
    bool buttonsHiddenWhileAway = false;
    bool progressShownWhileAway = false;
    QObject::connect(
        bench.device.get(), &Simulator::SimulatedDevice::unplugged, bench.screen.get(), [&] {
            closableWhileAway = bench.screen->isClosable();
            buttonsHiddenWhileAway = open->isHidden() && start->isHidden();
            progressShownWhileAway = !progress->isHidden();
        });
    QSignalSpy finished(bench.screen->getPackageUpdateService().data(),
        &PackageUpdateService::packageUpdateFinished);
    QVERIFY(finished.isValid());
    QTest::mouseClick(start, Qt::LeftButton);

    QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 1, Patience);
    QVERIFY(!closableWhileAway);
    QVERIFY(buttonsHiddenWhileAway);
    QVERIFY(progressShownWhileAway);
    QCOMPARE(bench.device->receivedImages(Terminal::Display).size(), 1);
    QCOMPARE(bench.device->receivedImages(Terminal::Display).first(), display);
    QCOMPARE(bench.device->uintValue(PlatformVersionId), newVersion);

    QVERIFY(bench.screen->isClosable());
    QCOMPARE(progress->value(), 100);
    QVERIFY(progress->isHidden());
    QVERIFY(!open->isHidden());
    QCOMPARE(!start->isHidden(), startAgain);
    QCOMPARE(versionText->text().isEmpty(), !startAgain);
    QCOMPARE(version->text().isEmpty(), !startAgain);
}

QTEST_MAIN(TestServicePage)
#include "tst_servicepage.moc"
