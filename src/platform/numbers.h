#pragma once

#include <QString>
#include <cstdint>
#include <optional>

namespace platform {

// Rounds to the nearest integer, halves to the even neighbour (12.5 -> 12, 37.5 -> 38).
double roundHalfEven(double v);

// The leading decimal number of a text, ignoring what follows it: "12 abc" -> 12,
// " -2.5e1x" -> -25, "abc" -> 0. Blanks before the number are skipped.
double leadingNumber(const QString& text);

// leadingNumber rounded halves to even, as a 16-bit integer; nothing when out of range.
std::optional<std::int16_t> leadingInt16(const QString& text);

// A decimal integer preceded by one space, or by its minus sign when negative (" 87", "-3").
QString signedSpaceNumber(long long v);

// The boolean conversion of a settings text: a number is true when not zero; the words
// True and False in any case; nothing otherwise.
std::optional<bool> textToBool(const QString& text);

}  // namespace platform
