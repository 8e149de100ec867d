#pragma once

#include "model/modelipcvalue.h"
#include "model/modeltypes.h"
#include "model/modelvalueformat.h"

#include <atomic>
#include <cstdint>
#include <type_traits>

namespace Model::Interfaces {

// A model value the screens show and step: it has a text, a range and the
// cached neighbours the screens offer as the values one step away.
//
// The generic rules: numbers in decimal (32-bit ones read as signed), bool as
// "Enable"/"Disable", char as the character, enumerations by their own texts,
// and floats with one decimal, cut, stepping by 0.1. Whole-number types step
// by one and wrap at the ends of the range. Values with other rules override
// toString(const T&), previous() and next().
//
// The maximum and the neighbours are atomic like the value: the receive thread
// refreshes the neighbours of a reported value while a screen narrows the range
// or reads them on the GUI thread. Each is correct on its own; a neighbour may
// lag one refresh behind a range changed at that moment, and the screen that
// changes a range refreshes the neighbours itself right after.
template <typename T> class ModelDisplayValue : public ModelIPCValue<T>
{
public:
    using typename ModelIPCValue<T>::Application;
    using typename ModelIPCValue<T>::Registry;

    ModelDisplayValue(ModelValueID id, const T& defaultValue, const T& minimum, const T& maximum,
        Application& application, Registry& registry)
        : ModelIPCValue<T>(id, defaultValue, application, registry),
          m_minimum(minimum),
          m_maximum(maximum),
          m_previous(defaultValue),
          m_next(defaultValue)
    {
    }

    // Asks the device for the value; the answer arrives later as an update.
    void init() override
    {
        this->request();
        refreshNeighbours();
    }

    void receive(const std::uint8_t* data, std::uint64_t length) override
    {
        ModelIPCValue<T>::receive(data, length);
        refreshNeighbours();
    }

    void reset() override
    {
        ModelIPCValue<T>::reset();
        refreshNeighbours();
    }

    [[nodiscard]] QString toString() const override { return toString(this->getValue()); }

    [[nodiscard]] virtual QString toString(const T& value) const
    {
        using R = ModelValueCodec::RawType<T>;
        if constexpr (std::is_enum_v<T>)
            return ModelTypes::toString(value);
        else if constexpr (std::is_same_v<R, bool>)
            return value ? QStringLiteral("Enable") : QStringLiteral("Disable");
        else if constexpr (std::is_same_v<R, char>)
            return QString(QChar::fromLatin1(value));
        else if constexpr (std::is_same_v<R, float>)
            return ModelValueFormat::cutDecimals(value, 1);
        else if constexpr (sizeof(R) == 4)
            return QString::number(static_cast<std::int32_t>(value));
        else
            return QString::number(static_cast<unsigned>(value));
    }

    // The neighbour one step one way: down for whole numbers, up for floats.
    [[nodiscard]] virtual T previous(const T& value) const
    {
        if constexpr (std::is_same_v<T, float>)
            return ModelValueFormat::stepUp(value, 10.0f, getMinimum(), getMaximum());
        else
            return ordered(value) > ordered(getMinimum()) ? fromRaw(raw(value) - 1) : getMaximum();
    }

    // The neighbour one step the other way: up for whole numbers, down for floats.
    [[nodiscard]] virtual T next(const T& value) const
    {
        if constexpr (std::is_same_v<T, float>)
            return ModelValueFormat::stepDown(value, 10.0f, getMinimum(), getMaximum());
        else
            return ordered(value) < ordered(getMaximum()) ? fromRaw(raw(value) + 1) : getMinimum();
    }

    [[nodiscard]] T getMinimum() const { return m_minimum; }
    [[nodiscard]] T getMaximum() const { return m_maximum.load(std::memory_order_acquire); }
    // Screens narrow the range to what the device allows; refreshNeighbours() follows.
    void setMaximum(const T& maximum) { m_maximum.store(maximum, std::memory_order_release); }

    [[nodiscard]] T getPrevious() const { return m_previous.load(std::memory_order_acquire); }
    [[nodiscard]] T getNext() const { return m_next.load(std::memory_order_acquire); }

    void refreshNeighbours()
    {
        const T value = this->getValue();
        m_previous.store(previous(value), std::memory_order_release);
        m_next.store(next(value), std::memory_order_release);
    }

private:
    using Raw = ModelValueCodec::RawType<T>;

    // Whole-number arithmetic happens in 64 bits, where v - 1 and v + 1
    // cannot overflow; the comparisons guarantee the result fits in T.
    static std::int64_t raw(const T& value)
    {
        return static_cast<std::int64_t>(static_cast<Raw>(value));
    }
    static T fromRaw(std::int64_t value) { return static_cast<T>(static_cast<Raw>(value)); }
    // char compares as a signed 8-bit number whatever the platform's char is.
    static std::int64_t ordered(const T& value)
    {
        if constexpr (std::is_same_v<Raw, char>)
            return static_cast<signed char>(value);
        else
            return raw(value);
    }

    const T m_minimum; // fixed at construction, so either thread may read it

    std::atomic<T> m_maximum;
    std::atomic<T> m_previous;
    std::atomic<T> m_next;
};

} // namespace Model::Interfaces
