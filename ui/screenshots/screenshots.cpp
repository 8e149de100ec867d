#include "config/config.h"
#include "config/useraccount.h"
#include "link/listserialportsource.h"
#include "link/serialportmanager.h"
#include "sim/simulateddevice.h"
#include "ui/connectscreen.h"
#include "ui/mainscreen.h"
#include "ui/passwordlineedit.h"
#include "ui/startup.h"
#include "ui/welcomescreen.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QMdiArea>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>

#include <memory>

using namespace Application::R58;

namespace {

// Lets layouts, style sheets and the simulated devices settle before a picture is taken.
void settle(int milliseconds = 100)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < milliseconds) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(5);
    }
}

bool save(QWidget& window, const QDir& directory, const QString& name)
{
    window.show();
    settle();
    const QString path = directory.filePath(name + QStringLiteral(".png"));
    const bool saved = window.grab().save(path);
    QTextStream(saved ? stdout : stderr) << (saved ? "wrote " : "cannot write ") << path << '\n';
    window.hide();
    return saved;
}

} // namespace

// Renders the login dialog in its states, the connect screen (also with a port it cannot open)
// and the main window (offline and with two simulated devices) to PNG files in the folder given
// as the only argument.
int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    StartUp startUp;
    if (argc != 2) {
        QTextStream(stderr) << "usage: r58_screenshots <output folder>\n";
        return 2;
    }
    const QDir output(QString::fromLocal8Bit(argv[1]));
    if (!output.mkpath(QStringLiteral("."))) {
        QTextStream(stderr) << "cannot create " << output.path() << '\n';
        return 1;
    }

    // Never read or write the user's own config.json.
    QTemporaryDir home;
    qputenv("HOME", home.path().toLocal8Bit());
    QStandardPaths::setTestModeEnabled(true);

    auto source = QSharedPointer<ListSerialPortSource>::create();
    auto manager = QSharedPointer<SerialPortManager>::create(source);
    manager->setPolling(false);
    auto account = QSharedPointer<UserAccount>::create();
    auto config = QSharedPointer<Config>::create();
    bool ok = true;

    {
        WelcomeScreen login(account, config);
        ok &= save(login, output, QStringLiteral("login_select"));
        login.findChild<QComboBox*>(QStringLiteral("comboBoxUser"))
            ->setCurrentIndex(UserAccount::Admin);
        login.findChild<PasswordLineEdit*>(QStringLiteral("lineEditPassword"))
            ->setText(QStringLiteral("r58-admin"));
        login.findChild<QCheckBox*>(QStringLiteral("checkBoxSavePassword"))->setChecked(true);
        ok &= save(login, output, QStringLiteral("login_password"));
    }
    {
        ConnectScreen connectScreen(manager);
        ok &= save(connectScreen, output, QStringLiteral("connect"));
    }
    {
        // A device that is plugged in but whose port cannot be opened: the screen says why.
        auto blockedSource = QSharedPointer<ListSerialPortSource>::create();
        auto blockedManager = QSharedPointer<SerialPortManager>::create(blockedSource);
        blockedManager->setPolling(false);
        blockedSource->addPort({QDir(home.path()).filePath(QStringLiteral("absent/ttyACM0")),
            SerialPortManager::VendorIdentifier, SerialPortManager::ProductIdentifier});
        blockedManager->poll();
        ConnectScreen connectScreen(blockedManager);
        ok &= save(connectScreen, output, QStringLiteral("connect_no_access"));
    }
    {
        MainScreen mainScreen(manager, account, config);
        ok &= save(mainScreen, output, QStringLiteral("main_offline"));
    }

    QTemporaryDir links;
    std::vector<std::unique_ptr<Simulator::SimulatedDevice>> devices;
    for (int i = 0; i < 2; ++i) {
        devices.push_back(std::make_unique<Simulator::SimulatedDevice>(links.path(), source));
        ok &= devices.back()->plugIn();
    }
    manager->poll();
    {
        MainScreen mainScreen(manager, account, config);
        ok &= save(mainScreen, output, QStringLiteral("main_devices"));
    }
    return ok ? 0 : 1;
}
