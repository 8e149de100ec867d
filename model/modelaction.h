#pragma once

#include "framework/noncopyable.h"
#include "model/modelactionid.h"

namespace Model::Interfaces {

// A model action of the device: something it does when told, such as
// resetting an error or running the motor.
class ModelAction : private Utilities::NonCopyable
{
public:
    explicit ModelAction(ModelActionID id) : m_id(id) { }
    virtual ~ModelAction() = default;

    virtual void init() = 0;
    // Runs the action on the host side.
    virtual void execute() = 0;
    // Tells the device to run the action.
    virtual void fire() = 0;

    [[nodiscard]] ModelActionID getID() const { return m_id; }

private:
    ModelActionID m_id;
};

} // namespace Model::Interfaces
