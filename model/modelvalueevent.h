#pragma once

#include "framework/baseevent.h"
#include "model/modelvalueid.h"

#include <cstdint>

namespace Model::Interfaces {

// Carries a model value between the link and the model. The data is borrowed
// from the frame that carried it and is valid only while the event is delivered.
class ModelValueEvent : public Utilities::Events::BaseEvent
{
public:
    enum Type : std::uint32_t {
        Request = 1, // ask the model to send its value to the device
        Update = 2, // a value the device reported
    };

    ModelValueEvent(Type eventType, ModelValueID valueId, const std::uint8_t* valueData,
        std::uint64_t valueLength)
        : BaseEvent(eventType), id(valueId), data(valueData), length(valueLength)
    {
    }

    ModelValueID id;
    const std::uint8_t* data;
    std::uint64_t length;
};

} // namespace Model::Interfaces
