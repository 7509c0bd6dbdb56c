// Conversion of decimal text to a double, correctly rounded, shared by the
// report stream's formatted reads and the token conversions.
#pragma once

namespace quarvel {

// [begin, end) holds an optional sign, digits with an optional point and an
// optional exponent "e" or "E" with optional sign and digits, already
// checked. Overflow gives an infinity, underflow the nearest value or zero.
double decimalValue(const char* begin, const char* end);

}  // namespace quarvel
