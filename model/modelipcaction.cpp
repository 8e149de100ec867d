#include "model/modelipcaction.h"

#include "model/modelipcactionobserver.h"
#include "model/modellink.h"

namespace Model::Interfaces {

using Component::Interfaces::ComponentID;

ModelIPCAction::ModelIPCAction(ModelActionID id, Application& application, Registry& registry)
    : ModelAction(id),
      m_application(application),
      m_registry(registry),
      m_secondaryLink(findLink(application, ComponentID::TaloLinkSecondary)),
      m_usbLink(findLink(application, ComponentID::TaloLinkUSB))
{
    m_registry.registerAction(*this);
}

ModelIPCAction::~ModelIPCAction()
{
    m_registry.unregisterAction(*this);
}

void ModelIPCAction::fire()
{
    for (Component::R58::TaloLinkComponent* link : {m_secondaryLink, m_usbLink}) {
        if (link)
            link->fireModelAction(getID());
    }
}

} // namespace Model::Interfaces
