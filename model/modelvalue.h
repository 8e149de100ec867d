#pragma once

#include "model/modelvalueintf.h"

namespace Model::Interfaces {

// A model value of type T with the default that reset() restores.
template <typename T> class ModelValue : public ModelValueIntf
{
public:
    ModelValue(ModelValueID id, const T& defaultValue)
        : ModelValueIntf(id), m_default(defaultValue), m_value(defaultValue)
    {
    }

    // Stores the value only: nothing is sent and nobody is told.
    virtual void setValue(const T& value) { m_value = value; }
    [[nodiscard]] virtual T getValue() const { return m_value; }
    virtual void reset() { m_value = m_default; }

    [[nodiscard]] T getDefaultValue() const { return m_default; }

private:
    T m_default;
    T m_value;
};

} // namespace Model::Interfaces
