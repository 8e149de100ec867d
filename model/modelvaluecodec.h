#pragma once

#include "link/talolinkcomponent.h"
#include "model/modelvalueid.h"

#include <cstdint>
#include <cstring>
#include <type_traits>

// How each value type travels on the wire: little-endian, one byte for the
// 8-bit types, bool and char, two for unsigned short, four for the 32-bit
// types and IEEE 754 single precision for float.
namespace Model::Interfaces::ModelValueCodec {

// The number behind a value: the underlying type of an enumeration, else the type itself.
template <typename T, bool = std::is_enum_v<T>> struct Raw
{
    using type = T;
};
template <typename T> struct Raw<T, true>
{
    using type = std::underlying_type_t<T>;
};
template <typename T> using RawType = typename Raw<T>::type;

inline std::uint32_t readLittleEndian(const std::uint8_t* data, unsigned count)
{
    std::uint32_t word = 0;
    for (unsigned i = 0; i < count; ++i)
        word |= std::uint32_t(data[i]) << (8 * i);
    return word;
}

// Decodes the bytes a device report carried. The length chooses how many
// bytes are read (1, 2 or 4); any other length gives 0 (false). Nothing is
// ever read beyond `length`: a float needs all four of its bytes and
// decodes as 0 from fewer, rather than from whatever follows them.
template <typename T> T decode(const std::uint8_t* data, std::uint64_t length)
{
    using R = RawType<T>;
    if (!data)
        length = 0;
    if constexpr (std::is_same_v<R, float>) {
        if (length < 4)
            return 0.0f;
        const std::uint32_t bits = readLittleEndian(data, 4);
        float value = 0.0f;
        static_assert(sizeof value == sizeof bits, "IEEE 754 single precision expected");
        std::memcpy(&value, &bits, sizeof value);
        return value;
    } else {
        if (length != 1 && length != 2 && length != 4)
            return T(R(0));
        // 8-bit types take the first byte whatever the length; unsigned short
        // takes the low 16 bits of a 32-bit word.
        const unsigned width = static_cast<unsigned>(length) < sizeof(R)
            ? static_cast<unsigned>(length)
            : static_cast<unsigned>(sizeof(R));
        if constexpr (std::is_same_v<R, bool>)
            return readLittleEndian(data, static_cast<unsigned>(length)) != 0;
        else
            return static_cast<T>(static_cast<R>(readLittleEndian(data, width)));
    }
}

// Number of bytes a value of type T occupies in a SetModelValue frame.
template <typename T> constexpr unsigned long wireSize()
{
    return sizeof(RawType<T>);
}

// Asks the link for a SetModelValue frame carrying `value`.
template <typename T>
void send(Component::R58::TaloLinkComponent& link, ModelValueID id, const T& value)
{
    using R = RawType<T>;
    static_assert(sizeof(R) == 1 || sizeof(R) == 2 || sizeof(R) == 4, "unsupported value type");
    if constexpr (std::is_same_v<R, float>) {
        link.setModelValue(id, value);
    } else {
        // Through the unsigned type of the same width, so that char and bool
        // keep their bit pattern and the link sends the low bytes unchanged.
        using U = std::make_unsigned_t<std::conditional_t<std::is_same_v<R, bool>, unsigned char,
            std::conditional_t<std::is_same_v<R, char>, signed char, R>>>;
        const auto bits = static_cast<std::uint32_t>(static_cast<U>(static_cast<R>(value)));
        link.setModelValue(id, static_cast<int>(bits), wireSize<T>());
    }
}

} // namespace Model::Interfaces::ModelValueCodec
