#pragma once

#include "framework/eventsubject.h"
#include "model/modelipcvalueobserver.h"

namespace Model::Observer {

// The value registry wired into the link: it applies the value events of the
// terminal service to the values and passes every applied update on to its
// own observers.
class ModelValueObserver : public Interfaces::ModelIPCValueObserver,
                           public Utilities::Events::EventSubject
{
public:
    ModelValueObserver() = default;
    ~ModelValueObserver() override = default;

    // A Request makes the value send itself; an Update decodes the event's
    // bytes into the value and is then passed on. Events for identifiers
    // without a registered value are dropped and not passed on.
    void notify(
        Utilities::Events::EventClass eventClass, Utilities::Events::BaseEvent& event) override;
};

} // namespace Model::Observer
