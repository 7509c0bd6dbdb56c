// Conversion of decimal text to a double, correctly rounded, shared by the
// report stream's formatted reads and the token conversions.
#pragma once

namespace quarvel {

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
