#pragma once

#include "app/application.h"
#include "config/settingsverifier.h"
#include "records/commissioningreport.h"
#include "records/settingsbackups.h"
#include "ui/subscreenfactory.h"

#include <QDialog>
#include <QList>
#include <QMap>
#include <QPair>
#include <QSharedPointer>
#include <QString>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>

namespace Ui {
class R58SubScreen;
class R58SubScreenAbout;
class R58SubScreenConfiguration;
class R58SubScreenControl;
class R58SubScreenData;
class R58SubScreenDemo;
class R58SubScreenInformation;
class R58SubScreenService;
} // namespace Ui

namespace Application::R58 {
enum class SettingKey;
class Settings;
class SettingsComparison;
class TerminalCommandItem;
} // namespace Application::R58

class QComboBox;
class QDoubleSpinBox;
class QKeyEvent;
class QLabel;
class QTimer;
class ServiceLog;

namespace Records {
class DeviceHistory;
class MeasurementCapture;
} // namespace Records

namespace Model::Interfaces {
enum class ModelActionID : std::uint16_t;
}

namespace Service::R58 {
class SingleImageUpdate;
}

// The screen of one device in a tab of the main window, and at the same time that device's
// application object: it owns the link stack, shows the device's pages and offers what the
// logged-in role may use. The definitions are split by page over r58subscreen*.cpp.
class R58SubScreen : public QDialog, public ::Application::R58::Application
{
    Q_OBJECT

public:
    enum class FileDialogMode { Open, Save };
    // Asks for a file name; an empty answer means the user cancelled. Tests put their own in
    // place of the native dialog.
    using FileDialog = std::function<QString(QWidget* parent, FileDialogMode mode,
        const QString& caption, const QString& directory, const QString& filter)>;

    R58SubScreen(QSharedPointer<::Application::R58::UserAccount> account,
        QSharedPointer<::Application::R58::Config> config,
        QSharedPointer<::Application::R58::SerialPortManager> manager, const QString& portName,
        QWidget* parent = nullptr);
    ~R58SubScreen() override;

    // The port the screen was made for; the main window finds its tab by it.
    [[nodiscard]] QString getPortName() const { return m_portName; }
    // False while a package update runs: the device restarts during it and its tab must stay.
    [[nodiscard]] bool isClosable() const;
    // True while a package or a single-image update runs on the device.
    [[nodiscard]] bool isUpdating() const;
    // True while a motor this tool started still runs; closing the window asks first.
    [[nodiscard]] bool isRunningMotor() const { return m_motorStarted && isMotorRunning(); }
    // Enables, shows and connects what the logged-in role may use.
    void activateFeatures();
    void setFileDialog(FileDialog dialog);
    // Runs a modal dialog of the screen (compare, restore, questions) and returns its result.
    // Tests put their own in place of the modal loop.
    using DialogRunner = std::function<int(QDialog& dialog)>;
    void setDialogRunner(DialogRunner runner) { m_dialogRunner = std::move(runner); }
    // Saves the device's current settings in the data folder before `reason` replaces them.
    // When that fails the user decides whether to go on; false means stop.
    bool backUpSettings(::Records::SettingsBackups::Reason reason);
    // The commissioning report of the device as the screen knows it now, with the user's fields.
    [[nodiscard]] CommissioningReport makeReport(const CommissioningReport::Fields& fields) const;

signals:
    // An update on this device ended, well or not; the tab may be closable again.
    void updateEnded();

public slots:
    // Navigation: each sets its page and tells the device which measurement to stream.
    void handleInformationTab();
    void handleConfigurationTab();
    void handleDataTab();
    void handleControlTab();
    void handleAboutTab();
    void handleServiceTab();
    void handleDemoTab();
    void handleMeasurementVoltagePage();
    void handleMeasurementCurrentPage();
    void handleMeasurementPowerPage();

    // Identity and status.
    void handleArticleNumberModelValue();
    void handleSerialNumberModelValue();
    void handlePlatformVersionModelValue();
    void handleHardwareRevisionModelValue();
    void handleFaultTypeModelValue();
    void handleOperatingModeModelValue();

    // Settings edited on the configuration page.
    void handleNominalCurrent(double value);
    void handleTripClass(int index);
    void handleOverloadReset(bool on);
    void handleSoftstart(bool on);
    void handleUndercurrentEnable(bool on);
    void handleUndercurrentThreshold(double value);
    void handleUndercurrentFaultType(int index);
    void handleUndervoltageEnable(bool on);
    void handleUndervoltageThreshold(double value);
    void handleUndervoltageFaultType(int index);
    void handleOvervoltageEnable(bool on);
    void handleOvervoltageThreshold(double value);
    void handleOvervoltageFaultType(int index);
    void handleAsymmetryEnable(bool on);
    void handleAsymmetryThreshold(double value);
    void handleAsymmetryFaultType(int index);
    void handleExportSettings();
    void handleImportSettings();
    // Shows what a settings file would change, without sending anything.
    void handleCompareSettings();
    // Lists this device's backups and imports the chosen one through the comparison.
    void handleRestoreSettings();
    void handleFactoryReset();
    // Asks for the report's fields, then saves the report as PDF or prints it.
    void handleReport();

    // Settings reported by the device.
    void handleNominalCurrentModelValue();
    void handleNominalCurrentMaxModelValue();
    void handleTripClassModelValue();
    void handleTripClassMaxModelValue();
    void handleSoftstartEnableModelValue();
    void handleOverloadResetModelValue();
    void handleUndercurrentThresholdModelValue();
    void handleUndercurrentFaultTypeModelValue();
    void handleUndercurrentEnableModelValue();

    // Measurements streamed by the device.
    void handleMeasurementCurrentModelValue(quint8 phase);
    void handleMeasurementVoltageModelValue(quint8 phase);
    void handleMeasurementActivePowerModelValue();
    void handleMeasurementReactivePowerModelValue();
    void handleMeasurementApparentPowerModelValue();

    // Motor, from the control page and the service page alike: stop before run.
    void handleIdle();
    void handleForward();
    void handleBackward();

    // ---- Service page and package update (r58subscreen_service.cpp)

    // Rebuilds the command list for the software states the processors now report.
    void handleTerminalReady();
    // Shows the chosen command's argument captions and editors.
    void handleCommand();
    // "ModelSetValue": the value editor follows the chosen model value's type.
    void handleModelValueID(int index);
    void handleExecuteCommand();
    void handleCommandTransmitted(const QByteArray& text);
    void handleCommandReceived(const QByteArray& text);
    void handleOpenFile();
    void handleStartUpdate();
    void handleProgress(int percent);
    void handleDigestError();
    void handleRequestMemblock(unsigned short blockIndex);
    void handleOpenUpdatePackage();
    void handleStartPackageUpdate();
    void handlePackageUpdateVersion(const QString& version);
    void handlePackageUpdatePlatformVersion(unsigned int version);
    void handlePackageUpdateErrorOccured(const QString& text);
    void handlePackageUpdateFinished();

    // ---- Demo page (r58subscreen_demo.cpp)

    void handleDemoModeExecutionOperationMode();
    void handleDemoModeExecutionWarning();
    void handleDemoModeExecutionError();

protected:
    // The screen lives in a tab: Esc must not hide it, and Enter in a field commits that field
    // and presses no button of the screen.
    void keyPressEvent(QKeyEvent* event) override;

private:
    // Construction, by page.
    void setupInformationPage();
    void setupConfigurationPage();
    void setupDataPage();
    // The service page and the package update: connections and starting state.
    void setupServicePage();
    // The demo page: its lists and buttons; runs for the demo role only.
    void setupDemoMode();

    [[nodiscard]] QString askFileName(FileDialogMode mode, const QString& caption,
        const QString& directory, const QString& filter);

    // Information and status.
    void updateVoltageInfoText(quint32 platformVersion);
    void updatePhaseAsymmetryTab(quint32 platformVersion);
    void showVelorR58Image(const QString& path);
    void showVersion();
    // The motor's status line, on the control page and on the service page's motor tab.
    void showMotorStatus(const QString& text);
    void clearDirection();
    // Shows the picture of that state and keeps the state, so that a later article number
    // shows it in that variant's set.
    void showStatusPicture(const QString& state);

    // Configuration.
    void loadSoftstartImage();
    // Reads a settings file, shows what it would change and, when importing, sends the
    // changes the user applies.
    void compareSettingsFile(const QString& path, bool import);
    [[nodiscard]] int runDialog(QDialog& dialog);
    // Keeps the folder in the config file and shows `done`, with a warning when the
    // config file cannot be written.
    void rememberSettingsDir(const QString& path, const QString& done);
    // Saves the configuration (the folders for next time); empty, or what the user must know.
    [[nodiscard]] QString saveConfig();
    // Marks each setting the device did not take and reports on the act that wrote them.
    void showVerification(const QList<::Application::R58::SettingsVerifier::Outcome>& outcomes);
    // True (the act is refused) while the device reports a running motor; says why and offers
    // to stop the motor.
    [[nodiscard]] bool refuseWhileMotorRuns(const QString& act);
    void showSettingsMessage(const QString& text, bool failure);
    // Shows a setting the device reported in its widget without sending anything, for the
    // settings without a handler of their own.
    void showDeviceSetting(::Application::R58::SettingKey key);
    // Whether a user's committed value may be sent: the device must be connected and the value
    // within what the field offers. Otherwise says why and shows the device's value again.
    [[nodiscard]] bool admitEdit(
        QDoubleSpinBox* field, const QString& caption, double value, double deviceValue);
    [[nodiscard]] bool admitEdit();
    // The user's new nominal current: thresholds above it are lowered to it, as part of the act.
    void lowerThresholdsTo(float nominalCurrent);

    Ui::R58SubScreen* m_ui = nullptr;
    Ui::R58SubScreenInformation* m_uiInformation = nullptr;
    Ui::R58SubScreenConfiguration* m_uiConfiguration = nullptr;
    Ui::R58SubScreenData* m_uiData = nullptr;
    Ui::R58SubScreenControl* m_uiControl = nullptr;
    Ui::R58SubScreenAbout* m_uiAbout = nullptr;
    QString m_portName;
    // Confirms every setting written by reading it back.
    ::Application::R58::SettingsVerifier* m_verifier = nullptr;
    // What the verifier's next outcome reports on: an import or a factory reset, which the page
    // calls done only once the device has confirmed it; otherwise the user's edits.
    struct SettingsAct
    {
        enum class Kind { Edit, Import, Reset, Update };
        Kind kind = Kind::Edit;
        QString text;
    };
    SettingsAct m_settingsAct;
    // The backup taken last, and the one taken before the running package update.
    QString m_lastBackup;
    QString m_updateBackup;
    // The motor was started from this screen and not stopped from it since.
    bool m_motorStarted = false;
    FileDialog m_fileDialog;
    DialogRunner m_dialogRunner;
    // The state the status picture shows ("standby", "error_load", ...); empty before the first.
    QString m_statusPictureState;

    // Trip class value -> text, as the device names them.
    static const std::array<const char*, 8> m_tripClasses;

    // ---- Service page and demo page (r58subscreen_service.cpp, r58subscreen_demo.cpp)

    void hideArguments();
    void showArgument(unsigned int index, ::Application::R58::TerminalCommandItem& item);
    void loadModelValueIDs();
    void loadModelActionIDs();
    void softwareUpdatePossibility(bool possible);
    // Enables each update's start only while no other update runs on the device.
    void updateStartButtons();
    void setupDemoForm();

    // ---- Trend plot and recording of the measured values (r58subscreen_data.cpp)

    void handleRecord();
    void showRecordingState();
    void showRecordMessage(const QString& text, bool failure);
    // The measured values on their way to the page, the plot and the recording; it also
    // decides what the device streams.
    Records::MeasurementCapture* m_capture = nullptr;

    // ---- Event history, on the information page

    void handleExportHistory();
    Records::DeviceHistory* m_history = nullptr;

    // The page forms are complete only in their own files, so they bring their deleters.
    struct ServiceFormDeleter
    {
        void operator()(Ui::R58SubScreenService* form) const;
    };
    struct DemoFormDeleter
    {
        void operator()(Ui::R58SubScreenDemo* form) const;
    };
    std::unique_ptr<Ui::R58SubScreenService, ServiceFormDeleter> m_uiService;
    std::unique_ptr<Ui::R58SubScreenDemo, DemoFormDeleter> m_uiDemo;
    // The log of frames sent and received.
    ServiceLog* m_log = nullptr;
    // The argument widgets by position; only the first position has an identifier choice.
    QList<QLabel*> m_argumentLabels;
    QList<QComboBox*> m_argumentChoices;
    QList<QDoubleSpinBox*> m_argumentEditors;
    // The service page's single-image update, with the image chosen there in this session;
    // never the package's file.
    std::unique_ptr<Service::R58::SingleImageUpdate> m_singleImage;
    // The device has reported its platform version since the screen was made.
    bool m_deviceVersionKnown = false;
    // A package was opened before the device's version came: judged when it comes.
    bool m_packageAwaitingVersion = false;
};

namespace Application::R58 {

// Makes the device screens of the main window's tabs.
class R58SubScreenFactory : public SubScreenFactory
{
public:
    R58SubScreenFactory(QSharedPointer<SerialPortManager> manager,
        QSharedPointer<UserAccount> account, QSharedPointer<Config> config);

    [[nodiscard]] QWidget* createSubScreen(const QString& portName) override;
    [[nodiscard]] QString getPortName(const QWidget* screen) const override;
    [[nodiscard]] bool isClosable(const QWidget* screen) const override;
    [[nodiscard]] bool isUpdating(const QWidget* screen) const override;
    [[nodiscard]] bool isRunningMotor(const QWidget* screen) const override;
    void stopMotor(QWidget* screen) const override;
    void watchUpdateEnd(
        QWidget* screen, QObject* context, std::function<void()> ended) const override;

private:
    QSharedPointer<SerialPortManager> m_manager;
    QSharedPointer<UserAccount> m_account;
    QSharedPointer<Config> m_config;
};

} // namespace Application::R58
