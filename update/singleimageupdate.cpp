#include "update/singleimageupdate.h"

#include "link/serialportmanager.h"
#include "update/packageupdateservice.h"
#include "update/updatecontrolservice.h"

#include <QTimer>

namespace Service::R58 {

SingleImageUpdate::SingleImageUpdate(QSharedPointer<UpdateControlService> updater,
    QSharedPointer<PackageUpdateService> packager,
    QSharedPointer<Application::R58::SerialPortManager> manager, const QString& portName,
    QObject* parent)
    : QObject(parent),
      m_updater(std::move(updater)),
      m_packager(std::move(packager)),
      m_portName(portName),
      m_stallTimer(new QTimer(this))
{
    m_stallTimer->setSingleShot(true);
    connect(m_stallTimer, &QTimer::timeout, this, &SingleImageUpdate::handleStalled);
    UpdateControlService* updaterService = m_updater.data();
    connect(updaterService, &UpdateControlService::progressChanged, this,
        &SingleImageUpdate::handleProgress);
    connect(updaterService, &UpdateControlService::digestError, this,
        &SingleImageUpdate::handleDigestError);
    connect(updaterService, &UpdateControlService::updateRefused, this,
        &SingleImageUpdate::handleUpdateRefused);
    if (manager) {
        connect(manager.data(), &Application::R58::SerialPortManager::portClosed, this,
            &SingleImageUpdate::handlePortClosed);
    }
}

SingleImageUpdate::~SingleImageUpdate() = default;

bool SingleImageUpdate::canStart() const
{
    // One update at a time per device: the package update shares the block transfer.
    return !m_imagePath.isEmpty() && !m_running && !m_packager->isUpdating()
        && !m_updater->isTransferring();
}

void SingleImageUpdate::start(const QByteArray& data, Terminal terminal)
{
    if (!canStart())
        return;
    const auto type = m_imagePath.endsWith(QLatin1String(".crypt"))
        ? UpdateControlService::Encrypted
        : UpdateControlService::Plain;
    m_running = true;
    m_awaitingFirstBlock = true;
    m_announcing = true;
    m_updater->start(data, type, terminal);
    m_announcing = false;
    // A refusal of the image has ended the update already.
    if (m_running)
        m_stallTimer->start(m_packager->getWaits().firstBlock);
}

void SingleImageUpdate::handleProgress(int percent)
{
    emit progressChanged(percent);
    if (!m_running || m_announcing)
        return;
    m_awaitingFirstBlock = false;
    if (m_updater->isTransferring())
        m_stallTimer->start(m_packager->getWaits().transferStall);
    else
        end(QString());
}

void SingleImageUpdate::handleDigestError()
{
    // A package update reports its own digest errors.
    if (m_running)
        end(tr("Security Error! Wrong Digest"));
}

void SingleImageUpdate::handleUpdateRefused(const QString& reason)
{
    // A package update reports refusals itself.
    if (m_running)
        end(tr("Update refused: %1").arg(reason));
}

void SingleImageUpdate::handlePortClosed(const QString& portName)
{
    // Its boot loader may ask again once it is back; it must then get nothing. Any transfer
    // but the package update's goes, whoever started it.
    if (portName != m_portName || m_packager->isUpdating() || !m_updater->isTransferring())
        return;
    end(tr("The device was disconnected during the update. Connect it again and start the "
           "update once more."));
}

void SingleImageUpdate::handleStalled()
{
    if (!m_running)
        return;
    end(m_awaitingFirstBlock
            ? tr("The device did not start asking for the update's data. Check the connection "
                 "and start the update once more.")
            : tr("The device stopped asking for the update's data. Check the connection and "
                 "start the update once more."));
}

void SingleImageUpdate::end(const QString& failure)
{
    m_stallTimer->stop();
    m_running = false;
    m_awaitingFirstBlock = false;
    if (failure.isEmpty()) {
        emit finished();
        return;
    }
    m_updater->cancel();
    emit failed(failure);
}

} // namespace Service::R58
