#pragma once

#include "framework/eventobserver.h"
#include "framework/noncopyable.h"
#include "framework/staticvector.h"
#include "model/modelvalueid.h"

#include <cstddef>

namespace Model::Interfaces {

class ModelValueIntf;

// The registry of model values: finds a value by its identifier. It owns
// nothing; values join it when built and leave it when destroyed. The list
// is a fixed array, so registering and finding never allocate.
class ModelIPCValueObserver : public Utilities::Events::EventObserver,
                              private Utilities::NonCopyable
{
public:
    static constexpr std::size_t Capacity = static_cast<std::size_t>(ModelValueID::MaxCount);
    using ValueList = Utilities::Container::StaticVector<ModelValueIntf*, Capacity>;

    ModelIPCValueObserver();
    ~ModelIPCValueObserver() override = default;

    // Appends the value unless it is registered already or the registry is full.
    void registerValue(ModelValueIntf& value);
    // Removes the value if present; the others keep their order.
    void unregisterValue(ModelValueIntf& value);
    // The first registered value with this identifier, or null.
    [[nodiscard]] ModelValueIntf* getValue(ModelValueID id) const;

    [[nodiscard]] const ValueList& getValues() const { return m_values; }

private:
    ValueList m_values;
};

} // namespace Model::Interfaces
