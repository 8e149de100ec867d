// The window flow against simulated devices on pseudo-terminals: which tabs the main window opens,
// how tabs follow ports coming and going, and the exit codes.

#include "subscreentestsupport.h"
#include "ui/connectscreen.h"
#include "ui/mainscreen.h"
#include "ui/placeholdersubscreen.h"
#include "ui/welcomescreen.h"
#include "ui/windowflow.h"

#include <QComboBox>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <algorithm>
#include <vector>

using Application::R58::PlaceholderSubScreenFactory;
using Application::R58::UserAccount;
using Simulator::SimulatedDevice;

namespace {

// What happens to the ports while a window is open.
enum Step {
    PlugFirst, // plug the first device (back) in
    UnplugFirst,
    PlugNew, // a further device arrives
    ReportFirstAgain, // portOpened repeated for a port that has a tab
    KeepFirst, // the first screen refuses to close, as during a package update
};

} // namespace

// The device screens' bench (home folder, port manager that polls only when told, account,
// config) with any number of simulated devices, so that each step sees exactly the ports it made.
struct Ports : SubScreenTest::Bench
{
    std::vector<std::unique_ptr<SimulatedDevice>> devices;

    ~Ports() { manager.reset(); }
    void poll()
    {
        manager->poll();
        QCoreApplication::processEvents();
    }
    // Plugs further devices in and lets the manager see them.
    bool plugIn(int count)
    {
        for (int i = 0; i < count; ++i) {
            devices.push_back(std::make_unique<SimulatedDevice>(links.path(), source));
            if (!devices.back()->plugIn())
                return false;
        }
        poll();
        return true;
    }
};

class TestWindowFlow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QCoreApplication::setOrganizationName(QStringLiteral("Brenvik"));
        QCoreApplication::setApplicationName(QStringLiteral("tst_windowflow"));
    }
    void tabs_data();
    void tabs();
    void flow_data();
    void flow();
    void closeGuard_data();
    void closeGuard();
};

void TestWindowFlow::tabs_data()
{
    QTest::addColumn<int>("devices");
    QTest::addColumn<QList<int>>("steps");
    QTest::addColumn<QStringList>("tabs");
    QTest::addColumn<bool>("firstTabKept");

    // Unplugging closes a tab: the replugged device gets a new one.
    QTest::newRow("two devices in port order") << 2 << QList<int> {} << QStringList {"0", "1"}
                                               << true;
    QTest::newRow("replugging opens a new tab")
        << 1 << QList<int> {UnplugFirst, PlugFirst} << QStringList {"0"} << false;
    QTest::newRow("port reported twice")
        << 1 << QList<int> {ReportFirstAgain} << QStringList {"0"} << true;
    QTest::newRow("offline tab stays when a device arrives")
        << 0 << QList<int> {PlugNew} << QStringList {"Offline", "0"} << true;
    // A screen that must stay keeps its tab, and is found again on return.
    QTest::newRow("kept screen is found again on return")
        << 1 << QList<int> {KeepFirst, UnplugFirst, PlugFirst} << QStringList {"0"} << true;
}

void TestWindowFlow::tabs()
{
    QFETCH(int, devices);
    QFETCH(QList<int>, steps);
    QFETCH(QStringList, tabs);
    QFETCH(bool, firstTabKept);

    Ports ports;
    QVERIFY(ports.plugIn(devices));
    // Placeholder screens can refuse closing, as a device screen does during a package update.
    auto factory = QSharedPointer<PlaceholderSubScreenFactory>::create(ports.manager);
    MainScreen window(ports.manager, ports.account, ports.config, factory);
    QMdiArea* area = window.getMdiArea();
    QPointer<QMdiSubWindow> first = area->subWindowList(QMdiArea::CreationOrder).value(0);
    QVERIFY(first);

    for (int step : steps) {
        if (step == PlugFirst)
            QVERIFY(ports.devices.front()->plugIn());
        else if (step == UnplugFirst)
            ports.devices.front()->unplug();
        else if (step == PlugNew)
            QVERIFY(ports.plugIn(1));
        else if (step == ReportFirstAgain)
            emit ports.manager->portOpened(ports.devices.front()->portName());
        else if (step == KeepFirst)
            qobject_cast<PlaceholderSubScreen*>(first->widget())->setClosable(false);
        ports.poll();
    }

    // "0", "1": devices by the order they were made; the manager lists them by name.
    QStringList names;
    for (const QString& key : tabs) {
        if (key != QLatin1String("Offline"))
            names << ports.devices.at(key.toInt())->portName();
    }
    std::sort(names.begin(), names.end());
    const QStringList expected = tabs.mid(0, tabs.size() - names.size()) + names;
    QTRY_COMPARE(area->subWindowList().size(), expected.size());
    const auto subWindows = area->subWindowList(QMdiArea::CreationOrder);
    for (int i = 0; i < expected.size(); ++i)
        QCOMPARE(window.findSubWindow(expected.at(i)), subWindows.at(i));
    // A closed tab deletes its screen on a later turn of the event loop.
    QTRY_COMPARE(!first.isNull(), firstTabKept);
}

void TestWindowFlow::closeGuard_data()
{
    QTest::addColumn<bool>("updating");
    QTest::addColumn<int>("answer"); // a QMessageBox button; NoButton: the box's default
    QTest::addColumn<bool>("closes");
    QTest::newRow("no update: closes at once") << false << int(QMessageBox::NoButton) << true;
    QTest::newRow("update: the default keeps it open")
        << true << int(QMessageBox::NoButton) << false;
    QTest::newRow("update: quitting on purpose") << true << int(QMessageBox::Yes) << true;
}

void TestWindowFlow::closeGuard()
{
    QFETCH(bool, updating);
    QFETCH(int, answer);
    QFETCH(bool, closes);
    Ports ports;
    QVERIFY(ports.plugIn(2));
    // A placeholder that refuses closing stands for a screen with a running update.
    auto factory = QSharedPointer<PlaceholderSubScreenFactory>::create(ports.manager);
    MainScreen window(ports.manager, ports.account, ports.config, factory);
    window.show();
    QMdiSubWindow* second = window.findSubWindow(ports.devices.at(1)->portName());
    QVERIFY(second);
    qobject_cast<PlaceholderSubScreen*>(second->widget())->setClosable(!updating);

    QString question;
    QTimer user;
    QObject::connect(&user, &QTimer::timeout, &user, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !question.isEmpty())
            return;
        question = box->text();
        QAbstractButton* button = answer == QMessageBox::NoButton
            ? static_cast<QAbstractButton*>(box->defaultButton())
            : box->button(QMessageBox::StandardButton(answer));
        if (button)
            button->click();
    });
    user.start(20);
    const bool closed = window.close();

    QCOMPARE(closed, closes);
    QCOMPARE(question.isEmpty(), !updating);
    if (updating) {
        // Names the device by its tab's title.
        QVERIFY2(question.contains(second->windowTitle()), qPrintable(question));
    }
}

void TestWindowFlow::flow_data()
{
    QTest::addColumn<int>("devices");
    QTest::addColumn<bool>("closeLogin");
    QTest::addColumn<QStringList>("tabs"); // of the main window; empty: it never showed
    QTest::addColumn<int>("exitCode");
    QTest::newRow("login closed") << 1 << true << QStringList {} << 0;
    QTest::newRow("device found") << 1 << false << QStringList {"0"} << 7;
    QTest::newRow("offline") << 0 << false << QStringList {"Offline"} << 7;
}

void TestWindowFlow::flow()
{
    QFETCH(int, devices);
    QFETCH(bool, closeLogin);
    QFETCH(QStringList, tabs);
    QFETCH(int, exitCode);
    Ports ports;
    QVERIFY(ports.plugIn(devices));

    // Plays the user: logs in as a customer (or closes the login), goes offline when there is
    // no device, and ends the program with 7 once the main window shows.
    QStringList seenTabs;
    QTimer user;
    QObject::connect(&user, &QTimer::timeout, &user, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* login = qobject_cast<WelcomeScreen*>(modal)) {
            if (closeLogin)
                login->close();
            else
                login->findChild<QComboBox*>("comboBoxUser")
                    ->setCurrentIndex(UserAccount::Customer);
        } else if (auto* connect = qobject_cast<ConnectScreen*>(modal); connect && !devices) {
            connect->findChild<QPushButton*>("pushButtonOfflineModus")->click();
        } else if (!modal) {
            for (QWidget* widget : QApplication::topLevelWidgets()) {
                auto* window = qobject_cast<MainScreen*>(widget);
                if (!window || !window->isVisible() || !seenTabs.isEmpty())
                    continue;
                for (QMdiSubWindow* tab :
                    window->getMdiArea()->subWindowList(QMdiArea::CreationOrder))
                    seenTabs << tab->widget()->windowTitle();
                QCoreApplication::exit(7);
            }
        }
    });
    user.start(50);
    // Ends a flow that hangs, with a code no row expects.
    QTimer::singleShot(10000, &user, [] {
        if (QWidget* modal = QApplication::activeModalWidget())
            modal->close();
        QCoreApplication::exit(99);
    });

    QCOMPARE(Application::R58::runWindowFlow(ports.manager, ports.account, ports.config), exitCode);
    QCOMPARE(seenTabs.size(), tabs.size());
    if (tabs == QStringList {"Offline"})
        QCOMPARE(seenTabs, tabs);
    if (!closeLogin)
        QCOMPARE(ports.account->getUser(), UserAccount::Customer);
}

QTEST_MAIN(TestWindowFlow)
#include "tst_windowflow.moc"
