// The device screen's demo page against a simulated device: its lists, the values each "SHOW"
// button writes and in which order, and what the device's reports of them then show.

#include "subscreentestsupport.h"

#include <QComboBox>
#include <QPushButton>
#include <QtTest>

using Application::R58::UserAccount;
using SubScreenTest::Bench;
using SubScreenTest::TaloLinkCommandID;
using SubScreenTest::TaloLinkPacket;

namespace {

constexpr quint16 ErrorId = 18;
constexpr int Patience = 20000; // milliseconds

// The values written to the device, in order, as "identifier=value".
QStringList written(const Bench& bench)
{
    QStringList values;
    for (const TaloLinkPacket& packet : bench.received()) {
        if (packet.command == TaloLinkCommandID::SetModelValue)
            values << QStringLiteral("%1=%2")
                          .arg(SubScreenTest::argNumber(packet, 0))
                          .arg(SubScreenTest::argNumber(packet, 1));
    }
    return values;
}

QStringList entries(const QComboBox* list)
{
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts << list->itemText(i);
    return texts;
}

} // namespace

struct DemoRow
{
    const char* list;
    const char* button;
    int entry;
    quint32 errorBefore; // the device's error before the button is pressed
    QStringList written;
    QString faultText; // the start of the information page's fault text
    QString faultCode;
    QString pictureEnd; // how the status picture's path ends; empty: not checked
};
Q_DECLARE_METATYPE(DemoRow)

class TestDemoPage : public QObject
{
    Q_OBJECT

private slots:
    void lists();
    void listsOnlyForDemo();
    void show_data();
    void show();
};

void TestDemoPage::lists()
{
    Bench bench;
    QVERIFY(bench.open(UserAccount::Demo, true));
    auto* modes = bench.widget<QComboBox>("comboBoxOperationMode");
    auto* warnings = bench.widget<QComboBox>("comboBoxWarning");
    auto* errors = bench.widget<QComboBox>("comboBoxError");
    QCOMPARE(entries(modes), QStringList({"Idle", "Forward", "Backward", "SafetyStop"}));
    QCOMPARE(entries(warnings),
        QStringList({"DeviceOK", "Overload", "PhaseAsymmetry", "Undercurrent", "SupplyLoss",
            "UndervoltageSupply", "OvervoltageSupply", "Overtemperature", "UndervoltageControl",
            "OvervoltageControl", "SecurityClearance", "SwitchingFrequency"}));
    QCOMPARE(entries(errors),
        QStringList({"DeviceOK", "ShortCircuit", "Overload", "DeviceError", "PhaseAsymmetry",
            "Undercurrent", "UndervoltageSupply", "OvervoltageSupply", "Overtemperature",
            "UndervoltageControl", "OvervoltageControl"}));
    for (const QComboBox* list : {modes, warnings, errors})
        QCOMPARE(list->currentIndex(), 0);
}

void TestDemoPage::listsOnlyForDemo()
{
    Bench bench;
    QVERIFY(bench.open(UserAccount::Admin));
    QCOMPARE(bench.widget<QComboBox>("comboBoxWarning")->count(), 0);
    // Unconnected for any other role: pressing writes nothing.
    QTest::mouseClick(bench.widget<QPushButton>("pushButtonShowWarning"), Qt::LeftButton);
    QVERIFY(bench.sync());
    QCOMPARE(written(bench), QStringList());
}

void TestDemoPage::show_data()
{
    QTest::addColumn<DemoRow>("row");

    QTest::newRow("warning undercurrent over an error")
        << DemoRow {"comboBoxWarning", "pushButtonShowWarning", 3, 2, {"18=0", "17=5"},
               "Undercurrent", "W 5802", "warning_load.png"};
    QTest::newRow("warning without a name") << DemoRow {
        "comboBoxWarning", "pushButtonShowWarning", 11, 0, {"18=0", "17=15"}, {}, "W 5816", {}};
    QTest::newRow("error device error") << DemoRow {
        "comboBoxError", "pushButtonShowError", 3, 0, {"17=0", "18=12"}, {}, "E 5811", {}};
    QTest::newRow("error short circuit")
        << DemoRow {"comboBoxError", "pushButtonShowError", 1, 0, {"17=0", "18=1"}, {}, {}, {}};
    QTest::newRow("operation safety stop clears both faults") << DemoRow {"comboBoxOperationMode",
        "pushButtonShowOperationMode", 3, 2, {"17=0", "18=0", "10=3"}, {}, {}, {}};
    QTest::newRow("operation backward") << DemoRow {"comboBoxOperationMode",
        "pushButtonShowOperationMode", 2, 0, {"17=0", "18=0", "10=2"}, {}, {}, {}};
}

void TestDemoPage::show()
{
    QFETCH(DemoRow, row);

    Bench bench;
    bench.addDevice().setUIntValue(ErrorId, row.errorBefore);
    QVERIFY(bench.open(UserAccount::Demo));
    bench.widget<QComboBox>(row.list)->setCurrentIndex(row.entry);
    QTest::mouseClick(bench.widget<QPushButton>(row.button), Qt::LeftButton);
    QVERIFY(bench.sync());
    QCOMPARE(written(bench), row.written);

    // The device took the values, and its reports drive the information page.
    for (const QString& pair : row.written) {
        const QStringList parts = pair.split(QLatin1Char('='));
        QCOMPARE(bench.device->uintValue(quint16(parts.at(0).toUInt())), parts.at(1).toUInt());
    }
    if (!row.faultCode.isEmpty())
        QTRY_COMPARE_WITH_TIMEOUT(
            bench.widget<QLabel>("labelFaultCode")->text(), row.faultCode, Patience);
    if (!row.faultText.isEmpty())
        QVERIFY2(bench.widget<QLabel>("labelFaultInfo")->text().startsWith(row.faultText),
            qPrintable(bench.widget<QLabel>("labelFaultInfo")->text()));
    if (!row.pictureEnd.isEmpty()) {
        const QString picture
            = bench.widget<QLabel>("labelVelorR58Image")->property("picture").toString();
        QVERIFY2(picture.endsWith(row.pictureEnd), qPrintable(picture));
    }
}

QTEST_MAIN(TestDemoPage)
#include "tst_demopage.moc"
