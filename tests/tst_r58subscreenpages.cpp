// The device screen's pages against a simulated device: identity and status for many device
// states, settings mirrored both ways without echo, maxima, export and import through real
// files, factory reset, measurements and the motor.

#include "config/config.h"
#include "model/modeldatabase.h"
#include "subscreentestsupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPushButton>
#include <QRegularExpression>
#include <QTextBrowser>
#include <QtTest>

using Application::R58::UserAccount;
using SubScreenTest::Bench;

namespace {

using Reports = QList<QPair<quint16, quint32>>;

// A state the device reports and what the information page must then show.
struct InfoRow
{
    Reports reports;
    QList<QPair<QString, QString>> texts; // label object name -> text
    QString picture; // resource path of the status picture
    bool asymmetryButton = true;
    bool direction = false; // a direction picture is shown on the control page
};

const QString PlusStandby = QStringLiteral(":/images/velor_r58_strand+_standby.png");

// The settings in the order the export writes them and the import sends them.
const QList<int> TwelveSettings {0, 2, 43, 25, 26, 27, 28, 29, 30, 31, 32, 33};

} // namespace

Q_DECLARE_METATYPE(InfoRow)
Q_DECLARE_METATYPE(UserAccount::User)

class TestR58SubScreenPages : public QObject
{
    Q_OBJECT

private slots:
    void information_data();
    void information();
    void aboutShowsProgramVersion();

    void widgetChangeReachesDevice_data();
    void widgetChangeReachesDevice();
    void deviceReportUpdatesWidget_data();
    void deviceReportUpdatesWidget();
    void maxima();
    void exportImportRoundTrip();
    void importRefused_data();
    void importRefused();
    void exportUnwritable();
    void factoryReset();

    void measurements_data();
    void measurements();
    void otherPhasesChangeNothing();
    void phaseBurstKeepsEachPhaseInItsLabel();
    void motor_data();
    void motor();
};

void TestR58SubScreenPages::information_data()
{
    QTest::addColumn<InfoRow>("row");
    using T = QList<QPair<QString, QString>>;

    QTest::newRow("start-up") << InfoRow {{},
        T {{"labelProductName", "VELOR®R58 Strand Plus 2,6 A"}, {"labelArticleNumber", "51322A"},
            {"labelSerialNumber", "21504711"}, {"labelSoftwareVersion", "V4.3.2.0"},
            {"labelHardwareRevision", "01:0A:03"}, {"labelFaultInfo", ""}, {"labelFaultCode", ""},
            {"labelControlStatus", "R58 Status: Idle"}},
        PlusStandby};
    QTest::newRow("Strand 2,6 A") << InfoRow {{{46, 51310}, {47, 'B'}, {10, 0}},
        T {{"labelProductName", "VELOR®R58 Strand 2,6 A"}, {"labelArticleNumber", "51310B"}},
        ":/images/velor_r58_strand_standby.png"};
    QTest::newRow("Strand 6,6 A forward") << InfoRow {{{46, 51314}, {10, 1}},
        T {{"labelProductName", "VELOR®R58 Strand 6,6 A"},
            {"labelControlStatus", "R58 Status: Forward"}},
        ":/images/velor_r58_strand_operating.png", true, true};
    QTest::newRow("Strand Plus 6,6 A backward") << InfoRow {{{46, 51326}, {10, 2}},
        T {{"labelProductName", "VELOR®R58 Strand Plus 6,6 A"},
            {"labelControlStatus", "R58 Status: Backward"}},
        ":/images/velor_r58_strand+_operating.png", true, true};
    QTest::newRow("article between the variants keeps the picture")
        << InfoRow {{{46, 51318}, {9, 40}, {18, 2}},
               T {{"labelProductName", " "}, {"labelFaultInfo", "Overload 40 %"},
                   {"labelFaultCode", "E 5806"}},
               PlusStandby};
    QTest::newRow("board revisions in hexadecimal") << InfoRow {
        {{40, 15}, {41, 0}, {42, 11}}, T {{"labelHardwareRevision", "0F:00:0B"}}, PlusStandby};
    QTest::newRow("platform 262913: phase voltages, no asymmetry") << InfoRow {{{39, 262913}},
        T {{"labelSoftwareVersion", "V0.4.3.1"}, {"labelVoltageText_L1_N", "Voltage L1 - N"},
            {"labelVoltageText_L2_N", "Voltage L2 - N"},
            {"labelVoltageText_L3_N", "Voltage L3 - N"}},
        PlusStandby, false};
    QTest::newRow("platform 262914: line voltages, asymmetry") << InfoRow {
        {{39, 262913}, {39, 262914}},
        T {{"labelSoftwareVersion", "V0.4.3.2"}, {"labelVoltageText_L1_N", "Voltage L1 - L2"},
            {"labelVoltageText_L2_N", "Voltage L2 - L3"},
            {"labelVoltageText_L3_N", "Voltage L3 - L1"}},
        PlusStandby, true};
    QTest::newRow("overload with capacity") << InfoRow {{{9, 87}, {18, 2}},
        T {{"labelFaultInfo", "Overload 87 %"}, {"labelFaultCode", "E 5806"},
            {"labelControlStatus", "R58 Status: Error"}},
        ":/images/velor_r58_strand+_error_load.png"};
    QTest::newRow("undercurrent on all phases") << InfoRow {{{19, 3}, {18, 5}},
        T {{"labelFaultInfo", "Undercurrent L1 / L2 / L3"}, {"labelFaultCode", "E 5802"}},
        ":/images/velor_r58_strand+_error_load.png"};
    QTest::newRow("supply error with phase") << InfoRow {{{19, 1}, {18, 7}},
        T {{"labelFaultInfo", "Undervoltage Supply L2"}, {"labelFaultCode", "E 5804"}},
        ":/images/velor_r58_strand+_error_supply.png"};
    QTest::newRow("error clears the direction") << InfoRow {{{10, 1}, {18, 12}},
        T {{"labelFaultInfo", "Device Error "}, {"labelFaultCode", "E 5811"},
            {"labelControlStatus", "R58 Status: Error"}},
        ":/images/velor_r58_strand+_error.png", true, false};
    QTest::newRow("error hides warning") << InfoRow {{{17, 3}, {18, 9}},
        T {{"labelFaultInfo", "Overtemperature "}, {"labelFaultCode", "E 5805"}},
        ":/images/velor_r58_strand+_error.png"};
    QTest::newRow("warning shows once the error goes")
        << InfoRow {{{17, 3}, {19, 0}, {18, 9}, {18, 0}},
               T {{"labelFaultInfo", "Phase Asymmetry L1"}, {"labelFaultCode", "W 5807"},
                   {"labelControlStatus", "R58 Status: Warning"}},
               ":/images/velor_r58_strand+_warning_load.png"};
    QTest::newRow("warning keeps the direction") << InfoRow {{{10, 2}, {17, 10}},
        T {{"labelFaultInfo", "Undervoltage Aux "}, {"labelFaultCode", "W 5813"}},
        ":/images/velor_r58_strand+_warning_supply.png", true, true};
    QTest::newRow("warning 15 keeps the picture") << InfoRow {
        {{17, 15}}, T {{"labelFaultInfo", "  "}, {"labelFaultCode", "W 5816"}}, PlusStandby};
    QTest::newRow("safety stop changes nothing")
        << InfoRow {{{10, 1}, {10, 3}}, T {{"labelControlStatus", "R58 Status: Forward"}},
               ":/images/velor_r58_strand+_operating.png", true, true};
    QTest::newRow("fault cleared") << InfoRow {{{9, 50}, {18, 2}, {18, 0}},
        T {{"labelFaultInfo", ""}, {"labelFaultCode", ""},
            {"labelControlStatus", "R58 Status: Idle"}},
        PlusStandby};
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

    for (const auto& text : row.texts) {
        auto* label = bench.screen->findChild<QLabel*>(text.first);
        QVERIFY2(label, qPrintable(text.first));
        QCOMPARE(label->text(), text.second);
    }
    QCOMPARE(
        bench.widget<QLabel>("labelVelorR58Image")->property("picture").toString(), row.picture);
    QCOMPARE(
        !bench.widget<QPushButton>("pushButtonAsymmetrySettings")->isHidden(), row.asymmetryButton);
    const QPixmap direction
        = bench.widget<QLabel>("labelControlDirection")->pixmap(Qt::ReturnByValue);
    QCOMPARE(!direction.isNull(), row.direction);
    // Showing the device's state never writes to it.
    QVERIFY(bench.writtenValues().isEmpty());
}

void TestR58SubScreenPages::aboutShowsProgramVersion()
{
    Bench bench;
    QVERIFY(bench.open(UserAccount::Customer, true));
    QCOMPARE(bench.widget<QLabel>("labelAboutVersion")->text(), QStringLiteral("V0.4.3.4"));
    QVERIFY(!bench.widget<QTextBrowser>("textBrowserImpressum")->toPlainText().isEmpty());
    QVERIFY(!bench.widget<QTextBrowser>("textBrowserPrivacy")->toPlainText().isEmpty());
}

void TestR58SubScreenPages::widgetChangeReachesDevice_data()
{
    QTest::addColumn<UserAccount::User>("role");
    QTest::addColumn<QString>("widget");
    QTest::addColumn<double>("value");
    QTest::addColumn<QList<int>>("written");
    QTest::addColumn<double>("deviceValue");

    const auto supervisor = UserAccount::Supervisor;
    QTest::newRow("nominal current")
        << supervisor << "doubleSpinBoxNominalCurrent" << 2.4 << QList<int> {2} << 2.4;
    QTest::newRow("trip class") << supervisor << "comboBoxTripClass" << 5.0 << QList<int> {0}
                                << 5.0;
    QTest::newRow("automatic reset")
        << supervisor << "checkBoxAutoReset" << 1.0 << QList<int> {43} << 1.0;
    QTest::newRow("undercurrent threshold")
        << supervisor << "doubleSpinBoxUndercurrentThreshold" << 1.5 << QList<int> {26} << 1.5;
    QTest::newRow("undercurrent enable")
        << supervisor << "checkBoxUndercurrentEnable" << 1.0 << QList<int> {25} << 1.0;
    QTest::newRow("undercurrent fault type")
        << supervisor << "comboBoxUndercurrentFaultType" << 1.0 << QList<int> {27} << 1.0;
    QTest::newRow("undervoltage threshold")
        << supervisor << "doubleSpinBoxUndervoltageThreshold" << 190.0 << QList<int> {29} << 190.0;
    QTest::newRow("undervoltage enable")
        << supervisor << "checkBoxUndervoltageEnable" << 1.0 << QList<int> {28} << 1.0;
    QTest::newRow("undervoltage fault type")
        << supervisor << "comboBoxUndervoltageFaultType" << 1.0 << QList<int> {30} << 1.0;
    QTest::newRow("overvoltage threshold")
        << supervisor << "doubleSpinBoxOvervoltageThreshold" << 260.0 << QList<int> {32} << 260.0;
    QTest::newRow("overvoltage enable")
        << supervisor << "checkBoxOvervoltageEnable" << 1.0 << QList<int> {31} << 1.0;
    QTest::newRow("overvoltage fault type")
        << supervisor << "comboBoxOvervoltageFaultType" << 1.0 << QList<int> {33} << 1.0;
    QTest::newRow("asymmetry threshold")
        << supervisor << "doubleSpinBoxAsymmetryThreshold" << 0.5 << QList<int> {53} << 0.5;
    QTest::newRow("asymmetry enable")
        << supervisor << "checkBoxAsymmetryEnable" << 1.0 << QList<int> {52} << 1.0;
    QTest::newRow("asymmetry fault type")
        << supervisor << "comboBoxAsymmetryFaultType" << 1.0 << QList<int> {54} << 1.0;
    // The device holds 2.0: a shown value this close is the same setting.
    QTest::newRow("nominal current unchanged")
        << supervisor << "doubleSpinBoxNominalCurrent" << 2.0 << QList<int> {} << 2.0;
    QTest::newRow("same trip class")
        << supervisor << "comboBoxTripClass" << 3.0 << QList<int> {} << 3.0;
    // No role may change the softstart, even if its box were reached.
    QTest::newRow("softstart without the right")
        << UserAccount::Admin << "checkBoxSoftstart" << 1.0 << QList<int> {} << 0.0;
    QTest::newRow("control softstart without the right")
        << UserAccount::Admin << "checkBoxControlSoftstart" << 1.0 << QList<int> {} << 0.0;
}

namespace {

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

double deviceNumber(Simulator::SimulatedDevice& device, int id)
{
    static const QList<int> floats {2, 26, 29, 32, 53};
    return floats.contains(id) ? double(device.floatValue(quint16(id)))
                               : double(device.uintValue(quint16(id)));
}

} // namespace

void TestR58SubScreenPages::widgetChangeReachesDevice()
{
    QFETCH(UserAccount::User, role);
    QFETCH(QString, widget);
    QFETCH(double, value);
    QFETCH(QList<int>, written);
    QFETCH(double, deviceValue);

    Bench bench;
    QVERIFY(bench.open(role));
    auto* target = bench.screen->findChild<QWidget*>(widget);
    QVERIFY(target);
    setWidget(target, value);
    // The device reports the new value back; the barrier waits until that report was handled.
    QVERIFY(bench.sync());
    QVERIFY(bench.sync());
    QCOMPARE(bench.writtenValues(), written);
    const int id = written.isEmpty() ? -1 : written.first();
    if (id >= 0)
        QVERIFY(qAbs(deviceNumber(*bench.device, id) - deviceValue) < 1e-4);
}

void TestR58SubScreenPages::deviceReportUpdatesWidget_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("widget");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QList<int>>("written");

    QTest::newRow("nominal current") << 2 << 2.5 << "doubleSpinBoxNominalCurrent"
                                     << "2.5" << QList<int> {};
    // Shown as 2.0, which is within the tolerance of 2.03: nothing goes back.
    QTest::newRow("nominal current with more decimals")
        << 2 << 2.03 << "doubleSpinBoxNominalCurrent"
        << "2.0" << QList<int> {};
    QTest::newRow("trip class") << 0 << 6.0 << "comboBoxTripClass"
                                << "30" << QList<int> {};
    QTest::newRow("automatic reset") << 43 << 1.0 << "checkBoxAutoReset"
                                     << "1" << QList<int> {};
    QTest::newRow("softstart") << 4 << 1.0 << "checkBoxControlSoftstart"
                               << "1" << QList<int> {};
    QTest::newRow("undercurrent threshold") << 26 << 1.2 << "doubleSpinBoxUndercurrentThreshold"
                                            << "1.2" << QList<int> {};
    QTest::newRow("undercurrent enable") << 25 << 1.0 << "checkBoxUndercurrentEnable"
                                         << "1" << QList<int> {};
    QTest::newRow("undercurrent fault type") << 27 << 1.0 << "comboBoxUndercurrentFaultType"
                                             << "Error" << QList<int> {};
    QTest::newRow("undervoltage threshold") << 29 << 199.0 << "doubleSpinBoxUndervoltageThreshold"
                                            << "199" << QList<int> {};
    QTest::newRow("undervoltage enable") << 28 << 1.0 << "checkBoxUndervoltageEnable"
                                         << "1" << QList<int> {};
    QTest::newRow("undervoltage fault type") << 30 << 1.0 << "comboBoxUndervoltageFaultType"
                                             << "Error" << QList<int> {};
    QTest::newRow("overvoltage threshold") << 32 << 255.0 << "doubleSpinBoxOvervoltageThreshold"
                                           << "255" << QList<int> {};
    QTest::newRow("overvoltage enable") << 31 << 1.0 << "checkBoxOvervoltageEnable"
                                        << "1" << QList<int> {};
    QTest::newRow("overvoltage fault type") << 33 << 1.0 << "comboBoxOvervoltageFaultType"
                                            << "Error" << QList<int> {};
    QTest::newRow("asymmetry threshold") << 53 << 0.7 << "doubleSpinBoxAsymmetryThreshold"
                                         << "0.7" << QList<int> {};
    QTest::newRow("asymmetry enable") << 52 << 1.0 << "checkBoxAsymmetryEnable"
                                      << "1" << QList<int> {};
    QTest::newRow("asymmetry fault type") << 54 << 1.0 << "comboBoxAsymmetryFaultType"
                                          << "Error" << QList<int> {};
    // A threshold the spin box cannot show goes back as shown.
    QTest::newRow("threshold with more decimals is written as shown")
        << 26 << 1.23 << "doubleSpinBoxUndercurrentThreshold"
        << "1.2" << QList<int> {26};
}

namespace {

QString shown(QWidget* widget)
{
    if (auto* spin = qobject_cast<QDoubleSpinBox*>(widget))
        return spin->cleanText();
    if (auto* list = qobject_cast<QComboBox*>(widget))
        return list->currentText();
    if (auto* box = qobject_cast<QCheckBox*>(widget))
        return box->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
    return {};
}

} // namespace

void TestR58SubScreenPages::deviceReportUpdatesWidget()
{
    QFETCH(int, id);
    QFETCH(double, value);
    QFETCH(QString, widget);
    QFETCH(QString, shown);
    QFETCH(QList<int>, written);

    Bench bench;
    QVERIFY(bench.open(UserAccount::Supervisor));
    static const QList<int> floats {2, 26, 29, 32, 53};
    if (floats.contains(id))
        bench.reportFloat(quint16(id), float(value));
    else
        bench.report(quint16(id), quint32(value));
    QVERIFY(bench.sync());
    QVERIFY(bench.sync());
    QCOMPARE(::shown(bench.screen->findChild<QWidget*>(widget)), shown);
    QCOMPARE(bench.writtenValues(), written);
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
    QCOMPARE(tripClass->itemText(5), QStringLiteral("20"));
    QCOMPARE(bench.widget<QDoubleSpinBox>("doubleSpinBoxUndercurrentThreshold")->maximum(), 2.6);
    QCOMPARE(bench.widget<QDoubleSpinBox>("doubleSpinBoxAsymmetryThreshold")->maximum(), 2.6);
    QCOMPARE(bench.widget<QDoubleSpinBox>("doubleSpinBoxNominalCurrent")->maximum(), 2.6);
    auto& settings = bench.screen->getModelDatabase()->getSettings();
    QCOMPARE(settings.getUndercurrentThresholdValue().getMaximum(), 2.6f);
    QCOMPARE(settings.getLoadAsymmetryThresholdValue().getMaximum(), 2.6f);
    QCOMPARE(int(settings.getTripClassValue().getMaximum()), 5);

    // A threshold above a lowered nominal current is clamped and the device told so.
    bench.reportFloat(26, 2.0f);
    QVERIFY(bench.sync());
    bench.device->clearReceivedFrames();
    bench.reportFloat(2, 1.5f);
    QVERIFY(bench.sync());
    QVERIFY(bench.sync());
    QCOMPARE(bench.widget<QDoubleSpinBox>("doubleSpinBoxUndercurrentThreshold")->value(), 1.5);
    QCOMPARE(bench.device->floatValue(26), 1.5f);

    // A higher maximum brings the list back.
    bench.report(1, 7);
    QVERIFY(bench.sync());
    QCOMPARE(tripClass->count(), 8);
    QCOMPARE(tripClass->itemText(7), QStringLiteral("40E"));
}

namespace {

// Answers the screen's file dialogs with a name the test chose, and notes what was asked.
struct FileAnswer
{
    QString answer;
    QString askedDirectory;
    int asked = 0;

    R58SubScreen::FileDialog dialog()
    {
        return [this](QWidget*, R58SubScreen::FileDialogMode, const QString&,
                   const QString& directory, const QString&) {
            ++asked;
            askedDirectory = directory;
            return answer;
        };
    }
};

} // namespace

void TestR58SubScreenPages::exportImportRoundTrip()
{
    Bench bench;
    QVERIFY(bench.open(UserAccount::Supervisor));
    FileAnswer files;
    bench.screen->setFileDialog(files.dialog());
    const QString path = bench.home.filePath(QStringLiteral("device.json"));

    // Cancelled: nothing written, nothing remembered.
    bench.widget<QPushButton>("pushButtonExport")->click();
    QCOMPARE(files.asked, 1);
    QVERIFY(!QFile::exists(path));

    files.answer = path;
    bench.widget<QPushButton>("pushButtonExport")->click();
    QVERIFY(QFile::exists(path));
    QCOMPARE(bench.config->getSettingsDir(), path);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QJsonObject json = QJsonDocument::fromJson(file.readAll()).object();
    QCOMPARE(json.value("TripClass").toInt(), 3);
    QCOMPARE(json.value("NominalCurrent").toDouble(), 2.0);
    QCOMPARE(json.value("Undervoltage").toObject().value("Threshold").toDouble(), 207.0);
    QCOMPARE(bench.widget<QLabel>("labelSettingsMessage")->property("failure").toBool(), false);

    // The device's settings change; the import brings the file's back, all twelve of them.
    bench.widget<QDoubleSpinBox>("doubleSpinBoxNominalCurrent")->setValue(2.4);
    bench.widget<QDoubleSpinBox>("doubleSpinBoxUndervoltageThreshold")->setValue(190);
    QVERIFY(bench.sync());
    QVERIFY(bench.sync());
    bench.device->clearReceivedFrames();

    bench.widget<QPushButton>("pushButtonImport")->click();
    QCOMPARE(files.askedDirectory, path);
    QVERIFY(bench.sync());
    QVERIFY(bench.sync());
    QCOMPARE(bench.writtenValues(), TwelveSettings);
    QCOMPARE(bench.device->floatValue(2), 2.0f);
    QCOMPARE(bench.device->floatValue(29), 207.0f);
    QCOMPARE(bench.widget<QDoubleSpinBox>("doubleSpinBoxNominalCurrent")->value(), 2.0);

    // Importing the same file again sends the twelve values again, unchanged as they are.
    bench.device->clearReceivedFrames();
    bench.widget<QPushButton>("pushButtonImport")->click();
    QVERIFY(bench.sync());
    QVERIFY(bench.sync());
    QCOMPARE(bench.writtenValues(), TwelveSettings);
}

void TestR58SubScreenPages::importRefused_data()
{
    QTest::addColumn<QByteArray>("content"); // empty: no file at all
    QTest::addColumn<QString>("field"); // part of the message; empty: any failure text

    QTest::newRow("missing file") << QByteArray() << QString();
    QTest::newRow("not JSON") << QByteArray("\x89PNG\r\n garbage") << QString();
    QTest::newRow("no settings") << QByteArray("{\"Something\": 1}") << QString();
    QTest::newRow("trip class above the device's maximum")
        << QByteArray("{\"TripClass\": 6}") << QStringLiteral("Trip Class");
    QTest::newRow("nominal current above the device's maximum")
        << QByteArray("{\"NominalCurrent\": 9.5}") << QStringLiteral("Nominal Current");
    QTest::newRow("nominal current below the minimum")
        << QByteArray("{\"NominalCurrent\": 0}") << QStringLiteral("Nominal Current");
    QTest::newRow("undercurrent above the nominal current")
        << QByteArray("{\"NominalCurrent\": 2.0, \"Undercurrent\": {\"Threshold\": 2.5}}")
        << QStringLiteral("Undercurrent");
    QTest::newRow("undervoltage above 600 V")
        << QByteArray("{\"Undervoltage\": {\"Threshold\": 700}}") << QStringLiteral("Undervoltage");
    QTest::newRow("negative overvoltage")
        << QByteArray("{\"Overvoltage\": {\"Threshold\": -5}}") << QStringLiteral("Overvoltage");
    QTest::newRow("unknown fault type")
        << QByteArray("{\"Overvoltage\": {\"FaultType\": 2}}") << QStringLiteral("Fault Type");
}

void TestR58SubScreenPages::importRefused()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, field);

    Bench bench;
    QVERIFY(bench.open(UserAccount::Supervisor));
    // The device allows trip classes up to "20" and 2.6 A.
    bench.report(1, 5);
    bench.reportFloat(3, 2.6f);
    QVERIFY(bench.sync());
    bench.device->clearReceivedFrames();

    const QString path = bench.home.filePath(QStringLiteral("import.json"));
    if (!content.isEmpty()) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    const QString before = bench.config->getSettingsDir();
    FileAnswer files {path, {}, 0};
    bench.screen->setFileDialog(files.dialog());
    bench.widget<QPushButton>("pushButtonImport")->click();
    QVERIFY(bench.sync());

    QCOMPARE(bench.writtenValues(), QList<int> {});
    auto* message = bench.widget<QLabel>("labelSettingsMessage");
    QVERIFY(message->property("failure").toBool());
    QVERIFY2(
        message->text().contains(QStringLiteral("Nothing was sent")), qPrintable(message->text()));
    QVERIFY2(message->text().contains(field), qPrintable(message->text()));
    QCOMPARE(bench.config->getSettingsDir(), before);
}

void TestR58SubScreenPages::exportUnwritable()
{
    Bench bench;
    QVERIFY(bench.open(UserAccount::Supervisor));
    const QString path = bench.home.filePath(QStringLiteral("missing/folder/device.json"));
    FileAnswer files {path, {}, 0};
    bench.screen->setFileDialog(files.dialog());
    bench.widget<QPushButton>("pushButtonExport")->click();

    QVERIFY(!QFile::exists(path));
    auto* message = bench.widget<QLabel>("labelSettingsMessage");
    QVERIFY(message->property("failure").toBool());
    QVERIFY2(message->text().contains(QStringLiteral("could not be written")),
        qPrintable(message->text()));
    QVERIFY(bench.config->getSettingsDir().isEmpty());
}

void TestR58SubScreenPages::factoryReset()
{
    Bench bench;
    QVERIFY(bench.open(UserAccount::Supervisor));
    bench.widget<QDoubleSpinBox>("doubleSpinBoxNominalCurrent")->setValue(2.4);
    bench.widget<QCheckBox>("checkBoxUndervoltageEnable")->setChecked(true);
    QVERIFY(bench.sync());
    QVERIFY(bench.sync());
    bench.device->clearReceivedFrames();

    // One click, no question.
    bench.widget<QPushButton>("pushButtonFactoryReset")->click();
    QVERIFY(bench.sync());
    QVERIFY(bench.sync());
    QCOMPARE(bench.actions(), QList<int> {5});
    QCOMPARE(bench.writtenValues(), QList<int> {});
    QCOMPARE(bench.widget<QDoubleSpinBox>("doubleSpinBoxNominalCurrent")->value(), 2.0);
    QVERIFY(!bench.widget<QCheckBox>("checkBoxUndervoltageEnable")->isChecked());
}

void TestR58SubScreenPages::measurements_data()
{
    QTest::addColumn<QString>("pageButton");
    QTest::addColumn<QStringList>("labels");
    QTest::addColumn<QString>("pattern");

    QTest::newRow("voltage") << "pushButtonVoltageData"
                             << QStringList {"labelVoltage_L1_N", "labelVoltage_L2_N",
                                    "labelVoltage_L3_N"}
                             << "^\\d+ V$";
    QTest::newRow("current") << "pushButtonCurrentData"
                             << QStringList {"labelCurrent_L1", "labelCurrent_L2",
                                    "labelCurrent_L3"}
                             << "^\\d+\\.\\d A$";
    QTest::newRow("active power") << "pushButtonPowerData" << QStringList {"labelActivePower"}
                                  << "^\\d+\\.\\d\\d kW$";
    QTest::newRow("reactive power")
        << "pushButtonPowerData" << QStringList {"labelReactivePower"} << "^\\d+\\.\\d\\d kVAr$";
    QTest::newRow("apparent power")
        << "pushButtonPowerData" << QStringList {"labelApparentPower"} << "^\\d+\\.\\d\\d kVA$";
}

void TestR58SubScreenPages::measurements()
{
    QFETCH(QString, pageButton);
    QFETCH(QStringList, labels);
    QFETCH(QString, pattern);

    Bench bench;
    QVERIFY(bench.open(UserAccount::Supervisor));
    // A running motor draws current, so that every value is a real one.
    bench.widget<QPushButton>("pushButtonControlForward")->click();
    bench.widget<QPushButton>("pushButtonData")->click();
    bench.screen->findChild<QPushButton*>(pageButton)->click();
    const QRegularExpression expected(pattern);
    for (const QString& name : labels) {
        auto* label = bench.screen->findChild<QLabel*>(name);
        QTRY_VERIFY2_WITH_TIMEOUT(expected.match(label->text()).hasMatch(),
            qPrintable(name + QStringLiteral(": ") + label->text()), SubScreenTest::Wait);
    }
}

void TestR58SubScreenPages::otherPhasesChangeNothing()
{
    Bench bench;
    QVERIFY(bench.open(UserAccount::Supervisor));
    const QStringList names {"labelVoltage_L1_N", "labelVoltage_L2_N", "labelVoltage_L3_N",
        "labelCurrent_L1", "labelCurrent_L2", "labelCurrent_L3"};
    // The values the device reported at start-up are shown within a refresh.
    QTest::qWait(300);
    QStringList before;
    for (const QString& name : names)
        before << bench.screen->findChild<QLabel*>(name)->text();

    // Phase 3 ("all phases") changes no label; the same values for phase 2, reported after
    // them, go to the L3 labels only.
    for (quint32 phase : {3u, 2u}) {
        bench.report(20, phase);
        bench.reportFloat(34, 399.0f);
        bench.reportFloat(35, 1.7f);
    }
    QVERIFY(bench.sync());
    QTRY_COMPARE(bench.widget<QLabel>("labelVoltage_L3_N")->text(), QStringLiteral("399 V"));
    QTRY_COMPARE(bench.widget<QLabel>("labelCurrent_L3")->text(), QStringLiteral("1.7 A"));
    QStringList expected = before;
    expected[2] = QStringLiteral("399 V");
    expected[5] = QStringLiteral("1.7 A");
    QStringList after;
    for (const QString& name : names)
        after << bench.screen->findChild<QLabel*>(name)->text();
    QCOMPARE(after, expected);
}

// A device streams the three phases back to back; the screen usually handles them only
// after the whole burst has been read, and each label must still show its own phase.
void TestR58SubScreenPages::phaseBurstKeepsEachPhaseInItsLabel()
{
    Bench bench;
    QVERIFY(bench.open(UserAccount::Supervisor));
    for (int round = 0; round < 3; ++round) {
        for (quint32 phase = 0; phase < 3; ++phase) {
            bench.report(20, phase);
            bench.reportFloat(34, 390.0f + 10 * phase + round);
            bench.reportFloat(35, 1.25f + phase + round / 10.0f);
        }
        QVERIFY(bench.sync());
        const QString tenths = QString::number(2 + round) + " A";
        QTRY_COMPARE(
            bench.widget<QLabel>("labelVoltage_L1_N")->text(), QString::number(390 + round) + " V");
        QTRY_COMPARE(
            bench.widget<QLabel>("labelVoltage_L2_N")->text(), QString::number(400 + round) + " V");
        QTRY_COMPARE(
            bench.widget<QLabel>("labelVoltage_L3_N")->text(), QString::number(410 + round) + " V");
        QTRY_COMPARE(bench.widget<QLabel>("labelCurrent_L1")->text(), "1." + tenths);
        QTRY_COMPARE(bench.widget<QLabel>("labelCurrent_L2")->text(), "2." + tenths);
        QTRY_COMPARE(bench.widget<QLabel>("labelCurrent_L3")->text(), "3." + tenths);
    }
}

void TestR58SubScreenPages::motor_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QList<int>>("actions");
    QTest::addColumn<QString>("status");
    QTest::addColumn<bool>("direction");
    QTest::addColumn<quint32>("mode");
    QTest::addColumn<QString>("picture");

    QTest::newRow("forward") << "pushButtonControlForward" << QList<int> {8, 7}
                             << "R58 Status: Forward" << true << 1u
                             << ":/images/velor_r58_strand+_operating.png";
    QTest::newRow("backward") << "pushButtonControlBackward" << QList<int> {8, 6}
                              << "R58 Status: Backward" << true << 2u
                              << ":/images/velor_r58_strand+_operating.png";
    QTest::newRow("stop") << "pushButtonControlIdle" << QList<int> {8} << "R58 Status: Idle"
                          << false << 0u << PlusStandby;
}

void TestR58SubScreenPages::motor()
{
    QFETCH(QString, button);
    QFETCH(QList<int>, actions);
    QFETCH(QString, status);
    QFETCH(bool, direction);
    QFETCH(quint32, mode);
    QFETCH(QString, picture);

    Bench bench;
    QVERIFY(bench.open(UserAccount::Supervisor));
    bench.screen->findChild<QPushButton*>(button)->click();
    // At once, before the device answers.
    QCOMPARE(bench.widget<QLabel>("labelControlStatus")->text(), status);
    const QPixmap shown = bench.widget<QLabel>("labelControlDirection")->pixmap(Qt::ReturnByValue);
    QCOMPARE(!shown.isNull(), direction);

    QVERIFY(bench.sync());
    QCOMPARE(bench.actions(), actions);
    QCOMPARE(bench.device->uintValue(10), mode);
    // The device's report of its operating mode confirms the state.
    QCOMPARE(bench.widget<QLabel>("labelControlStatus")->text(), status);
    QCOMPARE(bench.widget<QLabel>("labelVelorR58Image")->property("picture").toString(), picture);
}

QTEST_MAIN(TestR58SubScreenPages)
#include "tst_r58subscreenpages.moc"
