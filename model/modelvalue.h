#pragma once

#include "model/modelvalueintf.h"

#include <atomic>

namespace Model::Interfaces {

// A model value of type T with the default that reset() restores.
//
// The link's receive thread writes the value while the screens read it (and
// write it) on the GUI thread, so the value is atomic. Release and acquire
// make a value's other writes visible before it; on common hardware both are
// plain loads and stores.
template <typename T> class ModelValue : public ModelValueIntf
{
    static_assert(std::atomic<T>::is_always_lock_free, "a model value must be a plain scalar");

public:
    ModelValue(ModelValueID id, const T& defaultValue)
        : ModelValueIntf(id), m_default(defaultValue), m_value(defaultValue)
    {
    }

    // Stores the value only: nothing is sent and nobody is told.
    virtual void setValue(const T& value) { m_value.store(value, std::memory_order_release); }
    [[nodiscard]] virtual T getValue() const { return m_value.load(std::memory_order_acquire); }
    virtual void reset() { setValue(m_default); }

    [[nodiscard]] T getDefaultValue() const { return m_default; }

private:
    const T m_default;
    std::atomic<T> m_value;
};

} // namespace Model::Interfaces
