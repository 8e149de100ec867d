#pragma once

#include "framework/noncopyable.h"
#include "model/modelvalueid.h"

#include <QString>

#include <cstdint>

namespace Model::Interfaces {

// What the registry and the link know of a model value, whatever its type.
class ModelValueIntf : private Utilities::NonCopyable
{
public:
    explicit ModelValueIntf(ModelValueID id) : m_id(id) { }
    virtual ~ModelValueIntf() = default;

    // Asks the device for the value.
    virtual void init() = 0;
    // Sends the current value to the device.
    virtual void transmit() = 0;
    // Takes the bytes of a device report as the new current value.
    virtual void receive(const std::uint8_t* data, std::uint64_t length) = 0;
    // Text of the current value for the screens.
    [[nodiscard]] virtual QString toString() const = 0;

    [[nodiscard]] ModelValueID getID() const { return m_id; }

private:
    ModelValueID m_id;
};

} // namespace Model::Interfaces
