#include "app/application.h"

#include "config/config.h"
#include "config/settings.h"
#include "config/useraccount.h"
#include "link/serialport.h"
#include "link/serialportmanager.h"
#include "link/talolinkterminalservice.h"
#include "link/talolinkusbcomponent.h"
#include "model/modelactionobserver.h"
#include "model/modeldatabase.h"
#include "model/modelinformation.h"
#include "model/modelvalueobserver.h"
#include "update/packageupdateservice.h"
#include "update/updatecontrolservice.h"

namespace Application::R58 {

Application::Application(QSharedPointer<UserAccount> account, QSharedPointer<Config> config,
    QSharedPointer<SerialPortManager> manager, const QString& portName)
    : AbstractApplication(Component::Interfaces::ServiceID::MainApplication, "r58_vizorevavuv",
        Version, std::string()),
      m_serialPortManager(std::move(manager)),
      m_serialPort(m_serialPortManager ? m_serialPortManager->getPort(portName)
                                       : QSharedPointer<SerialPort>()),
      m_userAccount(std::move(account)),
      m_valueObserver(QSharedPointer<Model::Observer::ModelValueObserver>::create()),
      m_actionObserver(QSharedPointer<Model::Observer::ModelActionObserver>::create()),
      m_terminalService(QSharedPointer<Service::R58::TaloLinkTerminalService>::create(
          m_serialPort, m_valueObserver, nullptr)),
      m_updateControlService(QSharedPointer<Service::R58::UpdateControlService>::create(nullptr)),
      m_packageUpdateService(QSharedPointer<Service::R58::PackageUpdateService>::create(
          m_updateControlService, m_serialPortManager, portName, nullptr)),
      m_usbComponent(QSharedPointer<Component::R58::TaloLinkUSBComponent>::create(m_serialPort)),
      m_config(std::move(config)),
      m_settings(QSharedPointer<Settings>::create())
{
    m_terminalService->addComponent(*m_usbComponent);
    m_updateControlService->addComponent(*m_usbComponent);
    m_packageUpdateService->addComponent(*m_usbComponent);

    // Reported values flow from the link into the model, and applied events back.
    m_terminalService->registerObserver(*m_valueObserver);
    m_valueObserver->registerObserver(*m_terminalService);

    addService(*m_terminalService);
    addService(*m_updateControlService);
    addService(*m_packageUpdateService);
    addComponent(*m_usbComponent);

    // Last: its values register with the observers and find the component here.
    m_modelDatabase = QSharedPointer<Model::Database::ModelDatabase>::create(
        *this, *m_valueObserver, *m_actionObserver);

    // The updates need nothing but this object: the device's block requests go to the
    // transfer, and its platform version to the package update, which checks after the
    // restart whether the platform took the image. Both come from the receive thread and are
    // handled on the thread the services live in.
    Service::R58::TaloLinkTerminalService* terminal = m_terminalService.data();
    QObject::connect(terminal, &Service::R58::TaloLinkTerminalService::requestMemblock,
        m_updateControlService.data(), &Service::R58::UpdateControlService::sendMemoryBlock);
    const QWeakPointer<Model::Database::ModelDatabase> database = m_modelDatabase;
    Service::R58::PackageUpdateService* packager = m_packageUpdateService.data();
    QObject::connect(terminal, &Service::R58::TaloLinkTerminalService::platformVersionModelValue,
        packager, [database, packager] {
            if (const auto model = database.toStrongRef())
                packager->handleDevicePlatformVersion(
                    model->getInformation().getPlatformVersionValue().getValue());
        });
}

Application::~Application()
{
    // Once this returns no receive step runs any more, so the model can go
    // before the thread is joined.
    shutdown();
    m_valueObserver->unregisterObserver(*m_terminalService);
    m_terminalService->unregisterObserver(*m_valueObserver);
}

bool Application::isConnected() const
{
    return m_usbComponent && m_usbComponent->getSerialPort()
        && m_usbComponent->getSerialPort()->isOpen();
}

void Application::fireAction(Model::Interfaces::ModelActionID id)
{
    if (m_usbComponent)
        m_usbComponent->fireModelAction(id);
}

bool Application::isMotorRunning() const
{
    using Mode = Model::Interfaces::ModelTypes::Operation::Mode;
    if (!m_terminalService->hasReported(Model::Interfaces::ModelValueID::OperatingMode))
        return false;
    const Mode mode = m_modelDatabase->getOperation().getOperatingModeValue().getValue();
    return mode == Mode::Forward || mode == Mode::Backward;
}

int Application::performInitialize()
{
    startup();
    m_modelDatabase->getInformation().getPlatformVersionValue().setValue(getVersion());
    m_modelDatabase->init();
    return 0;
}

} // namespace Application::R58
