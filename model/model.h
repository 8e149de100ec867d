#pragma once

#include "framework/noncopyable.h"

#include <cstdint>

namespace Component::Interfaces {
class AbstractApplication;
}

namespace Model::Interfaces {

// Base of the groups in which the device keeps its model values and actions.
class Model : private Utilities::NonCopyable
{
public:
    using Application = Component::Interfaces::AbstractApplication;

    Model(Application& application, std::uint32_t groupNumber)
        : m_application(application), m_groupNumber(groupNumber)
    {
    }
    virtual ~Model() = default;

    // Asks the device for the group's values.
    virtual void init() = 0;
    // Returns the group's values to their defaults; nothing is sent.
    virtual void reset() = 0;

    [[nodiscard]] Application& getApplication() const { return m_application; }
    [[nodiscard]] std::uint32_t getGroupNumber() const { return m_groupNumber; }

private:
    Application& m_application;
    std::uint32_t m_groupNumber;
};

} // namespace Model::Interfaces
