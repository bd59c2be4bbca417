#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace lm {

// Rounds to the nearest integer; a half goes to the even neighbour
// (10.5 -> 10, 11.5 -> 12), as numbers typed by the operator are rounded.
double roundHalfEven(double value);

// A number as it appears inside texts: one leading blank where a minus sign
// would stand (" 640", "-3").
std::string formatSignedNumber(long long value);

// The number at the start of an answer: leading spaces skipped, an optional
// sign, digits and one decimal point; "12abc" gives 12, "abc" and " " give 0.
double leadingNumber(std::string_view text);

// 16-bit signed range used by most items and counters.
constexpr int kInt16Max = 32767;
constexpr int kInt16Min = -32768;

}  // namespace lm
