// The device screen's pages against a simulated device: identity and status for device states,
// settings mirrored both ways without echo, maxima, export and import through real files,
// factory reset, the phases of measured values, and the motor.

#include "config/settingsmapper.h"
#include "records/settingsbackups.h"
#include "link/serialport.h"
#include "subscreentestsupport.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTableWidget>
#include <QPushButton>
#include <QWheelEvent>
#include <QtTest>

#include <iterator>

using Application::R58::UserAccount;
using SubScreenTest::Bench;

namespace {

using Reports = QList<QPair<quint16, quint32>>;
using Texts = QList<QPair<QString, QString>>; // label object name -> text

// A state the device reports and what the information page must then show.
struct InfoRow
{
    Reports reports;
    Texts texts;
    QString picture; // file name of the status picture below :/images/velor_r58_
    bool direction = false; // a direction picture is shown on the control page
};

// A setting's widget and model value. First the device reports a value, which the widget must
// show without echoing it back; then a user sets one, which must reach the device if "written".
// A negative value skips that step. One row per kind of widget, and the rules' edge cases.
struct Setting
{
    const char* name;
    const char* widget;
    int id;
    double report;
    const char* shown;
    double set;
    bool written;
};
const Setting Settings[] = {
    {"trip class", "comboBoxTripClass", 0, 6, "30", 5, true},
    {"automatic reset", "checkBoxAutoReset", 43, 1, "true", 0, true},
    // Each protection's switch and list reaches its own value on the device.
    {"undercurrent enable", "checkBoxUndercurrentEnable", 25, 1, "true", 0, true},
    {"undercurrent fault type", "comboBoxUndercurrentFaultType", 27, 1, "Error", 0, true},
    {"undervoltage fault type", "comboBoxUndervoltageFaultType", 30, 1, "Error", 0, true},
    {"overvoltage enable", "checkBoxOvervoltageEnable", 31, 1, "true", 0, true},
    {"overvoltage fault type", "comboBoxOvervoltageFaultType", 33, 1, "Error", 0, true},
    {"asymmetry enable", "checkBoxAsymmetryEnable", 52, 1, "true", 0, true},
    {"asymmetry fault type", "comboBoxAsymmetryFaultType", 54, 1, "Error", 0, true},
    // The device holds 2.0: a shown value this close is the same setting.
    {"nominal current unchanged", "doubleSpinBoxNominalCurrent", 2, -1, "", 2.0, false},
    // More decimals than the field offers: shown as the device holds them, nothing goes back;
    // once shown so, a change in the second decimal is the user's.
    {"nominal current changed in its second decimal", "doubleSpinBoxNominalCurrent", 2, 2.03,
        "2.03", 2.06, true},
    // No role may change the softstart, even if its box were reached; it is shown, though.
    {"softstart", "checkBoxSoftstart", 4, -1, "", 1, false},
    {"control softstart", "checkBoxControlSoftstart", 4, 1, "true", 0, false},
};

bool isFloat(int id)
{
    return QList<int> {2, 26, 29, 32, 53}.contains(id);
}

// Sets a widget as a user would; the value is a number for every kind.
void setWidget(QWidget* widget, double value)
{
    if (auto* spin = qobject_cast<QDoubleSpinBox*>(widget))
        spin->setValue(value);
    else if (auto* list = qobject_cast<QComboBox*>(widget))
        list->setCurrentIndex(int(value));
    else if (auto* box = qobject_cast<QCheckBox*>(widget))
        box->setChecked(value != 0.0);
}

QString picture(const Bench& bench)
{
    return bench.widget<QLabel>("labelVelorR58Image")
        ->property("picture")
        .toString()
        .remove(QStringLiteral(":/images/velor_r58_"));
}

bool directionShown(const Bench& bench)
{
    return !bench.widget<QLabel>("labelControlDirection")->pixmap(Qt::ReturnByValue).isNull();
}

const char* const PlusStandby = "strand+_standby.png";

// Has the file dialogs answer with a file at "path" below the home folder holding "content"
// (none if empty), presses the button and returns the page's message label.
QLabel* pressWithFile(Bench& bench, const QString& button, const QString& path,
    const QByteArray& content)
{
    const QString file = bench.home.filePath(path);
    if (!content.isEmpty()) {
        QDir().mkpath(QFileInfo(file).path());
        QSaveFile out(file);
        if (!out.open(QIODevice::WriteOnly) || out.write(content) != content.size() || !out.commit())
            return nullptr;
    }
    bench.answerFileDialogs(file);
    bench.screen->findChild<QPushButton*>(button)->click();
    return bench.widget<QLabel>("labelSettingsMessage");
}

// A value written to the device: its identifier and the number it carried.
using Write = QPair<int, double>;

// The value the device holds, as a number whatever its kind.
double held(const Bench& bench, int id)
{
    return isFloat(id) ? double(bench.device->floatValue(quint16(id)))
                       : double(bench.device->uintValue(quint16(id)));
}

} // namespace

Q_DECLARE_METATYPE(InfoRow)
Q_DECLARE_METATYPE(UserAccount::User)

class TestR58SubScreenPages : public QObject
{
    Q_OBJECT

private slots:
    void information_data();
    void information();
    void settingMirrored_data();
    void settingMirrored();
    void maxima();
    void exportImportRoundTrip();
    void settingsFileRefused_data();
    void settingsFileRefused();
    void refusedValuesNamed_data();
    void refusedValuesNamed();
    void factoryReset();
    void phasesKeepToTheirLabels();
    void motor_data();
    void motor();
    void committedEdits_data();
    void committedEdits();
    void wheelOverUnfocusedField_data();
    void wheelOverUnfocusedField();
    void deviceValuesShownNotSent();
    void nothingSentWithoutDevice_data();
    void nothingSentWithoutDevice();
};

void TestR58SubScreenPages::information_data()
{
    QTest::addColumn<InfoRow>("row");
    const QString info = QStringLiteral("labelFaultInfo");
    const QString code = QStringLiteral("labelFaultCode");
    const QString status = QStringLiteral("labelControlStatus");

    QTest::newRow("start-up") << InfoRow {{},
        Texts {{"labelSoftwareVersion", "V4.3.2.0"}, {"labelHardwareRevision", "01:0A:03"},
            {info, ""}, {code, ""}, {status, "R58 Status: Idle"}},
        PlusStandby};
    QTest::newRow("unknown article keeps the picture")
        << InfoRow {{{46, 51318}}, Texts {{"labelProductName", " "}}, PlusStandby};
    QTest::newRow("platform 262914: line voltages, asymmetry")
        << InfoRow {{{39, 262913}, {39, 262914}},
               Texts {{"labelVoltageText_L3_N", "Voltage L3 - L1"}}, PlusStandby};
    QTest::newRow("supply error with phase") << InfoRow {{{19, 1}, {18, 7}},
        Texts {{info, "Undervoltage Supply L2"}, {code, "E 5804"}}, "strand+_error_supply.png"};
    QTest::newRow("warning shows once the error goes") << InfoRow {
        {{17, 3}, {19, 0}, {18, 9}, {18, 0}},
        Texts {{info, "Phase Asymmetry L1"}, {code, "W 5807"}, {status, "R58 Status: Warning"}},
        "strand+_warning_load.png"};
    QTest::newRow("warning keeps the direction") << InfoRow {
        {{10, 2}, {17, 10}}, Texts {{code, "W 5813"}}, "strand+_warning_supply.png", true};
    QTest::newRow("warning 15 keeps the picture")
        << InfoRow {{{17, 15}}, Texts {{code, "W 5816"}}, PlusStandby};
    // At start-up the operating state usually comes before the article number.
    QTest::newRow("picture follows a late article number") << InfoRow {
        {{46, 0}, {10, 1}, {46, 51310}}, Texts {{"labelProductName", "VELOR®R58 Strand 2,6 A"}},
        "strand_operating.png", true};
}

void TestR58SubScreenPages::information()
{
    QFETCH(InfoRow, row);
    Bench bench;
    QVERIFY(bench.open(UserAccount::Supervisor));
    // One state after the other, each handled before the next, as a real device's come.
    for (const auto& report : row.reports) {
        bench.report(report.first, report.second);
        QVERIFY(bench.sync());
    }
    for (const auto& text : row.texts)
        QCOMPARE(bench.screen->findChild<QLabel*>(text.first)->text(), text.second);
    QCOMPARE(picture(bench), row.picture);
    QVERIFY(!bench.widget<QPushButton>("pushButtonAsymmetrySettings")->isHidden());
    QCOMPARE(directionShown(bench), row.direction);
    // Showing the device's state never writes to it.
    QVERIFY(bench.writtenValues().isEmpty());
}

void TestR58SubScreenPages::settingMirrored_data()
{
    QTest::addColumn<int>("row");
    for (int row = 0; row < int(std::size(Settings)); ++row)
        QTest::newRow(Settings[row].name) << row;
}

void TestR58SubScreenPages::settingMirrored()
{
    QFETCH(int, row);
    const Setting& setting = Settings[row];
    const auto id = quint16(setting.id);

    Bench bench;
    QVERIFY(bench.open(UserAccount::Admin));
    auto* widget = bench.screen->findChild<QWidget*>(setting.widget);
    QVERIFY(widget);
    if (setting.report >= 0) {
        if (isFloat(id))
            bench.reportFloat(id, float(setting.report));
        else
            bench.report(id, quint32(setting.report));
        QVERIFY(bench.settle());
        // What the widget shows: a spin box's value, a list's text, a box's check.
        QCOMPARE(widget->metaObject()->userProperty().read(widget).toString(),
            QString::fromUtf8(setting.shown));
        QCOMPARE(bench.writtenValues(), QList<int> {});
    }
    if (setting.set >= 0) {
        bench.device->clearReceivedFrames();
        setWidget(widget, setting.set);
        QVERIFY(bench.settle());
        QCOMPARE(bench.writtenValues(), setting.written ? QList<int> {setting.id} : QList<int> {});
        if (setting.written)
            QVERIFY2(qAbs(held(bench, id) - setting.set) < 1e-4,
                qPrintable(QString::number(held(bench, id))));
    }
}

void TestR58SubScreenPages::maxima()
{
    Bench bench;
    QVERIFY(bench.open(UserAccount::Supervisor));
    auto* tripClass = bench.widget<QComboBox>("comboBoxTripClass");
    QCOMPARE(tripClass->count(), 8);

    bench.report(1, 5);
    bench.reportFloat(2, 2.6f);
    bench.reportFloat(3, 2.6f);
    QVERIFY(bench.sync());
    QCOMPARE(tripClass->count(), 6);
    for (const char* name : {"doubleSpinBoxUndercurrentThreshold",
             "doubleSpinBoxAsymmetryThreshold", "doubleSpinBoxNominalCurrent"})
        QCOMPARE(bench.widget<QDoubleSpinBox>(name)->maximum(), 2.6);

    // A threshold above a nominal current the device lowered stays as the device holds it.
    bench.reportFloat(26, 2.0f);
    QVERIFY(bench.sync());
    bench.device->clearReceivedFrames();
    bench.reportFloat(2, 1.5f);
    QVERIFY(bench.settle());
    QCOMPARE(bench.widget<QDoubleSpinBox>("doubleSpinBoxUndercurrentThreshold")->value(), 2.0);
    QCOMPARE(bench.writtenValues(), QList<int> {});

    // A higher maximum brings the list back.
    bench.report(1, 7);
    QVERIFY(bench.sync());
    QCOMPARE(tripClass->count(), 8);
}

void TestR58SubScreenPages::exportImportRoundTrip()
{
    Bench bench;
    QVERIFY(bench.open(UserAccount::Supervisor));
    const QString path = bench.home.filePath(QStringLiteral("device.json"));

    // Cancelled: nothing written, nothing remembered.
    bench.answerFileDialogs(QString());
    bench.widget<QPushButton>("pushButtonExport")->click();
    QCOMPARE(bench.fileDialogs, 1);
    QVERIFY(!QFile::exists(path));

    // The file's contents show in what the import brings back.
    bench.answerFileDialogs(path);
    bench.widget<QPushButton>("pushButtonExport")->click();
    QCOMPARE(bench.config->getSettingsDir(), path);
    QCOMPARE(bench.widget<QLabel>("labelSettingsMessage")->property("failure").toBool(), false);

    // The device's settings change; the import brings the file's back: the two that differ.
    // (What an import sends and when is TestCommissioning::importThroughComparison's.)
    bench.widget<QDoubleSpinBox>("doubleSpinBoxNominalCurrent")->setValue(2.4);
    bench.widget<QDoubleSpinBox>("doubleSpinBoxUndervoltageThreshold")->setValue(190);
    QVERIFY(bench.settle());
    bench.device->clearReceivedFrames();
    bench.widget<QPushButton>("pushButtonImport")->click();
    QCOMPARE(bench.fileDialogDirectory, QFileInfo(path).absolutePath());
    QVERIFY(bench.settle());
    QCOMPARE(bench.writtenValues(), (QList<int> {2, 29}));
    QCOMPARE(bench.device->floatValue(29), 207.0f);
    QCOMPARE(bench.widget<QDoubleSpinBox>("doubleSpinBoxNominalCurrent")->value(), 2.0);
}

void TestR58SubScreenPages::settingsFileRefused_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QByteArray>("content"); // empty: no file at all
    QTest::addColumn<QString>("message"); // part of the message

    const QString import = QStringLiteral("pushButtonImport");
    const QString nothingSent = QStringLiteral("Nothing was sent");
    QTest::newRow("missing file") << import << QByteArray() << nothingSent;
    QTest::newRow("no settings") << import << QByteArray("{\"Something\": 1}") << nothingSent;
    QTest::newRow("trip class above the device's maximum")
        << import << QByteArray("{\"TripClass\": 6}") << "Trip class: 30 is outside";
    QTest::newRow("undercurrent above the nominal current")
        << import << QByteArray("{\"NominalCurrent\": 2.0, \"Undercurrent\": {\"Threshold\": 2.5}}")
        << "Undercurrent";
    QTest::newRow("unknown fault type")
        << import << QByteArray("{\"Overvoltage\": {\"FaultType\": 2}}")
        << "Overvoltage fault type";
    // Cut to eight bits, 260 would be class 10 and 257 an error; neither is what the file says.
    QTest::newRow("trip class 260")
        << import << QByteArray("{\"TripClass\": 260, \"NominalCurrent\": 2.0}") << "Trip class: 260";
    QTest::newRow("fault type 2.5")
        << import << QByteArray("{\"Undercurrent\": {\"FaultType\": 2.5}}")
        << "Undercurrent fault type: 2.5";
    QTest::newRow("undervoltage below the field's 1 V")
        << import << QByteArray("{\"Undervoltage\": {\"Threshold\": 0}}") << "Undervoltage";
    QTest::newRow("export to a missing folder")
        << "pushButtonExport" << QByteArray() << "could not be written";
}

void TestR58SubScreenPages::settingsFileRefused()
{
    QFETCH(QString, button);
    QFETCH(QByteArray, content);
    QFETCH(QString, message);

    Bench bench;
    QVERIFY(bench.open(UserAccount::Supervisor));
    // The device allows trip classes up to "20" and 2.6 A.
    bench.report(1, 5);
    bench.reportFloat(3, 2.6f);
    QVERIFY(bench.sync());
    bench.device->clearReceivedFrames();

    QLabel* shown = pressWithFile(bench, button, "missing/folder/settings.json", content);
    QVERIFY(shown && bench.sync());
    QCOMPARE(bench.writtenValues(), QList<int> {});
    QVERIFY(shown->property("failure").toBool());
    QVERIFY2(shown->text().contains(message), qPrintable(shown->text()));
    QVERIFY(bench.config->getSettingsDir().isEmpty());
    if (content.isEmpty())
        QVERIFY(!QFile::exists(bench.home.filePath("missing/folder/settings.json")));
}

void TestR58SubScreenPages::refusedValuesNamed_data()
{
    QTest::addColumn<QString>("button");
    QTest::newRow("compare") << QStringLiteral("pushButtonCompare");
    QTest::newRow("import") << QStringLiteral("pushButtonImport");
}

// Every value of a file the device must not get stands on its setting's row, marked, whether
// the file refuses it (no value of the setting) or the device's limits do; no other row is.
void TestR58SubScreenPages::refusedValuesNamed()
{
    using Application::R58::SettingKey;
    using Application::R58::SettingsMapper;
    QFETCH(QString, button);
    Bench bench;
    QVERIFY(bench.open(UserAccount::Supervisor));
    const QList<SettingKey> refused {SettingKey::TripClass, SettingKey::UndercurrentThreshold,
        SettingKey::UndercurrentFaultType, SettingKey::UndervoltageThreshold,
        SettingKey::OvervoltageFaultType};
    QStringList marked;
    QStringList unmarked;
    bool canApply = true;
    bench.screen->setDialogRunner([&](QDialog& dialog) {
        auto* table = dialog.findChild<QTableWidget*>();
        dialog.findChild<QCheckBox*>()->setChecked(true);
        for (int row = 0; table && row < table->rowCount(); ++row) {
            const auto* item = table->item(row, 0);
            const bool isMarked = !table->isRowHidden(row)
                && item->foreground().style() != Qt::NoBrush
                && item->foreground().color() != dialog.palette().color(QPalette::Text);
            (isMarked ? marked : unmarked) << item->text();
        }
        auto* apply = dialog.findChild<QPushButton*>(QStringLiteral("pushButtonApply"));
        canApply = apply && apply->isEnabled();
        return int(QDialog::Rejected);
    });
    pressWithFile(bench, button, "refused.json",
        "{\"TripClass\": 260, \"NominalCurrent\": 2.0, "
        "\"Undercurrent\": {\"Threshold\": 2.5, \"FaultType\": 2.5}, "
        "\"Undervoltage\": {\"Threshold\": 0}, \"Overvoltage\": {\"FaultType\": 2}}");
    QVERIFY(bench.settle());
    QStringList expected;
    for (const SettingKey key : refused)
        expected << SettingsMapper::name(key);
    QCOMPARE(marked, expected);
    QVERIFY(!unmarked.isEmpty());
    QVERIFY(!canApply);
    QCOMPARE(bench.writtenValues(), QList<int> {});
}

void TestR58SubScreenPages::factoryReset()
{
    Bench bench;
    QVERIFY(bench.open(UserAccount::Supervisor));
    bench.widget<QDoubleSpinBox>("doubleSpinBoxNominalCurrent")->setValue(2.4);
    bench.widget<QCheckBox>("checkBoxUndervoltageEnable")->setChecked(true);
    QVERIFY(bench.settle());
    bench.device->clearReceivedFrames();

    // The question's "No" (its default) sends nothing; "Yes" resets.
    bench.resetAnswer = QMessageBox::No;
    bench.widget<QPushButton>("pushButtonFactoryReset")->click();
    QVERIFY(bench.settle());
    QCOMPARE(bench.actions(), QList<int> {});
    bench.resetAnswer = QMessageBox::Yes;
    bench.widget<QPushButton>("pushButtonFactoryReset")->click();
    QVERIFY(bench.settle());
    QCOMPARE(bench.actions(), QList<int> {5});
    QCOMPARE(bench.writtenValues(), QList<int> {});
    QCOMPARE(bench.widget<QDoubleSpinBox>("doubleSpinBoxNominalCurrent")->value(), 2.0);
    QVERIFY(!bench.widget<QCheckBox>("checkBoxUndervoltageEnable")->isChecked());

    // The settings from before were backed up; restoring them brings back what the reset changed.
    const auto backups = Records::SettingsBackups().list(QStringLiteral("21504711"));
    QCOMPARE(backups.size(), 1);
    QCOMPARE(backups.first().reason, Records::SettingsBackups::Reason::FactoryReset);
    bench.device->clearReceivedFrames();
    bench.widget<QPushButton>("pushButtonRestore")->click();
    QVERIFY(bench.settle());
    QCOMPARE(bench.writtenValues(), (QList<int> {2, 28}));
    QCOMPARE(bench.widget<QDoubleSpinBox>("doubleSpinBoxNominalCurrent")->value(), 2.4);
}

// A device streams the three phases back to back; the screen usually handles them only after
// the whole burst has been read, and each label must still show its own phase. Phase 3 ("all
// phases"), reported last, changes no label.
void TestR58SubScreenPages::phasesKeepToTheirLabels()
{
    Bench bench;
    QVERIFY(bench.open(UserAccount::Supervisor));
    auto texts = [&bench] {
        QStringList shown;
        for (const char* name : {"labelVoltage_L1_N", "labelVoltage_L2_N", "labelVoltage_L3_N",
                 "labelCurrent_L1", "labelCurrent_L2", "labelCurrent_L3"})
            shown << bench.widget<QLabel>(name)->text();
        return shown;
    };
    for (int round = 0; round < 3; ++round) {
        QStringList expected;
        for (quint32 phase = 0; phase < 4; ++phase) {
            bench.report(20, phase);
            bench.reportFloat(34, 390.0f + 10 * phase + round);
            bench.reportFloat(35, 1.25f + phase + round / 10.0f);
        }
        for (int phase = 0; phase < 3; ++phase)
            expected << QString::number(390 + 10 * phase + round) + " V";
        for (int phase = 0; phase < 3; ++phase)
            expected << QStringLiteral("%1.%2 A").arg(phase + 1).arg(2 + round);
        QVERIFY(bench.sync());
        QTRY_COMPARE(texts(), expected);
    }
    // The three powers, each to its own label, in kilo-units.
    bench.reportFloat(36, 1500.0f);
    bench.reportFloat(38, 800.0f);
    bench.reportFloat(37, 1700.0f);
    QVERIFY(bench.sync());
    QTRY_COMPARE(bench.widget<QLabel>("labelActivePower")->text(), QStringLiteral("1.50 kW"));
    QCOMPARE(bench.widget<QLabel>("labelReactivePower")->text(), QStringLiteral("0.80 kVAr"));
    QCOMPARE(bench.widget<QLabel>("labelApparentPower")->text(), QStringLiteral("1.70 kVA"));
}

void TestR58SubScreenPages::motor_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QList<int>>("actions");
    QTest::addColumn<quint32>("mode");
    QTest::newRow("forward") << "Forward" << QList<int> {8, 7} << 1u;
    QTest::newRow("backward") << "Backward" << QList<int> {8, 6} << 2u;
    QTest::newRow("stop") << "Idle" << QList<int> {8} << 0u;
}

void TestR58SubScreenPages::motor()
{
    QFETCH(QString, button);
    QFETCH(QList<int>, actions);
    QFETCH(quint32, mode);
    Bench bench;
    QVERIFY(bench.open(UserAccount::Supervisor));
    bench.screen->findChild<QPushButton*>("pushButtonControl" + button)->click();
    // At once, before the device answers, and confirmed by its report of the operating mode.
    auto* status = bench.widget<QLabel>("labelControlStatus");
    QCOMPARE(status->text(), "R58 Status: " + button);
    QCOMPARE(directionShown(bench), mode != 0);
    QVERIFY(bench.sync());
    QCOMPARE(bench.actions(), actions);
    QCOMPARE(bench.device->uintValue(10), mode);
    QCOMPARE(status->text(), "R58 Status: " + button);
    QCOMPARE(picture(bench), mode ? "strand+_operating.png" : PlusStandby);
}

namespace {

// The configuration page in a window of its own, as the default-button handling of a dialog
// needs, with the focus on its page button and nothing received yet.
bool openConfiguration(Bench& bench)
{
    if (!bench.open(UserAccount::Supervisor))
        return false;
    auto* page = bench.widget<QPushButton>("pushButtonConfiguration");
    page->click();
    bench.screen->show();
    bench.screen->activateWindow();
    if (!QTest::qWaitForWindowActive(bench.screen.get()))
        return false;
    page->setFocus();
    if (!bench.settle())
        return false;
    bench.device->clearReceivedFrames();
    return true;
}

} // namespace

void TestR58SubScreenPages::committedEdits_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed"); // replaces the field's text, then Enter
    QTest::addColumn<int>("key"); // pressed afterwards, if not 0
    QTest::addColumn<QList<Write>>("expected");
    QTest::addColumn<QString>("message"); // part of the page's message

    const QString nominal = QStringLiteral("doubleSpinBoxNominalCurrent");
    const QString undervoltage = QStringLiteral("doubleSpinBoxUndervoltageThreshold");
    QTest::newRow("threshold typed, sent on Enter") << "doubleSpinBoxOvervoltageThreshold"
                                                    << "250" << 0 << QList<Write> {{32, 250.0}}
                                                    << QString();
    // Typed digit by digit this passes 1 A on the way.
    QTest::newRow("nominal current typed")
        << nominal << "1.5" << 0 << QList<Write> {{2, 1.5}} << QString();
    QTest::newRow("nominal current typed below 1 A")
        << nominal << "0.5" << 0 << QList<Write> {{2, 0.5}} << QString();
    QTest::newRow("nominal current below a threshold lowers it")
        << nominal << "0.3" << 0 << QList<Write> {{2, 0.3}, {26, 0.3}}
        << "Undercurrent threshold lowered to 0.3 A.";
    QTest::newRow("arrow key sends one step")
        << undervoltage << "" << int(Qt::Key_Up) << QList<Write> {{29, 208.0}} << QString();
    QTest::newRow("Enter without a change")
        << undervoltage << "207" << 0 << QList<Write> {} << QString();
}

void TestR58SubScreenPages::committedEdits()
{
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(int, key);
    QFETCH(QList<Write>, expected);
    QFETCH(QString, message);
    Bench bench;
    QVERIFY(openConfiguration(bench));

    auto* spin = bench.screen->findChild<QDoubleSpinBox*>(field);
    spin->setFocus();
    if (!typed.isEmpty()) {
        spin->selectAll();
        QTest::keyClicks(spin, typed);
        QTest::keyClick(spin, Qt::Key_Return);
    }
    if (key)
        QTest::keyClick(spin, Qt::Key(key));
    QVERIFY(bench.settle());
    // Each once, and nothing else: no action of a button that Enter might have pressed.
    QCOMPARE(bench.received().size(), expected.size());
    QList<int> ids;
    for (const Write& write : expected) {
        ids << write.first;
        QVERIFY2(qAbs(held(bench, write.first) - write.second) < 1e-4,
            qPrintable(QString::number(held(bench, write.first))));
    }
    QCOMPARE(bench.writtenValues(), ids);
    QVERIFY(bench.screen->isVisible());
    const QString shown = bench.widget<QLabel>("labelSettingsMessage")->text();
    QVERIFY2(shown.contains(message), qPrintable(shown));
}

void TestR58SubScreenPages::wheelOverUnfocusedField_data()
{
    QTest::addColumn<QString>("field");
    QTest::newRow("spin box") << "doubleSpinBoxNominalCurrent";
    QTest::newRow("list") << "comboBoxTripClass";
}

void TestR58SubScreenPages::wheelOverUnfocusedField()
{
    QFETCH(QString, field);
    Bench bench;
    QVERIFY(openConfiguration(bench));
    auto* widget = bench.screen->findChild<QWidget*>(field);
    const QPoint centre = widget->rect().center();
    for (int turn = 0; turn < 3; ++turn) {
        QWheelEvent wheel(centre, widget->mapToGlobal(centre), QPoint(), QPoint(0, -120),
            Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(widget, &wheel);
    }
    QVERIFY(bench.settle());
    QCOMPARE(bench.writtenValues(), QList<int> {});
    QVERIFY(!widget->hasFocus());
}

void TestR58SubScreenPages::deviceValuesShownNotSent()
{
    Bench bench;
    auto& device = bench.addDevice();
    device.setFloatValue(2, 0.25f); // nominal current off the field's one decimal
    device.setFloatValue(26, 2.0f); // undercurrent threshold above the nominal current
    device.setFloatValue(29, 700.0f); // undervoltage threshold above the field's 600 V
    device.setFloatValue(32, 0.5f); // overvoltage threshold below the field's 1 V
    device.setUIntValue(1, 5); // trip classes up to "20" ...
    device.setUIntValue(0, 7); // ... and the device holds "40E"
    device.setUIntValue(30, 2); // a fault type no list offers
    int written = 0;
    QObject::connect(&device, &Simulator::SimulatedDevice::frameReceived, &device,
        [&written](const QByteArray& raw) {
            written += SubScreenTest::TaloLinkPacket::decode(raw).command
                == SubScreenTest::TaloLinkCommandID::SetModelValue;
        });
    QVERIFY(bench.open(UserAccount::Admin));
    QTest::qWait(3000);
    QCOMPARE(written, 0);
    for (const auto& field : QList<QPair<const char*, const char*>> {
             {"doubleSpinBoxNominalCurrent", "0.25"}, {"doubleSpinBoxUndercurrentThreshold", "2.0"},
             {"doubleSpinBoxUndervoltageThreshold", "700"},
             {"doubleSpinBoxOvervoltageThreshold", "0.5"}})
        QCOMPARE(bench.widget<QDoubleSpinBox>(field.first)->cleanText(), field.second);
    QVERIFY(bench.widget<QDoubleSpinBox>("doubleSpinBoxUndervoltageThreshold")
                ->property("outsideField")
                .toBool());
    QCOMPARE(bench.widget<QComboBox>("comboBoxTripClass")->currentIndex(), -1);
}

void TestR58SubScreenPages::nothingSentWithoutDevice_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("unplugged"); // else the offline screen
    QTest::newRow("factory reset, offline") << "pushButtonFactoryReset" << false;
    QTest::newRow("import, offline") << "pushButtonImport" << false;
    QTest::newRow("factory reset, port lost") << "pushButtonFactoryReset" << true;
}

void TestR58SubScreenPages::nothingSentWithoutDevice()
{
    QFETCH(QString, button);
    QFETCH(bool, unplugged);
    Bench bench;
    QVERIFY(bench.open(UserAccount::Supervisor, !unplugged));
    if (unplugged) {
        auto port = bench.screen->getUSBComponent()->getSerialPort();
        bench.device->unplug();
        QTRY_VERIFY_WITH_TIMEOUT(!port->isOpen(), SubScreenTest::Wait);
    }
    QLabel* shown = pressWithFile(bench, button, "settings.json", "{\"TripClass\": 3}");
    QVERIFY(shown && shown->property("failure").toBool());
    QVERIFY2(shown->text().contains(QStringLiteral("Nothing was sent")), qPrintable(shown->text()));
}

QTEST_MAIN(TestR58SubScreenPages)
#include "tst_r58subscreenpages.moc"
