// The device screen's frame against a simulated device: what each role may use, which page
// each button opens and which measurement it tells the device to stream, the tab title, and
// when the tab may close.

#include "subscreentestsupport.h"
#include "update/packageupdateservice.h"
#include "update/updatecontrolservice.h"
#include "updatetestsupport.h"

#include <QPushButton>
#include <QStackedWidget>
#include <QTextBrowser>
#include <QTimer>
#include <QtTest>

using Application::R58::UserAccount;
using Service::R58::PackageUpdateService;
using SubScreenTest::Bench;

Q_DECLARE_METATYPE(UserAccount::User)

namespace {

const QStringList PageButtons {"pushButtonInformations", "pushButtonConfiguration",
    "pushButtonData", "pushButtonControl", "pushButtonAbout", "pushButtonServiceMode"};

} // namespace

class TestR58SubScreen : public QObject
{
    Q_OBJECT

private slots:
    void roles_data();
    void roles();
    void navigation_data();
    void navigation();
    void tabTitle_data();
    void tabTitle();
    void closableDuringPackageUpdate_data();
    void closableDuringPackageUpdate();
};

void TestR58SubScreen::roles_data()
{
    QTest::addColumn<UserAccount::User>("role");
    QTest::addColumn<QStringList>("enabled");
    QTest::addColumn<QString>("sixthText");
    QTest::addColumn<int>("sixthPage");
    QTest::addColumn<bool>("packageUpdate");

    QTest::newRow("customer") << UserAccount::Customer
                              << QStringList {"pushButtonInformations", "pushButtonData",
                                     "pushButtonAbout"}
                              << "Service Mode" << -1 << false;
    QTest::newRow("supervisor") << UserAccount::Supervisor
                                << QStringList {"pushButtonInformations", "pushButtonConfiguration",
                                       "pushButtonData", "pushButtonControl", "pushButtonAbout"}
                                << "Service Mode" << -1 << true;
    QTest::newRow("admin") << UserAccount::Admin << PageButtons << "Service Mode" << 5 << true;
    QTest::newRow("demo") << UserAccount::Demo
                          << QStringList {"pushButtonInformations", "pushButtonAbout",
                                 "pushButtonServiceMode"}
                          << "Demo" << 6 << true;
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
        auto* button = bench.screen->findChild<QPushButton*>(name);
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
    QTest::addColumn<QStringList>("clicks");
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("dataPage");
    QTest::addColumn<int>("lastAction");
    QTest::addColumn<bool>("measuring");

    const auto admin = UserAccount::Admin;
    QTest::newRow("information") << admin
                                 << QStringList {"pushButtonAbout", "pushButtonInformations"}
                                 << "pageInformation"
                                 << "pageVoltageData" << 4 << false;
    QTest::newRow("configuration")
        << admin << QStringList {"pushButtonConfiguration"} << "pageConfiguration"
        << "pageVoltageData" << 4 << false;
    QTest::newRow("data starts on voltage") << admin << QStringList {"pushButtonData"} << "pageData"
                                            << "pageVoltageData" << 1 << true;
    QTest::newRow("control") << admin << QStringList {"pushButtonControl"} << "pageControl"
                             << "pageVoltageData" << 4 << false;
    QTest::newRow("about") << admin << QStringList {"pushButtonAbout"} << "pageAbout"
                           << "pageVoltageData" << 4 << false;
    QTest::newRow("service mode") << admin << QStringList {"pushButtonServiceMode"}
                                  << "pageServiceMode"
                                  << "pageVoltageData" << 4 << false;
    QTest::newRow("demo") << UserAccount::Demo << QStringList {"pushButtonServiceMode"}
                          << "pageDemoMode"
                          << "pageVoltageData" << 4 << false;
    QTest::newRow("leaving data stops")
        << admin << QStringList {"pushButtonData", "pushButtonControl"} << "pageControl"
        << "pageVoltageData" << 4 << false;
    QTest::newRow("current") << admin << QStringList {"pushButtonData", "pushButtonCurrentData"}
                             << "pageData"
                             << "pageCurrentData" << 2 << true;
    QTest::newRow("power") << admin << QStringList {"pushButtonData", "pushButtonPowerData"}
                           << "pageData"
                           << "pagePowerData" << 3 << true;
    QTest::newRow("back to voltage")
        << admin << QStringList {"pushButtonData", "pushButtonPowerData", "pushButtonVoltageData"}
        << "pageData"
        << "pageVoltageData" << 1 << true;
    // Data opens on its voltage page again, whichever page it was left on.
    QTest::newRow("data again after power") << admin
                                            << QStringList {"pushButtonData", "pushButtonPowerData",
                                                   "pushButtonAbout", "pushButtonData"}
                                            << "pageData"
                                            << "pageVoltageData" << 1 << true;
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
        auto* button = bench.screen->findChild<QPushButton*>(name);
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
    for (int action : actions)
        QVERIFY2(action >= 1 && action <= 4, qPrintable(QString::number(action)));
    QCOMPARE(bench.device->isMeasuring(), measuring);
    // The data page's button shows the page it is on.
    const QString button = QStringLiteral("pushButton") + dataPage.mid(4);
    QVERIFY2(bench.screen->findChild<QPushButton*>(button)->isChecked(), qPrintable(button));
}

void TestR58SubScreen::tabTitle_data()
{
    QTest::addColumn<bool>("offline");
    QTest::addColumn<quint32>("serial");
    QTest::addColumn<QString>("title");

    QTest::newRow("device") << false << 21504711u << "21504711";
    QTest::newRow("another device") << false << 99887766u << "99887766";
    QTest::newRow("offline") << true << 0u << "Offline";
}

void TestR58SubScreen::tabTitle()
{
    QFETCH(bool, offline);
    QFETCH(quint32, serial);
    QFETCH(QString, title);

    Bench bench;
    if (!offline) {
        bench.addDevice().setUIntValue(45, serial);
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
        QTRY_COMPARE_WITH_TIMEOUT(bench.screen->windowTitle(), title, SubScreenTest::Wait);
        QCOMPARE(bench.widget<QLabel>("labelSerialNumber")->text(), title);
        return;
    }
    QVERIFY(bench.open(UserAccount::Customer, true));
    QCOMPARE(bench.screen->windowTitle(), title);
    QCOMPARE(bench.screen->getPortName(), title);
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
        {{"version.json",
             manifest(
                 QStringLiteral("4.4.0"), QStringLiteral("p.crypt"), QStringLiteral("d.crypt"))},
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

QTEST_MAIN(TestR58SubScreen)
#include "tst_r58subscreen.moc"
