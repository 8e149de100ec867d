#include "framework/abstractapplication.h"

namespace Component::Interfaces {

AbstractApplication::AbstractApplication(
    ServiceID id, const std::string& name, unsigned int version, const std::string& revision)
    : AbstractService(id), m_name(name), m_version(version), m_revision(revision)
{
}

void AbstractApplication::addService(AbstractService& service)
{
    m_services.appendUnique(&service);
    service.setParent(*this);
}

AbstractService* AbstractApplication::getService(ServiceID id) const
{
    for (AbstractService* service : m_services) {
        if (service->getID() == id)
            return service;
    }
    return nullptr;
}

void AbstractApplication::performStartup()
{
    for (AbstractService* service : m_services) {
        if (service)
            service->startup();
    }
}

void AbstractApplication::performShutdown()
{
    for (AbstractService* service : m_services) {
        if (service)
            service->shutdown();
    }
}

void AbstractApplication::performRun()
{
    for (AbstractService* service : m_services) {
        if (service)
            service->run();
    }
}

} // namespace Component::Interfaces
