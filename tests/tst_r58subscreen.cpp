// The device screen's frame against a simulated device: what each role may use, which page each
// button opens and which measurement it streams, the tab title, and when the tab may close.

#include "subscreentestsupport.h"
#include "update/packageupdateservice.h"
#include "update/updatecontrolservice.h"
#include "updatetestsupport.h"

#include <QPushButton>
#include <QStackedWidget>
#include <QTextBrowser>
#include <QTimer>
#include <QtTest>

#include <algorithm>

using Application::R58::UserAccount;
using Service::R58::PackageUpdateService;
using SubScreenTest::Bench;

Q_DECLARE_METATYPE(UserAccount::User)

namespace {

// The page buttons, without their "pushButton".
const QStringList PageButtons {
    "Informations", "Configuration", "Data", "Control", "About", "ServiceMode"};

} // namespace

class TestR58SubScreen : public QObject
{
    Q_OBJECT

private slots:
    void roles_data();
    void roles();
    void navigation_data();
    void navigation();
    void tabTitle();
    void closableDuringPackageUpdate_data();
    void closableDuringPackageUpdate();
    void escapeKeepsScreen();
};

void TestR58SubScreen::roles_data()
{
    QTest::addColumn<UserAccount::User>("role");
    QTest::addColumn<QStringList>("enabled");
    QTest::addColumn<QString>("sixthText");
    QTest::addColumn<int>("sixthPage");
    QTest::addColumn<bool>("packageUpdate");

    QTest::newRow("customer") << UserAccount::Customer
                              << QStringList {"Informations", "Data", "About"} << "Service Mode"
                              << -1 << false;
    QTest::newRow("supervisor") << UserAccount::Supervisor
                                << QStringList {"Informations", "Configuration", "Data", "Control",
                                       "About"}
                                << "Service Mode" << -1 << true;
    QTest::newRow("admin") << UserAccount::Admin << PageButtons << "Service Mode" << 5 << true;
    QTest::newRow("demo") << UserAccount::Demo
                          << QStringList {"Informations", "About", "ServiceMode"} << "Demo" << 6
                          << true;
}

void TestR58SubScreen::roles()
{
    QFETCH(UserAccount::User, role);
    QFETCH(QStringList, enabled);
    QFETCH(QString, sixthText);
    QFETCH(int, sixthPage);
    QFETCH(bool, packageUpdate);

    Bench bench;
    QVERIFY(bench.open(role, true));
    for (const QString& name : PageButtons) {
        auto* button = bench.screen->findChild<QPushButton*>("pushButton" + name);
        QVERIFY2(button, qPrintable(name));
        QVERIFY2(button->isEnabled() == enabled.contains(name), qPrintable(name));
    }
    auto* sixth = bench.widget<QPushButton>("pushButtonServiceMode");
    QCOMPARE(sixth->text(), sixthText);

    // The package update offer: hint and open button by role, start and progress only later.
    QCOMPARE(!bench.widget<QTextBrowser>("textBrowserPackageUpdate")->isHidden(), packageUpdate);
    QCOMPARE(!bench.widget<QPushButton>("pushButtonOpenUpdatePackage")->isHidden(), packageUpdate);
    QVERIFY(bench.widget<QPushButton>("pushButtonStartPackageUpdate")->isHidden());
    QVERIFY(bench.widget<QWidget>("progressBarPackageUpdate")->isHidden());

    // No role may change the softstart.
    for (const char* name : {"labelSoftstart", "checkBoxSoftstart", "labelControlSoftstart",
             "checkBoxControlSoftstart"})
        QVERIFY2(bench.widget<QWidget>(name)->isHidden(), name);

    auto* pages = bench.widget<QStackedWidget>("stackedWidgetMain");
    QCOMPARE(pages->currentIndex(), 0);
    sixth->click();
    QCOMPARE(pages->currentIndex(), sixthPage < 0 ? 0 : sixthPage);
    QCOMPARE(sixth->isChecked(), sixthPage >= 0);
}

void TestR58SubScreen::navigation_data()
{
    QTest::addColumn<UserAccount::User>("role");
    QTest::addColumn<QStringList>("clicks"); // buttons without their "pushButton"
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("dataPage");
    QTest::addColumn<int>("lastAction"); // 1 to 3 start a measurement, 4 stops
    QTest::addColumn<bool>("measuring");

    const auto admin = UserAccount::Admin;
    const QString voltage = QStringLiteral("pageVoltageData");
    QTest::newRow("information") << admin << QStringList {"About", "Informations"}
                                 << "pageInformation" << voltage << 4 << false;
    QTest::newRow("service mode") << admin << QStringList {"ServiceMode"} << "pageServiceMode"
                                  << voltage << 4 << false;
    QTest::newRow("leaving data stops")
        << admin << QStringList {"Data", "Control"} << "pageControl" << voltage << 4 << false;
    QTest::newRow("demo") << UserAccount::Demo << QStringList {"ServiceMode"} << "pageDemoMode"
                          << voltage << 4 << false;
    QTest::newRow("data starts on voltage")
        << admin << QStringList {"Data"} << "pageData" << voltage << 1 << true;
    QTest::newRow("current") << admin << QStringList {"Data", "CurrentData"} << "pageData"
                             << "pageCurrentData" << 2 << true;
    QTest::newRow("power") << admin << QStringList {"Data", "PowerData"} << "pageData"
                           << "pagePowerData" << 3 << true;
    QTest::newRow("back to voltage") << admin << QStringList {"Data", "PowerData", "VoltageData"}
                                     << "pageData" << voltage << 1 << true;
    // Data opens on its voltage page again, whichever page it was left on.
    QTest::newRow("data again after power")
        << admin << QStringList {"Data", "PowerData", "About", "Data"} << "pageData" << voltage << 1
        << true;
}

void TestR58SubScreen::navigation()
{
    QFETCH(UserAccount::User, role);
    QFETCH(QStringList, clicks);
    QFETCH(QString, page);
    QFETCH(QString, dataPage);
    QFETCH(int, lastAction);
    QFETCH(bool, measuring);

    Bench bench;
    QVERIFY(bench.open(role));
    for (const QString& name : clicks) {
        auto* button = bench.screen->findChild<QPushButton*>("pushButton" + name);
        QVERIFY2(button && button->isEnabled(), qPrintable(name));
        button->click();
    }
    QVERIFY(bench.sync());

    QCOMPARE(
        bench.widget<QStackedWidget>("stackedWidgetMain")->currentWidget()->objectName(), page);
    QCOMPARE(
        bench.widget<QStackedWidget>("stackedWidgetData")->currentWidget()->objectName(), dataPage);
    const QList<int> actions = bench.actions();
    QVERIFY(!actions.isEmpty());
    QCOMPARE(actions.last(), lastAction);
    // Every action the pages fire is a measurement start or stop.
    QVERIFY(std::all_of(actions.begin(), actions.end(), [](int a) { return a >= 1 && a <= 4; }));
    QCOMPARE(bench.device->isMeasuring(), measuring);
    // The data page's button shows the page it is on.
    const QString button = QStringLiteral("pushButton") + dataPage.mid(4);
    QVERIFY2(bench.screen->findChild<QPushButton*>(button)->isChecked(), qPrintable(button));
}

void TestR58SubScreen::tabTitle()
{
    {
        Bench offline;
        QVERIFY(offline.open(UserAccount::Customer, true));
        QCOMPARE(offline.screen->windowTitle(), QStringLiteral("Offline"));
        QCOMPARE(offline.screen->getPortName(), QStringLiteral("Offline"));
        // The program's own version, shown without a device.
        QCOMPARE(offline.widget<QLabel>("labelAboutVersion")->text(), QStringLiteral("V0.4.3.4"));
    }
    Bench bench;
    bench.addDevice().setUIntValue(45, 99887766u);
    // A silent device shows the blank title until the serial number arrives.
    auto faults = bench.device->faults();
    faults.silent = true;
    bench.device->setFaults(faults);
    QVERIFY(bench.device->plugIn());
    bench.manager->poll();
    bench.account->setUser(UserAccount::Customer);
    bench.screen = std::make_unique<R58SubScreen>(
        bench.account, bench.config, bench.manager, bench.device->portName());
    bench.screen->initialize();
    QCOMPARE(bench.screen->windowTitle(), QStringLiteral(" "));
    faults.silent = false;
    bench.device->setFaults(faults);
    bench.device->reportValue(45);
    QTRY_COMPARE_WITH_TIMEOUT(
        bench.screen->windowTitle(), QStringLiteral("99887766"), SubScreenTest::Wait);
    QCOMPARE(bench.widget<QLabel>("labelSerialNumber")->text(), QStringLiteral("99887766"));
}

void TestR58SubScreen::closableDuringPackageUpdate_data()
{
    QTest::addColumn<bool>("damaged");

    // The transfer is stopped the way a device refusing an image stops it.
    QTest::newRow("update fails while it runs") << false;
    QTest::newRow("update refused before it starts") << true;
}

void TestR58SubScreen::closableDuringPackageUpdate()
{
    QFETCH(bool, damaged);

    using namespace UpdateTest;
    Bench bench;
    QVERIFY(bench.open(UserAccount::Admin));
    PackageUpdateService& packager = *bench.screen->getPackageUpdateService();
    packager.setWaits({50, 20, 50});

    QByteArray display = encrypted(randomImage(2, 700));
    if (damaged)
        display[200] = char(display[200] ^ 0x10);
    const QString path = bench.home.filePath(QStringLiteral("package.tar"));
    QVERIFY(writePackage(path,
        {{"version.json", manifest("4.4.0", "p.crypt", "d.crypt")},
            {"p.crypt", encrypted(randomImage(1, 1500))}, {"d.crypt", display}}));
    packager.openArchive(path);
    QCOMPARE(packager.getUpdateState(), PackageUpdateService::Opened);
    QVERIFY(bench.screen->isClosable());

    // Samples, while the update runs, whether the screen would let its tab go.
    QList<QPair<int, bool>> samples;
    QTimer sampler;
    QObject::connect(&sampler, &QTimer::timeout, &sampler, [&] {
        samples.append({int(packager.getUpdateState()), bench.screen->isClosable()});
    });
    sampler.start(2);
    // The boot loader wait runs inside start(); the refusal comes once the transfer began.
    QTimer::singleShot(300, &sampler, [&bench] {
        emit bench.screen->getUpdateControlService()->updateRefused(QStringLiteral("refused"));
    });
    packager.start();
    QTRY_COMPARE_WITH_TIMEOUT(
        int(packager.getUpdateState()), int(PackageUpdateService::Failed), SubScreenTest::Wait);
    sampler.stop();

    int running = 0;
    for (const auto& sample : samples) {
        const bool updating = sample.first >= PackageUpdateService::UpdatingPlatform
            && sample.first <= PackageUpdateService::UpdatingDisplay;
        running += updating ? 1 : 0;
        QVERIFY2(sample.second == !updating, qPrintable(QString::number(sample.first)));
    }
    QCOMPARE(running > 0, !damaged);
    QVERIFY(bench.screen->isClosable());
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
