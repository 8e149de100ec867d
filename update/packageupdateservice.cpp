#include "update/packageupdateservice.h"

#include "link/serialportmanager.h"
#include "link/talolinkcomponent.h"
#include "model/modelactionid.h"
#include "model/modelvalueid.h"
#include "update/tarball.h"
#include "update/updatecontrolservice.h"
#include "update/versionparser.h"

#include <QDir>
#include <QFileInfo>
#include <QEventLoop>
#include <QPointer>
#include <QTimer>

#include <limits>

namespace Service::R58 {

namespace {

const QByteArray ManifestName = QByteArrayLiteral("version.json");

QString versionText(std::uint32_t version)
{
    return QStringLiteral("%1.%2.%3.%4")
        .arg(version >> 24)
        .arg((version >> 16) & 0xFFu)
        .arg((version >> 8) & 0xFFu)
        .arg(version & 0xFFu);
}

} // namespace

PackageUpdateService::PackageUpdateService(
    QSharedPointer<UpdateControlService> updateControlService,
    QSharedPointer<Application::R58::SerialPortManager> manager, const QString& portName,
    QObject* parent)
    : QObject(parent),
      AbstractService(Component::Interfaces::ServiceID::PackageUpdate),
      m_updateControlService(std::move(updateControlService)),
      m_manager(std::move(manager)),
      m_portName(portName)
{
    if (m_updateControlService) {
        UpdateControlService* updater = m_updateControlService.data();
        connect(updater, &UpdateControlService::progressChanged, this,
            &PackageUpdateService::handleProgressChanged);
        connect(updater, &UpdateControlService::digestError, this,
            &PackageUpdateService::handleDigestError);
        connect(updater, &UpdateControlService::updateRefused, this,
            &PackageUpdateService::handleUpdateRefused);
        connect(updater, &UpdateControlService::updateFinished, this,
            &PackageUpdateService::handleUpdateFinished);
    }
    m_stallTimer = new QTimer(this);
    m_stallTimer->setSingleShot(true);
    connect(m_stallTimer, &QTimer::timeout, this, &PackageUpdateService::handleTransferStalled);
    m_restartTimer = new QTimer(this);
    m_restartTimer->setSingleShot(true);
    connect(m_restartTimer, &QTimer::timeout, this, &PackageUpdateService::handleRestartOverdue);
    m_versionTimer = new QTimer(this);
    m_versionTimer->setSingleShot(true);
    connect(m_versionTimer, &QTimer::timeout, this, &PackageUpdateService::handleVersionOverdue);
    if (m_manager) {
        // Queued: the settle after a port's return waits, and waiting inside the manager's
        // poll would stop the poll, which then could not see the port go again meanwhile.
        connect(m_manager.data(), &Application::R58::SerialPortManager::portOpened, this,
            &PackageUpdateService::handlePortOpened, Qt::QueuedConnection);
        connect(m_manager.data(), &Application::R58::SerialPortManager::portClosed, this,
            &PackageUpdateService::handlePortClosed, Qt::QueuedConnection);
    }
}

PackageUpdateService::~PackageUpdateService() = default;

bool PackageUpdateService::isUpdating() const
{
    return m_state == UpdatingPlatform || m_state == WaitingForRestart
        || m_state == UpdatingDisplay;
}

void PackageUpdateService::performStartup()
{
    m_component = dynamic_cast<Component::R58::TaloLinkComponent*>(
        getComponent(Component::Interfaces::ComponentID::TaloLinkUSB));
}

Component::R58::TaloLinkComponent* PackageUpdateService::component()
{
    if (!m_component)
        performStartup();
    return m_component;
}

void PackageUpdateService::openArchive(const QString& path)
{
    if (isUpdating())
        return;
    m_state = NoPackage;
    m_archivePath = path;
    const bool readable = parseArchive();
    parseSoftwareVersions();

    m_imageCount = 0;
    if (holdsImage(platformImagePath()))
        ++m_imageCount;
    if (holdsImage(displayImagePath()))
        ++m_imageCount;

    // A package that cannot be used stays unopened: starting it would send nothing and
    // report that as a finished update.
    const QString shownPath = QDir::toNativeSeparators(path);
    QString error;
    if (!readable)
        error = tr("The update package \"%1\" could not be read.").arg(shownPath);
    else if (!m_tarball->fileExists(ManifestName))
        error = tr("\"%1\" is not an update package: it holds no version.json.").arg(shownPath);
    else
        error = findDamage();
    if (!error.isEmpty()) {
        m_imageCount = 0;
        emit packageUpdateErrorOccured(error);
        return;
    }
    m_state = Opened;
}

QString PackageUpdateService::findDamage() const
{
    const QString name = QFileInfo(m_archivePath).fileName();
    if (m_tarball->isDamaged())
        return tr("The package is damaged: \"%1\" is cut short or broken inside. Get the "
                  "package again.")
            .arg(name);
    for (const QString& path : {platformImagePath(), displayImagePath()}) {
        if (!path.isEmpty() && !holdsImage(path))
            return tr("The package is damaged: \"%1\" does not hold \"%2\", which its "
                      "version.json names. Get the package again.")
                .arg(name, path);
    }
    if (m_imageCount == 0)
        return tr("The package is damaged: \"%1\" holds no firmware image. Get the package "
                  "again.")
            .arg(name);
    // Without it the platform's new version could not be checked after the restart.
    if (holdsImage(platformImagePath()) && getPlatformVersion() == 0)
        return tr("The package is damaged: the version.json of \"%1\" gives no platform "
                  "version. Get the package again.")
            .arg(name);
    return {};
}

std::uint32_t PackageUpdateService::getPlatformVersion() const
{
    return m_manifest ? m_manifest->getPlatformApplicationImage().getVersion() : 0;
}

bool PackageUpdateService::parseArchive()
{
    // Always reopened by name: a package rebuilt under the same name is
    // usually a new file, and a rewound old handle would still read the old one.
    m_archiveFile.close();
    m_tarball.reset();
    m_archiveData.clear();
    m_archiveSize = 0;
    m_archiveFile.setFileName(m_archivePath);

    bool readable = m_archiveFile.open(QIODevice::ReadOnly);
    if (readable) {
        m_archiveSize = m_archiveFile.size();
        m_archiveData = m_archiveFile.readAll();
        // A short read would be a cut archive that only looks complete.
        readable = m_archiveSize <= std::numeric_limits<int>::max()
            && m_archiveData.size() == m_archiveSize;
        if (!readable) {
            m_archiveData.clear();
            m_archiveSize = 0;
        }
    }
    m_tarball = QSharedPointer<Utilities::Tarball>::create(
        m_archiveData.constData(), m_archiveData.size());
    return readable;
}

void PackageUpdateService::parseSoftwareVersions()
{
    // A package without a manifest holds no images: nothing of the previous
    // package may survive, so the parser is always made anew.
    const Utilities::TarballFile* member = m_tarball->getFile(ManifestName);
    const QByteArray manifest = member ? QByteArray(member->data, member->size) : QByteArray();
    m_manifest = QSharedPointer<VersionParser>::create(manifest);
    connect(m_manifest.data(), &VersionParser::packageUpdateVersion, this,
        &PackageUpdateService::packageUpdateVersion);
    connect(m_manifest.data(), &VersionParser::packageUpdatePlatformVersion, this,
        &PackageUpdateService::packageUpdatePlatformVersion);
    m_manifest->parse();
}

QString PackageUpdateService::platformImagePath() const
{
    return m_manifest ? m_manifest->getPlatformApplicationImage().getPath() : QString();
}

QString PackageUpdateService::displayImagePath() const
{
    return m_manifest ? m_manifest->getDisplayApplicationImage().getPath() : QString();
}

bool PackageUpdateService::holdsImage(const QString& path) const
{
    return m_tarball && !path.isEmpty() && m_tarball->fileExists(path.toUtf8());
}

QByteArray PackageUpdateService::imageBytes(const QString& path) const
{
    const Utilities::TarballFile* member = m_tarball ? m_tarball->getFile(path.toUtf8()) : nullptr;
    return member ? QByteArray(member->data, member->size) : QByteArray();
}

void PackageUpdateService::start()
{
    if (m_state != Opened && m_state != Finished)
        return;
    m_progressShares.clear();

    const bool platform = holdsImage(platformImagePath());
    const bool display = holdsImage(displayImagePath());
    if (!platform && !display)
        return;
    if (!component() || !m_updateControlService) {
        emit packageUpdateErrorOccured(tr("The device is not connected: the update cannot start."));
        return;
    }
    // One update at a time: a second one would replace the image the device is taking.
    if (m_updateControlService->isTransferring()) {
        emit packageUpdateErrorOccured(tr("Another update is running on this device. Wait until "
                                          "it has ended, then start the package update."));
        return;
    }
    if (!checkImages())
        return;
    emit packageUpdateStarted();
    if (platform)
        startPlatformUpdate();
    else
        startDisplayUpdate();
}

bool PackageUpdateService::checkImages()
{
    // Checked up front: a bad display image found only after the platform
    // update would leave the device half updated, with its display in the
    // boot loader.
    for (const QString& path : {platformImagePath(), displayImagePath()}) {
        if (!holdsImage(path))
            continue;
        const UpdateControlService::Preparation preparation
            = UpdateControlService::prepareImage(imageBytes(path), UpdateControlService::Encrypted);
        if (preparation.verdict == UpdateControlService::Verdict::DigestError) {
            fail(tr("Security Error! Wrong Digest"));
            return false;
        }
        if (preparation.verdict == UpdateControlService::Verdict::Refused) {
            fail(preparation.reason);
            return false;
        }
    }
    return true;
}

void PackageUpdateService::startPlatformUpdate()
{
    m_state = UpdatingPlatform;
    m_transferStarted = false;
    m_currentTerminal = Terminal::Platform;
    m_component->jumpToBootloader(Terminal::Platform);
    if (!msleep(m_waits.platformBootloader) || m_state != UpdatingPlatform)
        return;
    // The announcement must not go to a port that is not there.
    if (!m_component->open()) {
        fail(tr("The device's port could not be opened after it was sent to its boot loader. "
                "Check the cable, unplug the device and plug it in again, then open the package "
                "and start the update once more."));
        return;
    }
    announce(platformImagePath(), Terminal::Platform);
}

void PackageUpdateService::announce(const QString& path, Terminal terminal)
{
    m_transferStarted = true;
    m_awaitingFirstBlock = true;
    m_announcing = true;
    m_updateControlService->start(imageBytes(path), UpdateControlService::Encrypted, terminal);
    m_announcing = false;
    if (m_transferStarted)
        m_stallTimer->start(m_waits.firstBlock);
}

void PackageUpdateService::startDisplayUpdate()
{
    m_state = UpdatingDisplay;
    m_transferStarted = false;
    m_currentTerminal = Terminal::Display;
    m_component->jumpToBootloader(Terminal::Display);
    if (!msleep(m_waits.settle) || m_state != UpdatingDisplay)
        return;
    announce(displayImagePath(), Terminal::Display);
}

void PackageUpdateService::handleProgressChanged(int percent)
{
    if (!isUpdating())
        return;
    if (m_transferStarted && !m_announcing) {
        m_awaitingFirstBlock = false;
        m_stallTimer->start(m_waits.transferStall);
    }
    if (m_imageCount == 0)
        return;
    m_progressShares[m_currentTerminal] = percent / int(m_imageCount);
    int total = 0;
    for (int share : qAsConst(m_progressShares))
        total += share;
    emit packageUpdateProgressChanged(total);
}

void PackageUpdateService::handleUpdateFinished()
{
    if (m_state == UpdatingPlatform && m_currentTerminal == Terminal::Platform) {
        // The device restarts now; the manager reports its port when it is back.
        m_stallTimer->stop();
        m_transferStarted = false;
        m_state = WaitingForRestart;
        m_restartTimer->start(m_waits.restart);
        return;
    }
    if (m_state != UpdatingDisplay || m_currentTerminal != Terminal::Display)
        return;
    m_stallTimer->stop();
    m_transferStarted = false;
    // The state is checked again after each wait: a repeated event inside it
    // (the last block asked for again, the port reopened twice) may have run
    // the step already.
    if (!msleep(m_waits.displayFinish) || m_state != UpdatingDisplay)
        return;
    m_component->fireModelAction(Model::Interfaces::ModelActionID::StopDisplayUpdate);
    finish();
}

void PackageUpdateService::handlePortOpened(const QString& portName)
{
    if (portName != m_portName || m_state != WaitingForRestart || m_settling || m_verifying)
        return;
    m_settling = true;
    const bool waited = msleep(m_waits.settle);
    if (!waited)
        return;
    m_settling = false;
    if (m_state != WaitingForRestart)
        return;
    // Gone again during the settle, or not to be opened: its next return is reported anew,
    // as long as the restart wait lasts.
    if (m_manager && !m_manager->getKnownPorts().contains(m_portName))
        return;
    if (!m_component->open())
        return;
    m_restartTimer->stop();
    m_verifying = true;
    m_versionTimer->start(m_waits.versionReadBack);
    m_component->getModelValue(Model::Interfaces::ModelValueID::PlatformVersion);
}

void PackageUpdateService::handleDevicePlatformVersion(unsigned int version)
{
    if (m_state != WaitingForRestart || !m_verifying)
        return;
    m_verifying = false;
    m_versionTimer->stop();
    // A device pulled between the last block and taking it restarts with its old firmware.
    if (version != getPlatformVersion()) {
        fail(tr("The platform did not take the update: after the restart it reports version %1, "
                "the package holds %2. Open the package and start the update once more.")
                 .arg(versionText(version), versionText(getPlatformVersion())));
        return;
    }
    if (holdsImage(displayImagePath())) {
        m_component->fireModelAction(Model::Interfaces::ModelActionID::StartDisplayUpdate);
        startDisplayUpdate();
    } else {
        finish();
    }
}

void PackageUpdateService::handlePortClosed(const QString& portName)
{
    if (portName != m_portName)
        return;
    if (m_state == WaitingForRestart && m_verifying) {
        // Gone before it answered: wait for its next return.
        m_verifying = false;
        m_versionTimer->stop();
        m_restartTimer->start(m_waits.restart);
        return;
    }
    // Only the restart after the platform's image closes the port by plan. A device
    // pulled during a transfer never asks for the rest; without this the update
    // would count as running for good and the tab could never be closed.
    if (!m_transferStarted)
        return;
    if (m_state == UpdatingPlatform || m_state == UpdatingDisplay)
        fail(tr("The device was disconnected during the update. Connect it again, open the "
                "package and start the update once more."));
}

void PackageUpdateService::handleTransferStalled()
{
    if (m_state != UpdatingPlatform && m_state != UpdatingDisplay)
        return;
    if (m_awaitingFirstBlock)
        fail(tr("The device did not start asking for the update's data. Check the connection, "
                "open the package and start the update once more."));
    else
        fail(tr("The device stopped asking for the update's data. Check the connection, open "
                "the package and start the update once more."));
}

void PackageUpdateService::handleRestartOverdue()
{
    if (m_state == WaitingForRestart && !m_verifying)
        fail(tr("The device did not come back after its restart. Check the cable, unplug the "
                "device and plug it in again, then open the package and start the update once "
                "more."));
}

void PackageUpdateService::handleVersionOverdue()
{
    if (m_state == WaitingForRestart && m_verifying)
        fail(tr("The device did not report its platform version after the restart, so the "
                "update cannot be confirmed. Open the package and start the update once more."));
}

void PackageUpdateService::handleDigestError()
{
    if (isUpdating())
        fail(tr("Security Error! Wrong Digest"));
}

void PackageUpdateService::handleUpdateRefused(const QString& reason)
{
    if (isUpdating())
        fail(reason);
}

void PackageUpdateService::stopTimers()
{
    m_stallTimer->stop();
    m_restartTimer->stop();
    m_versionTimer->stop();
    m_transferStarted = false;
    m_awaitingFirstBlock = false;
    m_settling = false;
    m_verifying = false;
}

void PackageUpdateService::finish()
{
    stopTimers();
    m_state = Finished;
    emit packageUpdateFinished();
}

void PackageUpdateService::fail(const QString& text)
{
    stopTimers();
    // A device that asks again after the failure gets nothing until a new start.
    if (m_updateControlService)
        m_updateControlService->cancel();
    m_state = Failed;
    emit packageUpdateErrorOccured(text);
}

bool PackageUpdateService::msleep(int milliseconds)
{
    // Serial data, the port poll and other signals keep being handled meanwhile.
    QPointer<PackageUpdateService> self(this);
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
    return !self.isNull();
}

} // namespace Service::R58
