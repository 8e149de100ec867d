#pragma once

#include "link/talolinkpacket.h"

#include <QByteArray>
#include <QObject>
#include <QSharedPointer>
#include <QString>

class QTimer;

namespace Application::R58 {
class SerialPortManager;
}

namespace Service::R58 {

class PackageUpdateService;
class UpdateControlService;

// The service page's update of one processor from one image file: announces it, watches the
// device's block requests and says how it ended. It waits as long as the package update does.
class SingleImageUpdate : public QObject
{
    Q_OBJECT

public:
    using Terminal = Component::Interfaces::TaloLinkPacket::Terminal;

    SingleImageUpdate(QSharedPointer<UpdateControlService> updater,
        QSharedPointer<PackageUpdateService> packager,
        QSharedPointer<Application::R58::SerialPortManager> manager, const QString& portName,
        QObject* parent = nullptr);
    ~SingleImageUpdate() override;

    // The image file the user chose; empty when there is none (or it was a package).
    void setImagePath(const QString& path) { m_imagePath = path; }
    [[nodiscard]] QString getImagePath() const { return m_imagePath; }
    [[nodiscard]] bool isRunning() const { return m_running; }
    // An image is chosen and nothing else runs on the device's block transfer.
    [[nodiscard]] bool canStart() const;
    // Announces `data`, the chosen file's content, to the terminal; a file named *.crypt is
    // taken as encrypted. Ignored unless canStart(). Ends with finished() or failed(), which
    // may come before this returns.
    void start(const QByteArray& data, Terminal terminal);

public slots:
    void handleProgress(int percent);
    void handleDigestError();
    void handleUpdateRefused(const QString& reason);

signals:
    // Every progress report of the device's block transfer.
    void progressChanged(int percent);
    void finished();
    // The transfer was dropped; `text` tells the user why.
    void failed(const QString& text);

private:
    void handlePortClosed(const QString& portName);
    void handleStalled();
    void end(const QString& failure);

    QSharedPointer<UpdateControlService> m_updater;
    QSharedPointer<PackageUpdateService> m_packager;
    QString m_portName;
    QString m_imagePath;
    // Runs while the update waits for the device's next block request: a device that stops
    // asking would otherwise leave the progress standing with no word why.
    QTimer* m_stallTimer = nullptr;
    // Set while this update runs, so that refusals and digest errors reach it.
    bool m_running = false;
    // Announced, but the device has not asked for a block yet.
    bool m_awaitingFirstBlock = false;
    // Inside the announcement, whose own progress report is no block request.
    bool m_announcing = false;
};

} // namespace Service::R58
