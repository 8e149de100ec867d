#pragma once

#include "framework/eventobserver.h"
#include "framework/noncopyable.h"
#include "framework/staticvector.h"
#include "model/modelactionid.h"

#include <cstddef>

namespace Model::Interfaces {

class ModelAction;

// The registry of model actions: finds an action by its identifier. Same
// rules as the value registry: non-owning, fixed capacity, no allocation.
class ModelIPCActionObserver : public Utilities::Events::EventObserver,
                               private Utilities::NonCopyable
{
public:
    static constexpr std::size_t Capacity = static_cast<std::size_t>(ModelActionID::MaxCount);
    using ActionList = Utilities::Container::StaticVector<ModelAction*, Capacity>;

    ModelIPCActionObserver();
    ~ModelIPCActionObserver() override = default;

    // Appends the action unless it is registered already or the registry is full.
    void registerAction(ModelAction& action);
    // Removes the action if present; the others keep their order.
    void unregisterAction(ModelAction& action);
    // The first registered action with this identifier, or null.
    [[nodiscard]] ModelAction* getAction(ModelActionID id) const;

    [[nodiscard]] const ActionList& getActions() const { return m_actions; }

private:
    ActionList m_actions;
};

} // namespace Model::Interfaces
