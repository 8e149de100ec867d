#include "config/config.h"
#include "config/useraccount.h"
#include "link/listserialportsource.h"
#include "link/serialportmanager.h"
#include "sim/simulateddevice.h"
#include "ui/connectscreen.h"
#include "ui/mainscreen.h"
#include "ui/otherportdialog.h"
#include "ui/passwordlineedit.h"
#include "config/devicemodel.h"
#include "config/settingsdocument.h"
#include "ui/r58subscreen.h"
#include "ui/settingseditor.h"
#include "ui/startup.h"
#include "ui/welcomescreen.h"
#include "update/fileencryptor.h"
#include "update/tarballwriter.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QListWidget>
#include <QMdiArea>
#include <QPushButton>
#include <QStandardPaths>
#include <QTabWidget>
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

// The window a 1366 × 768 laptop leaves for a program: the screen less a panel and a title bar.
const QSize Laptop(1366, 714);
// The branded windows' designed size, which the offscreen platform's small screen would cut.
const QSize Designed(1280, 910);
// A maximised window on a 1920 × 1080 screen with a panel.
const QSize Large(1920, 1050);

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

// Waits until the screen shows what the device reported at start-up.
bool waitForDevice(R58SubScreen& screen)
{
    auto* article = screen.findChild<QLabel*>(QStringLiteral("labelArticleNumber"));
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 10000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        if (article->text().endsWith(QLatin1Char('A')))
            return true;
        QThread::msleep(5);
    }
    return false;
}

void click(QWidget& screen, const char* button)
{
    if (auto* widget = screen.findChild<QPushButton*>(QString::fromLatin1(button)))
        widget->click();
    settle(300);
}

// The information page after a package with a newer platform image was opened.
bool savePackageOpened(R58SubScreen& screen, const QDir& output, const QString& name)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("r58_update_4.4.0.tar"));
    auto part = [](const QString& image, const QString& version) {
        return QJsonObject {{QStringLiteral("Application"),
            QJsonObject {{QStringLiteral("Path"), image}, {QStringLiteral("Version"), version}}}};
    };
    const QJsonObject manifest {
        {QStringLiteral("Package"), QJsonObject {{QStringLiteral("Version"), "4.4.0"}}},
        {QStringLiteral("Platform"), part(QStringLiteral("platform.crypt"), "9.4.0.0")},
        {QStringLiteral("Display"), part(QStringLiteral("display.crypt"), "9.4.0.1")}};
    // Images the package reader accepts: encrypted with the build's key.
    const QByteArray image(4096, '\x5A');
    const QByteArray encrypted = External::Crypto::FileEncryptor::encrypt(
        image, External::Crypto::FileEncryptor::randomIv());
    Utilities::TarballWriter writer;
    QFile file(path);
    if (!writer.addFile("version.json", QJsonDocument(manifest).toJson())
        || !writer.addFile("platform.crypt", encrypted)
        || !writer.addFile("display.crypt", encrypted) || !file.open(QIODevice::WriteOnly)
        || file.write(writer.getArchive()) < 0)
        return false;
    file.close();
    screen.setFileDialog([path](QWidget*, R58SubScreen::FileDialogMode, const QString&,
                             const QString&, const QString&) { return path; });
    click(screen, "pushButtonInformations");
    click(screen, "pushButtonOpenUpdatePackage");
    return save(screen, output, name);
}

// The service page's three tabs, with a command chosen and a few lines in the log.
bool saveServicePage(R58SubScreen& screen, const QDir& output, const QString& prefix)
{
    click(screen, "pushButtonServiceMode");
    auto* list = screen.findChild<QListWidget*>(QStringLiteral("listWidgetCommands"));
    for (const char* command : {"GetSWVersion", "GetTemperature", "MeasurementSetStaticOffset"}) {
        const auto found = list->findItems(QString::fromLatin1(command), Qt::MatchExactly);
        if (!found.isEmpty())
            list->setCurrentItem(found.first());
        click(screen, "pushButtonExecuteCommand");
    }
    bool ok = save(screen, output, prefix + QStringLiteral("service_commands"));
    auto* tabs = screen.findChild<QTabWidget*>(QStringLiteral("tabWidgetServiceMode"));
    tabs->setCurrentIndex(1);
    ok &= save(screen, output, prefix + QStringLiteral("service_update"));
    tabs->setCurrentIndex(2);
    click(screen, "pushButtonMotorForward");
    ok &= save(screen, output, prefix + QStringLiteral("service_motor"));
    click(screen, "pushButtonMotorIdle");
    tabs->setCurrentIndex(0);
    return ok;
}

// The demo page, and the information page once the device shows the chosen warning.
bool saveDemoPage(R58SubScreen& screen, const QDir& output, const QString& prefix)
{
    click(screen, "pushButtonServiceMode");
    screen.findChild<QComboBox*>(QStringLiteral("comboBoxWarning"))->setCurrentIndex(3);
    bool ok = save(screen, output, prefix + QStringLiteral("demo"));
    click(screen, "pushButtonShowWarning");
    click(screen, "pushButtonInformations");
    ok &= save(screen, output, prefix + QStringLiteral("information_warning"));
    // Back to a device without faults for the pictures that follow.
    click(screen, "pushButtonServiceMode");
    click(screen, "pushButtonShowOperationMode");
    return ok;
}

// The simulated device's operating mode value: its currents follow it.
constexpr int OperatingMode = 10;

// The data page's trend of each quantity while the motor starts, a recording under way, and the
// event history that the session left on the information page.
bool saveTrend(R58SubScreen& screen, Simulator::SimulatedDevice& device, const QDir& output,
    const QString& prefix)
{
    bool ok = true;
    const std::array<std::pair<const char*, const char*>, 3> pages {
        std::pair {"pushButtonData", "data_voltage"},
        std::pair {"pushButtonCurrentData", "data_current"},
        std::pair {"pushButtonPowerData", "data_power"}};
    for (const auto& [button, name] : pages) {
        device.setUIntValue(OperatingMode, 0);
        click(screen, button);
        settle(4000);
        device.setUIntValue(OperatingMode, 1);
        settle(8000);
        ok &= save(screen, output, prefix + QString::fromLatin1(name));
    }

    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("motor_start.csv"));
    screen.setFileDialog([path](QWidget*, R58SubScreen::FileDialogMode, const QString&,
                             const QString&, const QString&) { return path; });
    click(screen, "pushButtonRecord");
    settle(3200);
    ok &= save(screen, output, prefix + QStringLiteral("data_recording"));
    click(screen, "pushButtonRecord");
    device.setUIntValue(OperatingMode, 0);

    // A setting written from the configuration page, for the history.
    click(screen, "pushButtonConfiguration");
    if (auto* nominal
        = screen.findChild<QDoubleSpinBox*>(QStringLiteral("doubleSpinBoxNominalCurrent")))
        nominal->setValue(nominal->value() + 0.5);
    click(screen, "pushButtonInformations");
    ok &= save(screen, output, prefix + QStringLiteral("information_history"));
    return ok;
}

// The commissioning report's pages as they print, at their real A4 size in 96 dots per inch.
bool saveReportPage(R58SubScreen& screen, const QDir& output, const QString& name)
{
    const auto pages = screen
                           .makeReport({QStringLiteral("Water works North, hall 3"),
                               QStringLiteral("Pump 2, 4 kW, 400 V"), QStringLiteral("A. Berg"),
                               QStringLiteral("Direction of rotation checked.\nCustomer "
                                              "instructed in the fault display.")})
                           .pageImages(96);
    bool saved = !pages.isEmpty();
    for (int page = 0; page < pages.size(); ++page) {
        const QString path = output.filePath(
            name + (page == 0 ? QString() : QStringLiteral("_%1").arg(page + 1))
            + QStringLiteral(".png"));
        const bool written = pages[page].save(path);
        QTextStream(written ? stdout : stderr)
            << (written ? "wrote " : "cannot write ") << path << '\n';
        saved &= written;
    }
    return saved;
}

// The comparison an import shows before it sends, for a file with three changes.
bool saveComparison(R58SubScreen& screen, const QDir& output, const QString& name)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("pump2.json"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(QJsonDocument(
        QJsonObject {{QStringLiteral("NominalCurrent"), 2.4}, {QStringLiteral("TripClass"), 5},
            {QStringLiteral("Undervoltage"),
                QJsonObject {
                    {QStringLiteral("Enable"), true}, {QStringLiteral("Threshold"), 195.0}}}})
                   .toJson());
    file.close();
    screen.setFileDialog([path](QWidget*, R58SubScreen::FileDialogMode, const QString&,
                             const QString&, const QString&) { return path; });
    bool saved = false;
    screen.setDialogRunner([&](QDialog& dialog) {
        saved = save(dialog, output, name);
        return int(QDialog::Rejected);
    });
    click(screen, "pushButtonConfiguration");
    click(screen, "pushButtonImport");
    screen.setDialogRunner({});
    return saved;
}

// The window that prepares settings without a device: a new file being filled in, and a file
// made for a 6,6 A model opened for a 2,6 A one, its nominal current marked.
bool saveSettingsEditor(const QDir& output)
{
    using Application::R58::SettingKey;
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("pump 2.json"));
    {
        SettingsDocument document(*DeviceModel::find(51322));
        for (const auto& [key, value] : std::initializer_list<std::pair<SettingKey, double>> {
                 {SettingKey::TripClass, 4.0}, {SettingKey::NominalCurrent, 2.1},
                 {SettingKey::UndercurrentEnable, 1.0}, {SettingKey::UndercurrentThreshold, 0.6}})
            document.setValue(key, value);
        SettingsEditor editor(std::make_unique<SettingsDocument>(document), nullptr);
        if (!save(editor, output, QStringLiteral("settings_editor")))
            return false;
        document.setValue(SettingKey::NominalCurrent, 5.2);
        document.setValue(SettingKey::TripClass, 7.0);
        SettingsDocument large(*DeviceModel::find(51326));
        for (const SettingKey key : document.keys())
            large.setValue(key, document.value(key));
        if (!large.save(path))
            return false;
    }
    auto opened = std::make_unique<SettingsDocument>(*DeviceModel::find(51322));
    if (!opened->load(path))
        return false;
    SettingsEditor editor(std::move(opened), nullptr);
    return save(editor, output, QStringLiteral("settings_editor_outside"));
}

// Every page of the device screen a role can open, in the main window's tab size.
bool saveDeviceScreen(const QSharedPointer<SerialPortManager>& manager,
    const QSharedPointer<UserAccount>& account, const QSharedPointer<Config>& config,
    Simulator::SimulatedDevice& device, UserAccount::User user, const QString& role,
    const QDir& output)
{
    account->setUser(user);
    R58SubScreen screen(account, config, manager, device.portName());
    screen.initialize();
    screen.resize(1240, 700);
    bool ok = waitForDevice(screen);
    const QString prefix = QStringLiteral("device_%1_").arg(role);
    ok &= save(screen, output, prefix + QStringLiteral("information"));
    if (user == UserAccount::Supervisor || user == UserAccount::Admin) {
        click(screen, "pushButtonConfiguration");
        ok &= save(screen, output, prefix + QStringLiteral("configuration"));
        click(screen, "pushButtonUndercurrentSettings");
        ok &= save(screen, output, prefix + QStringLiteral("configuration_undercurrent"));
        click(screen, "pushButtonControl");
        click(screen, "pushButtonControlForward");
        ok &= save(screen, output, prefix + QStringLiteral("control"));
    }
    if (user == UserAccount::Supervisor) {
        ok &= saveTrend(screen, device, output, prefix);
    } else if (user != UserAccount::Demo) {
        click(screen, "pushButtonData");
        ok &= save(screen, output, prefix + QStringLiteral("data_voltage"));
        click(screen, "pushButtonCurrentData");
        ok &= save(screen, output, prefix + QStringLiteral("data_current"));
        click(screen, "pushButtonPowerData");
        ok &= save(screen, output, prefix + QStringLiteral("data_power"));
    }
    if (user == UserAccount::Supervisor) {
        ok &= saveReportPage(screen, output, prefix + QStringLiteral("report"));
        ok &= saveComparison(screen, output, prefix + QStringLiteral("import_compare"));
    }
    if (user == UserAccount::Supervisor)
        ok &= savePackageOpened(screen, output, prefix + QStringLiteral("information_package"));
    if (user == UserAccount::Admin)
        ok &= saveServicePage(screen, output, prefix);
    if (user == UserAccount::Demo)
        ok &= saveDemoPage(screen, output, prefix);
    click(screen, "pushButtonAbout");
    ok &= save(screen, output, prefix + QStringLiteral("about"));
    click(screen, "pushButtonControlIdle");
    return ok;
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
        login.resize(Designed);
        ok &= save(login, output, QStringLiteral("login_select"));
        login.findChild<QComboBox*>(QStringLiteral("comboBoxUser"))
            ->setCurrentIndex(UserAccount::Admin);
        login.findChild<PasswordLineEdit*>(QStringLiteral("lineEditPassword"))
            ->setText(QStringLiteral("r58-admin"));
        login.findChild<QCheckBox*>(QStringLiteral("checkBoxSavePassword"))->setChecked(true);
        ok &= save(login, output, QStringLiteral("login_password"));
        login.resize(Laptop);
        ok &= save(login, output, QStringLiteral("login_password_1366x768"));
    }
    {
        ConnectScreen connectScreen(manager);
        connectScreen.resize(Designed);
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
        connectScreen.resize(Designed);
        ok &= save(connectScreen, output, QStringLiteral("connect_no_access"));
        connectScreen.resize(Laptop);
        ok &= save(connectScreen, output, QStringLiteral("connect_no_access_1366x768"));
    }
    {
        // A port named by the user ("Other port…" or --port) that is not there yet.
        auto watchedManager = QSharedPointer<SerialPortManager>::create(
            QSharedPointer<ListSerialPortSource>::create());
        watchedManager->setPolling(false);
        watchedManager->watchPort(QStringLiteral("/tmp/ttyR58remote"));
        ConnectScreen connectScreen(watchedManager);
        connectScreen.resize(Designed);
        ok &= save(connectScreen, output, QStringLiteral("connect_other_port"));
        OtherPortDialog dialog(&connectScreen);
        ok &= save(dialog, output, QStringLiteral("other_port"));
    }
    {
        MainScreen mainScreen(manager, account, config);
        mainScreen.resize(Designed);
        ok &= save(mainScreen, output, QStringLiteral("main_offline"));
        mainScreen.resize(Laptop);
        ok &= save(mainScreen, output, QStringLiteral("main_offline_1366x768"));
        mainScreen.resize(Designed);
        click(mainScreen, "pushButtonConfiguration");
        ok &= save(mainScreen, output, QStringLiteral("main_offline_configuration"));
    }
    ok &= saveSettingsEditor(output);

    QTemporaryDir links;
    std::vector<std::unique_ptr<Simulator::SimulatedDevice>> devices;
    for (int i = 0; i < 2; ++i) {
        devices.push_back(std::make_unique<Simulator::SimulatedDevice>(links.path(), source));
        // Two devices, two serial numbers on the tabs.
        devices.back()->setUIntValue(45, 21504711u + quint32(i) * 1358u);
        ok &= devices.back()->plugIn();
    }
    manager->poll();
    {
        MainScreen mainScreen(manager, account, config);
        mainScreen.resize(Designed);
        ok &= save(mainScreen, output, QStringLiteral("main_devices"));
        // The tallest pages on a laptop: they scroll instead of running off the screen.
        mainScreen.resize(Laptop);
        ok &= save(mainScreen, output, QStringLiteral("main_devices_1366x768"));
        mainScreen.show();
        const auto screens = mainScreen.findChildren<R58SubScreen*>();
        for (R58SubScreen* screen : screens) {
            waitForDevice(*screen);
            click(*screen, "pushButtonData");
        }
        if (!screens.isEmpty()) {
            ok &= save(mainScreen, output, QStringLiteral("main_devices_data_1366x768"));
            // Maximised on a large screen: the page and the plot take the room.
            mainScreen.resize(Large);
            settle(300);
            ok &= save(mainScreen, output, QStringLiteral("main_devices_data_1920x1080"));
        }
    }

    // The device screen of each role, filled from the first simulated device.
    devices.front()->setMeasurementInterval(50);
    const QList<QPair<UserAccount::User, QString>> roles {{UserAccount::Customer, "customer"},
        {UserAccount::Supervisor, "supervisor"}, {UserAccount::Admin, "admin"},
        {UserAccount::Demo, "demo"}};
    for (const auto& role : roles)
        ok &= saveDeviceScreen(
            manager, account, config, *devices.front(), role.first, role.second, output);

    // A device in trouble: an overload error on the information page.
    devices.front()->setUIntValue(9, 87);
    devices.front()->setUIntValue(18, 2);
    ok &= saveDeviceScreen(manager, account, config, *devices.front(), UserAccount::Customer,
        QStringLiteral("customer_error"), output);
    return ok ? 0 : 1;
}
