#pragma once

#include <cstdint>
#include <optional>

namespace platform {

// The engine's integers are 16-bit signed, and an overflow is an error, not a wrap: every
// operation returns nothing when the exact result does not fit.
using i16 = std::int16_t;

constexpr std::optional<i16> toI16(long long v) {
    if (v < INT16_MIN || v > INT16_MAX) return std::nullopt;
    return static_cast<i16>(v);
}

constexpr std::optional<i16> add16(i16 a, i16 b) {
    return toI16(static_cast<long long>(a) + b);
}
constexpr std::optional<i16> sub16(i16 a, i16 b) {
    return toI16(static_cast<long long>(a) - b);
}
constexpr std::optional<i16> mul16(i16 a, i16 b) {
    return toI16(static_cast<long long>(a) * b);
}

}  // namespace platform
