// The device screen's frame against a simulated device: what each role may use; and the demo page:
// the values each "SHOW" button writes and in which order, and what the device's reports of them
// then show.

#include "subscreentestsupport.h"

#include <QComboBox>
#include <QPushButton>
#include <QStackedWidget>
#include <QtTest>

using Application::R58::UserAccount;
using SubScreenTest::Bench;

Q_DECLARE_METATYPE(UserAccount::User)

struct DemoRow
{
    UserAccount::User role;
    QString kind; // the list "comboBox<kind>" and its button "pushButtonShow<kind>"
    int entry;
    quint32 errorBefore; // the device's error before the button is pressed
    QStringList written; // "identifier=value", in order
    QString faultCode; // the information page's afterwards; empty: not checked
};
Q_DECLARE_METATYPE(DemoRow)

class TestR58SubScreen : public QObject
{
    Q_OBJECT

private slots:
    void roles_data();
    void roles();
    void demoShow_data();
    void demoShow();
    void escapeKeepsScreen();
};

void TestR58SubScreen::roles_data()
{
    QTest::addColumn<UserAccount::User>("role");
    QTest::addColumn<QStringList>("enabled"); // page buttons, without their "pushButton"
    QTest::addColumn<int>("sixthPage"); // where the sixth button leads; -1: nowhere
    QTest::addColumn<bool>("packageUpdate");

    QTest::newRow("customer") << UserAccount::Customer
                              << QStringList {"Informations", "Data", "About"} << -1 << false;
    QTest::newRow("supervisor")
        << UserAccount::Supervisor
        << QStringList {"Informations", "Configuration", "Data", "Control", "About"} << -1 << true;
    QTest::newRow("admin") << UserAccount::Admin
                           << QStringList {"Informations", "Configuration", "Data", "Control",
                                  "About", "ServiceMode"}
                           << 5 << true;
    QTest::newRow("demo") << UserAccount::Demo
                          << QStringList {"Informations", "About", "ServiceMode"} << 6 << true;
}

void TestR58SubScreen::roles()
{
    QFETCH(UserAccount::User, role);
    QFETCH(QStringList, enabled);
    QFETCH(int, sixthPage);
    QFETCH(bool, packageUpdate);

    Bench bench;
    QVERIFY(bench.open(role));
    for (const char* name :
        {"Informations", "Configuration", "Data", "Control", "About", "ServiceMode"}) {
        auto* button = bench.screen->findChild<QPushButton*>(QStringLiteral("pushButton") + name);
        QVERIFY2(button->isEnabled() == enabled.contains(name), name);
    }
    QCOMPARE(!bench.widget<QPushButton>("pushButtonOpenUpdatePackage")->isHidden(), packageUpdate);
    auto* pages = bench.widget<QStackedWidget>("stackedWidgetMain");
    auto* sixth = bench.widget<QPushButton>("pushButtonServiceMode");
    sixth->click();
    QCOMPARE(pages->currentIndex(), sixthPage < 0 ? 0 : sixthPage);
    QCOMPARE(sixth->isChecked(), sixthPage >= 0);
}

void TestR58SubScreen::demoShow_data()
{
    QTest::addColumn<DemoRow>("row");
    QTest::newRow("warning undercurrent over an error")
        << DemoRow {UserAccount::Demo, "Warning", 3, 2, {"18=0", "17=5"}, "W 5802"};
    QTest::newRow("error device error")
        << DemoRow {UserAccount::Demo, "Error", 3, 0, {"17=0", "18=12"}, "E 5811"};
    QTest::newRow("operation safety stop clears both faults")
        << DemoRow {UserAccount::Demo, "OperationMode", 3, 2, {"17=0", "18=0", "10=3"}, {}};
    // The button is unconnected for any other role.
    QTest::newRow("not demo: writes nothing")
        << DemoRow {UserAccount::Admin, "Warning", 3, 2, {}, {}};
}

void TestR58SubScreen::demoShow()
{
    QFETCH(DemoRow, row);
    Bench bench;
    bench.addDevice().setUIntValue(18, row.errorBefore);
    QVERIFY(bench.open(row.role));
    bench.widget<QComboBox>(qPrintable("comboBox" + row.kind))->setCurrentIndex(row.entry);
    QTest::mouseClick(
        bench.widget<QPushButton>(qPrintable("pushButtonShow" + row.kind)), Qt::LeftButton);
    QVERIFY(bench.sync());
    // Each once, in this order; the device took the values, and its reports drive the
    // information page.
    QList<int> ids;
    for (const QString& pair : row.written) {
        ids << pair.section(QLatin1Char('='), 0, 0).toInt();
        QCOMPARE(bench.device->uintValue(quint16(ids.last())), pair.section('=', 1).toUInt());
    }
    QCOMPARE(bench.writtenValues(), ids);
    if (!row.faultCode.isEmpty())
        QTRY_COMPARE_WITH_TIMEOUT(bench.widget<QLabel>("labelFaultCode")->text(), row.faultCode,
            2 * SubScreenTest::Wait);
}

// Esc on a field or on the screen itself: a dialog would hide, leaving an empty tab.
void TestR58SubScreen::escapeKeepsScreen()
{
    Bench bench;
    QVERIFY(bench.open(UserAccount::Admin, true));
    bench.screen->show();
    QVERIFY(QTest::qWaitForWindowExposed(bench.screen.get()));
    auto* field = bench.widget<QWidget>("doubleSpinBoxNominalCurrent");
    bench.widget<QPushButton>("pushButtonConfiguration")->click();
    field->setFocus();
    for (QWidget* target : {field, static_cast<QWidget*>(bench.screen.get())}) {
        QTest::keyClick(target, Qt::Key_Escape);
        QVERIFY(bench.screen->isVisible());
    }
}

QTEST_MAIN(TestR58SubScreen)
#include "tst_r58subscreen.moc"
