// The device screen's demo page against a simulated device: the values each "SHOW" button writes
// and in which order, and what the device's reports of them then show.

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

} // namespace

struct DemoRow
{
    QString kind; // the list "comboBox<kind>" and its button "pushButtonShow<kind>"
    int entry;
    quint32 errorBefore; // the device's error before the button is pressed
    QStringList written;
    QString faultCode; // the information page's afterwards; empty: not checked
};
Q_DECLARE_METATYPE(DemoRow)

class TestDemoPage : public QObject
{
    Q_OBJECT

private slots:
    void listsOnlyForDemo();
    void show_data();
    void show();
};

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
        << DemoRow {"Warning", 3, 2, {"18=0", "17=5"}, "W 5802"};
    QTest::newRow("warning without a name")
        << DemoRow {"Warning", 11, 0, {"18=0", "17=15"}, "W 5816"};
    QTest::newRow("error device error") << DemoRow {"Error", 3, 0, {"17=0", "18=12"}, "E 5811"};
    QTest::newRow("error short circuit") << DemoRow {"Error", 1, 0, {"17=0", "18=1"}, {}};
    QTest::newRow("operation safety stop clears both faults")
        << DemoRow {"OperationMode", 3, 2, {"17=0", "18=0", "10=3"}, {}};
    QTest::newRow("operation backward")
        << DemoRow {"OperationMode", 2, 0, {"17=0", "18=0", "10=2"}, {}};
}

void TestDemoPage::show()
{
    QFETCH(DemoRow, row);

    Bench bench;
    bench.addDevice().setUIntValue(ErrorId, row.errorBefore);
    QVERIFY(bench.open(UserAccount::Demo));
    bench.widget<QComboBox>(qPrintable("comboBox" + row.kind))->setCurrentIndex(row.entry);
    QTest::mouseClick(
        bench.widget<QPushButton>(qPrintable("pushButtonShow" + row.kind)), Qt::LeftButton);
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
}

QTEST_MAIN(TestDemoPage)
#include "tst_demopage.moc"
