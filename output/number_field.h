// The number field of the transfer files: one 64-bit real in 12 characters.
//
// Finite values are written in scientific notation with one digit, a point,
// four digits, "e", the exponent's sign and exactly three exponent digits,
// right-aligned: " 1.0000e+001", "-2.5000e+000". Zero of either sign is
// " 0.0000e+000". The rounding to five significant digits takes two steps,
// both half away from zero: first to 17 significant digits, then to five.
// Non-finite values are "inf", "-inf" or "nan", right-aligned in the field.
#pragma once

#include <cstddef>

namespace quarvel {

inline constexpr std::size_t kNumberFieldWidth = 12;

// Writes exactly kNumberFieldWidth characters at `field` (no NUL).
void formatNumberField(double value, char* field);

}  // namespace quarvel
