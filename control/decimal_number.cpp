// Decimal text to double. See decimal_number.h.
//
// Most numbers in a report have few digits and a small exponent: their
// digits fit a double exactly, and so does the power of ten, so one
// multiplication or division gives the correctly rounded value. The rest
// go to std::from_chars.
#include "control/decimal_number.h"

#include <charconv>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace quarvel {

namespace {

constexpr double kExactPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                   1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
constexpr std::uint64_t kExactMantissa = std::uint64_t{1} << 53;

inline bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The fast path; false when the value needs the general conversion.
bool exactValue(const char* p, const char* end, double& value) {
  std::uint64_t mantissa = 0;
  int digits = 0;
  int scale = 0;  // power of ten of the last digit
  bool point = false;
  for (; p < end && (isDigit(*p) || *p == '.'); ++p) {
    if (*p == '.') {
      point = true;
      continue;
    }
    if (mantissa == 0 && *p == '0') {  // leading zeros cost nothing
      if (point) --scale;
      continue;
    }
    if (++digits > 15) return false;
    mantissa = mantissa * 10 + static_cast<std::uint64_t>(*p - '0');
    if (point) --scale;
  }
  if (p < end) {  // the exponent
    ++p;
    bool negative = *p == '-';
    if (*p == '+' || *p == '-') ++p;
    int exponent = 0;
    for (; p < end; ++p) {
      if (exponent > 1000) return false;
      exponent = exponent * 10 + (*p - '0');
    }
    scale += negative ? -exponent : exponent;
  }
  if (mantissa >= kExactMantissa) return false;
  auto m = static_cast<double>(mantissa);
  if (scale >= 0 && scale <= 22) value = m * kExactPowers[scale];
  else if (scale < 0 && scale >= -22) value = m / kExactPowers[-scale];
  else return mantissa == 0 ? (value = 0.0, true) : false;
  return true;
}

}  // namespace

double decimalValue(const char* begin, const char* end) {
  bool negative = begin < end && *begin == '-';
  if (begin < end && (*begin == '+' || *begin == '-')) ++begin;
  double value = 0.0;
  if (!exactValue(begin, end, value)) {
    auto result = std::from_chars(begin, end, value, std::chars_format::general);
    if (result.ec == std::errc::result_out_of_range) {  // strtod gives inf or the underflowed value
      std::string copy(begin, end);
      value = std::strtod(copy.c_str(), nullptr);
    }
  }
  return negative ? -value : value;
}

}  // namespace quarvel
