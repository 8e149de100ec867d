#pragma once

#include <array>
#include <cstddef>

namespace Utilities::Container {

// Fixed-capacity vector with its elements stored in place: the framework's
// lists must never allocate, so appends beyond the capacity are dropped.
template <typename T, std::size_t N> class StaticVector
{
public:
    using value_type = T;
    using iterator = T*;
    using const_iterator = const T*;

    [[nodiscard]] static constexpr std::size_t capacity() { return N; }
    [[nodiscard]] std::size_t size() const { return m_end; }
    [[nodiscard]] bool empty() const { return m_end == 0; }
    [[nodiscard]] bool full() const { return m_end == N; }

    // Appends unless the vector is full; returns whether it appended.
    bool append(const T& value)
    {
        if (m_end == N)
            return false;
        m_items[m_end++] = value;
        return true;
    }

    // Appends only when the value is absent and there is room: the rule the
    // registries rely on to ignore duplicate registrations.
    bool appendUnique(const T& value)
    {
        if (contains(value))
            return false;
        return append(value);
    }

    [[nodiscard]] bool contains(const T& value) const { return indexOf(value) >= 0; }

    [[nodiscard]] long indexOf(const T& value) const
    {
        for (std::size_t i = 0; i < m_end; ++i) {
            if (m_items[i] == value)
                return static_cast<long>(i);
        }
        return -1;
    }

    // Removes the first occurrence and closes the gap, keeping the order.
    bool remove(const T& value)
    {
        const long index = indexOf(value);
        if (index < 0)
            return false;
        for (std::size_t i = static_cast<std::size_t>(index); i + 1 < m_end; ++i)
            m_items[i] = m_items[i + 1];
        --m_end;
        m_items[m_end] = T();
        return true;
    }

    void clear()
    {
        for (std::size_t i = 0; i < m_end; ++i)
            m_items[i] = T();
        m_end = 0;
    }

    T& operator[](std::size_t index) { return m_items[index]; }
    const T& operator[](std::size_t index) const { return m_items[index]; }

    iterator begin() { return m_items.data(); }
    iterator end() { return m_items.data() + m_end; }
    const_iterator begin() const { return m_items.data(); }
    const_iterator end() const { return m_items.data() + m_end; }

private:
    std::array<T, N> m_items {};
    std::size_t m_end = 0;
};

} // namespace Utilities::Container
