#pragma once

#include "app/application.h"
#include "ui/subscreenfactory.h"

#include <QDialog>
#include <QSharedPointer>
#include <QString>

#include <array>
#include <cstdint>
#include <functional>

namespace Ui {
class R58SubScreen;
class R58SubScreenAbout;
class R58SubScreenConfiguration;
class R58SubScreenControl;
class R58SubScreenData;
class R58SubScreenInformation;
} // namespace Ui

namespace Model::Interfaces {
enum class ModelActionID : std::uint16_t;
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
    // Enables, shows and connects what the logged-in role may use.
    void activateFeatures();
    void setFileDialog(FileDialog dialog);

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
    void handleFactoryReset();

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
    void handleUndervoltageThresholdModelValue();
    void handleUndervoltageFaultTypeModelValue();
    void handleUndervoltageEnableModelValue();
    void handleOvervoltageThresholdModelValue();
    void handleOvervoltageFaultTypeModelValue();
    void handleOvervoltageEnableModelValue();
    void handleAsymmetryThresholdModelValue();
    void handleAsymmetryFaultTypeModelValue();
    void handleAsymmetryEnableModelValue();

    // Measurements streamed by the device.
    void handleMeasurementCurrentModelValue(quint8 phase);
    void handleMeasurementVoltageModelValue(quint8 phase);
    void handleMeasurementActivePowerModelValue();
    void handleMeasurementReactivePowerModelValue();
    void handleMeasurementApparentPowerModelValue();
    void handleMeasurementPhaseModelValue();

    // Motor, from the control page and the service page alike: stop before run.
    void handleIdle();
    void handleForward();
    void handleBackward();

private:
    // Construction, by page.
    void setupNavigation();
    void setupInformationPage();
    void setupAboutPage();
    void setupConfigurationPage();
    void setupDataPage();
    void setupControlPage();
    // The service page and the package update: connections and starting state.
    void setupServicePage();
    // The demo page: its lists and buttons; runs for the demo role only.
    void setupDemoMode();

    void fireAction(Model::Interfaces::ModelActionID id);
    [[nodiscard]] QString askFileName(FileDialogMode mode, const QString& caption,
        const QString& directory, const QString& filter);

    // Information and status.
    void updateErrorInfo();
    void updateWarningInfo();
    void updateVoltageInfoText(quint32 platformVersion);
    void updatePhaseAsymmetryTab(quint32 platformVersion);
    void showVelorR58Image(const QString& path);
    void showVersion();
    // The motor's status line, on the control page and on the service page's motor tab.
    void showMotorStatus(const QString& text);
    void clearDirection();
    // The picture of the current variant in the given state; empty without a variant.
    [[nodiscard]] QString statusPicture(const QString& state);

    // Configuration.
    void loadSoftstartImage();
    // Fills the settings object from the device model, as the export writes it.
    void copyModelToSettings();
    // Empty when every field fits what the device accepts; otherwise which one does not.
    [[nodiscard]] QString checkImportedSettings();
    void sendImportedSettings();
    // Keeps the folder in the config file and shows `done`, with a warning when the
    // config file cannot be written.
    void rememberSettingsDir(const QString& path, const QString& done);
    void showSettingsMessage(const QString& text, bool failure);

    Ui::R58SubScreen* m_ui = nullptr;
    Ui::R58SubScreenInformation* m_uiInformation = nullptr;
    Ui::R58SubScreenConfiguration* m_uiConfiguration = nullptr;
    Ui::R58SubScreenData* m_uiData = nullptr;
    Ui::R58SubScreenControl* m_uiControl = nullptr;
    Ui::R58SubScreenAbout* m_uiAbout = nullptr;
    QString m_portName;
    FileDialog m_fileDialog;

    // Trip class value -> text, as the device names them.
    static const std::array<const char*, 8> m_tripClasses;
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

private:
    QSharedPointer<SerialPortManager> m_manager;
    QSharedPointer<UserAccount> m_account;
    QSharedPointer<Config> m_config;
};

} // namespace Application::R58
