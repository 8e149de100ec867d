#pragma once

#include "framework/abstractservice.h"
#include "link/talolinkpacket.h"

#include <QByteArray>
#include <QFile>
#include <QMap>
#include <QObject>
#include <QSharedPointer>
#include <QString>

#include <cstdint>

class QTimer;

namespace Application::R58 {
class SerialPortManager;
}

namespace Component::R58 {
class TaloLinkComponent;
}

namespace Utilities {
class Tarball;
}

namespace Service::R58 {

class UpdateControlService;
class VersionParser;

// Updates a whole device from one update package: the platform first, then,
// once the restarted device's port is open again, the display.
class PackageUpdateService : public QObject, public Component::Interfaces::AbstractService
{
    Q_OBJECT

public:
    using Terminal = Component::Interfaces::TaloLinkPacket::Terminal;

    enum State {
        NoPackage = 0,
        Opened = 1,
        UpdatingPlatform = 2,
        WaitingForRestart = 3,
        UpdatingDisplay = 4,
        Failed = 5,
        Finished = 6,
    };

    // The pauses and limits of an update, in milliseconds, for the package update and the
    // service page's single image alike. The defaults are what the device needs; tests and
    // the simulator shorten them. Nothing is known of the real device's timing, so the limits
    // that decide a failure are generous.
    struct Waits
    {
        int platformBootloader = 2000; // after sending the platform to its boot loader
        int settle = 1000; // after the display's jump, and after the port returned
        int displayFinish = 5000; // after the display's last block
        // A transfer without a block request for this long has stopped: a lost
        // request is never asked for again, and the user must be told.
        int transferStall = 10000;
        // Before the first block request: a boot loader may erase its whole flash first.
        int firstBlock = 60000;
        // The restarted device's port back and open; a device that stays away must not keep
        // the update (and its tab) waiting for good.
        int restart = 60000;
        // The restarted platform answering for its version, which shows whether it took the
        // image.
        int versionReadBack = 10000;
    };

    PackageUpdateService(QSharedPointer<UpdateControlService> updateControlService,
        QSharedPointer<Application::R58::SerialPortManager> manager, const QString& portName,
        QObject* parent = nullptr);
    ~PackageUpdateService() override;

    // Ignored while an update runs. A file that cannot be read, or holds no
    // manifest, is a package without images; the user is told.
    void openArchive(const QString& path);
    // Only in Opened or Finished; checks every image of the package before the
    // device is told anything.
    void start();

    [[nodiscard]] State getUpdateState() const { return m_state; }
    // The package's platform version as its manifest gives it.
    [[nodiscard]] std::uint32_t getPlatformVersion() const;
    [[nodiscard]] bool isUpdating() const;
    [[nodiscard]] unsigned int getImageCount() const { return m_imageCount; }
    void setWaits(const Waits& waits) { m_waits = waits; }
    [[nodiscard]] const Waits& getWaits() const { return m_waits; }

public slots:
    // The device reported its platform version. After the restart it tells whether the
    // platform took the package's image.
    void handleDevicePlatformVersion(unsigned int version);

signals:
    void packageUpdateVersion(const QString& version);
    // The package passed its checks and the device is being told to take it.
    void packageUpdateStarted();
    void packageUpdatePlatformVersion(unsigned int version);
    void packageUpdateErrorOccured(const QString& text);
    void packageUpdateProgressChanged(int percent);
    void packageUpdateFinished();

protected:
    void performStartup() override;
    void performShutdown() override { }
    void performRun() override { }

private slots:
    void handleProgressChanged(int percent);
    void handleDigestError();
    void handleUpdateRefused(const QString& reason);
    void handleUpdateFinished();
    void handlePortOpened(const QString& portName);
    void handlePortClosed(const QString& portName);
    void handleTransferStalled();
    void handleRestartOverdue();
    void handleVersionOverdue();

private:
    bool parseArchive();
    void parseSoftwareVersions();
    // Empty when the package can be started; otherwise why it cannot.
    [[nodiscard]] QString findDamage() const;
    // Announces the image and waits for the device's first block request.
    void announce(const QString& path, Terminal terminal);
    void stopTimers();
    [[nodiscard]] bool checkImages();
    void startPlatformUpdate();
    void startDisplayUpdate();
    void finish();
    void fail(const QString& text);
    // Waits in a nested event loop; false when this service was destroyed meanwhile.
    [[nodiscard]] bool msleep(int milliseconds);
    [[nodiscard]] bool holdsImage(const QString& path) const;
    [[nodiscard]] QByteArray imageBytes(const QString& path) const;
    [[nodiscard]] QString platformImagePath() const;
    [[nodiscard]] QString displayImagePath() const;
    [[nodiscard]] Component::R58::TaloLinkComponent* component();

    QSharedPointer<UpdateControlService> m_updateControlService;
    QSharedPointer<Application::R58::SerialPortManager> m_manager;
    QString m_portName;
    Component::R58::TaloLinkComponent* m_component = nullptr;
    State m_state = NoPackage;
    QString m_archivePath;
    QFile m_archiveFile;
    qint64 m_archiveSize = 0;
    QByteArray m_archiveData;
    QSharedPointer<Utilities::Tarball> m_tarball;
    QSharedPointer<VersionParser> m_manifest;
    Terminal m_currentTerminal = Terminal::Platform;
    unsigned int m_imageCount = 0;
    QMap<Terminal, int> m_progressShares;
    Waits m_waits;
    QTimer* m_stallTimer = nullptr;
    QTimer* m_restartTimer = nullptr;
    QTimer* m_versionTimer = nullptr;
    // Set once the image is announced; before that the port may still change.
    bool m_transferStarted = false;
    // Announced, but the device has not asked for a block yet.
    bool m_awaitingFirstBlock = false;
    // Inside the announcement, whose own progress report is no block request.
    bool m_announcing = false;
    // Settling after the port returned: a repeated report of its return is no new one.
    bool m_settling = false;
    // The restarted device was asked for its platform version.
    bool m_verifying = false;
};

} // namespace Service::R58
