#pragma once

#include "framework/eventsubject.h"
#include "model/modelipcactionobserver.h"

namespace Model::Observer {

// The action registry wired into the event framework: an Execute event runs
// the registered action of its identifier.
class ModelActionObserver : public Interfaces::ModelIPCActionObserver,
                            public Utilities::Events::EventSubject
{
public:
    ModelActionObserver() = default;
    ~ModelActionObserver() override = default;

    void notify(
        Utilities::Events::EventClass eventClass, Utilities::Events::BaseEvent& event) override;
};

} // namespace Model::Observer
