// Decimal text to double. See decimal_number.h.
//
// Most numbers in a report have few digits and a small exponent: their
// digits fit a double exactly, and so does the power of ten, so one
// multiplication or division gives the correctly rounded value. The others
// are written out in a plain form and go to std::from_chars.
#include "control/decimal_number.h"

#include <charconv>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace quarvel {

namespace {

constexpr double kExactPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                   1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
constexpr int kExactDigits = 15;  // below 2^53 whatever they are

inline bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The general conversion of a checked number: its digits and exponent are
// copied out ("D" becomes "e", "+" signs dropped) for std::from_chars.
double generalValue(const char* begin, const char* digitsEnd, const char* exponent, const char* end) {
  std::string text(begin, digitsEnd);
  if (exponent != nullptr) {
    text += 'e';
    const char* p = exponent + 1;
    if (*p == '+') ++p;
    text.append(p, end);
  }
  double value = 0.0;
  auto result = std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::general);
  if (result.ec == std::errc::result_out_of_range) value = std::strtod(text.c_str(), nullptr);  // inf, or the underflowed value
  return value;
}

}  // namespace

const char* decimalPrefix(const char* begin, const char* end, bool dExponent, double& value) {
  const char* p = begin;
  bool negative = p < end && *p == '-';
  if (p < end && (*p == '+' || *p == '-')) ++p;
  const char* digitsBegin = p;

  std::uint64_t mantissa = 0;
  int significant = 0;  // digits in the mantissa, leading zeros aside
  int scale = 0;        // power of ten of the mantissa's last digit
  int digits = 0;
  bool exact = true;
  for (; p < end && isDigit(*p); ++p, ++digits) {
    if (mantissa == 0 && *p == '0') continue;
    if (++significant > kExactDigits) exact = false, ++scale;
    else mantissa = mantissa * 10 + static_cast<std::uint64_t>(*p - '0');
  }
  if (p < end && *p == '.') {
    for (++p; p < end && isDigit(*p); ++p, ++digits) {
      if (mantissa == 0 && *p == '0') {
        --scale;
        continue;
      }
      if (++significant > kExactDigits) exact = false;
      else mantissa = mantissa * 10 + static_cast<std::uint64_t>(*p - '0'), --scale;
    }
  }
  if (digits == 0) return begin;
  const char* digitsEnd = p;

  const char* exponentMark = nullptr;
  if (p < end && (*p == 'e' || *p == 'E' || (dExponent && (*p == 'd' || *p == 'D')))) {
    const char* q = p + 1;
    bool negativeExponent = q < end && *q == '-';
    if (q < end && (*q == '+' || *q == '-')) ++q;
    if (q < end && isDigit(*q)) {  // an exponent counts only with its digits
      exponentMark = p;
      int exponent = 0;
      for (; q < end && isDigit(*q); ++q)
        if (exponent < 100000) exponent = exponent * 10 + (*q - '0');
      scale += negativeExponent ? -exponent : exponent;
      p = q;
    }
  }

  double magnitude = 0.0;
  if (mantissa == 0) {
    magnitude = 0.0;
  } else if (exact && scale >= 0 && scale <= 22) {
    magnitude = static_cast<double>(mantissa) * kExactPowers[scale];
  } else if (exact && scale < 0 && scale >= -22) {
    magnitude = static_cast<double>(mantissa) / kExactPowers[-scale];
  } else {
    magnitude = generalValue(digitsBegin, digitsEnd, exponentMark, p);
  }
  value = negative ? -magnitude : magnitude;
  return p;
}

}  // namespace quarvel
