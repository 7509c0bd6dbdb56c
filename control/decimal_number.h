// Conversion of decimal text to numbers, shared by the report stream's
// formatted reads, the token conversions and the answers: doubles correctly
// rounded, integers saturated at 32 bits.
#pragma once

#include <cstdint>
#include <limits>

namespace quarvel {

// A decimal integer's sign and magnitude as a 32-bit value, saturated at
// its limits: every integer the system reads (answers, identifiers, record
// fields) is one. Callers stop adding digits once the magnitude passes 2^32.
inline std::int32_t saturatedInt32(bool negative, std::int64_t magnitude) {
  const std::int64_t value = negative ? -magnitude : magnitude;
  if (value > std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
  if (value < std::numeric_limits<std::int32_t>::min()) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(value);
}

// Reads the longest decimal number at the start of [begin, end): an optional
// sign, digits with an optional point (at least one digit), and an optional
// exponent: the letter e or E (and, with `dExponent`, d or D too), an
// optional sign and at least one digit. Returns the end of the number and
// sets value, or returns begin, with value untouched, when no number starts
// there. Overflow gives an infinity, underflow the nearest value or zero.
const char* decimalPrefix(const char* begin, const char* end, bool dExponent, double& value);

// The same for text that is known to hold just such a number.
inline double decimalValue(const char* begin, const char* end) {
  double value = 0.0;
  decimalPrefix(begin, end, false, value);
  return value;
}

}  // namespace quarvel
