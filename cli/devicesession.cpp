#include "cli/devicesession.h"

#include "app/application.h"
#include "config/settingsmapper.h"
#include "link/talolinkterminalservice.h"
#include "model/modeldatabase.h"
#include "model/modelvalueid.h"
#include "records/devicehistory.h"

namespace Cli {

using Model::Interfaces::ModelValueID;

DeviceSession::DeviceSession(QSharedPointer<Application::R58::UserAccount> account,
    QSharedPointer<Application::R58::Config> config,
    QSharedPointer<Application::R58::SerialPortManager> manager, const QString& portName)
    : m_portName(portName),
      m_device(std::make_unique<Application::R58::Application>(
          std::move(account), std::move(config), std::move(manager), portName))
{
    m_device->initialize();
}

DeviceSession::~DeviceSession()
{
    m_history.reset();
    m_device.reset();
}

bool DeviceSession::hasAnswered() const
{
    const auto& link = *m_device->getTerminalService();
    for (const ModelValueID id : {ModelValueID::SerialNumber, ModelValueID::ArticleNumber,
             ModelValueID::PlatformVersion, ModelValueID::OperatingMode}) {
        if (!link.hasReported(id))
            return false;
    }
    for (const auto key : Application::R58::SettingsMapper::keys()) {
        if (!Application::R58::SettingsMapper::isExtra(key)
            && !link.hasReported(Application::R58::SettingsMapper::valueId(key)))
            return false;
    }
    return true;
}

QString DeviceSession::serialNumber() const
{
    if (!m_device->getTerminalService()->hasReported(ModelValueID::SerialNumber))
        return {};
    return m_device->getModelDatabase()->getInformation().getSerialNumberValue().toString().trimmed();
}

Records::DeviceHistory& DeviceSession::history()
{
    if (!m_history) {
        m_history = std::make_unique<Records::DeviceHistory>(*m_device);
        m_history->setOrigin(Records::DeviceHistory::Origin::CommandLine);
    }
    return *m_history;
}

} // namespace Cli
