// The number field of the transfer files: one double as 12 characters of
// scientific notation, rounded in two half-away steps (to 17 significant
// digits, then to five). See number_field.h.
#include "output/number_field.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace quarvel {

namespace {

constexpr std::uint64_t kTen12 = 1'000'000'000'000ULL;  // the 12 of 17 digits dropped for five

// The magnitude rounded to 17 significant digits:
// value = digits * 10^(exponent - 16), digits in [10^16, 10^17).
struct Digits17 {
  std::uint64_t digits;
  int exponent;
};

// std::to_chars rounds to 17 digits correctly, but half to even. That only
// differs from half away for an exact tie (18 significant digits ending in 5)
// whose 17th digit is even: it gives D where half away gives D + 1. Those two
// round to different five digits only when D ends in 499999999999, an odd
// number, so the five digits made from either are the same and the exact tie
// needs no handling of its own.
Digits17 roundTo17(double magnitude) {
  char text[32];  // "d." + 16 digits + "e-324" = 23 characters
  char* end = std::to_chars(text, text + sizeof text - 1, magnitude, std::chars_format::scientific, 16).ptr;
  *end = '\0';  // stops the exponent scan below; the buffer always suffices

  // "d.dddddddddddddddde[+-]xx[x]"
  auto digits = static_cast<std::uint64_t>(text[0] - '0');
  for (int i = 2; i < 18; ++i) digits = digits * 10 + static_cast<std::uint64_t>(text[i] - '0');
  int exponent = 0;
  for (const char* p = text + 20; *p != '\0'; ++p) exponent = exponent * 10 + (*p - '0');
  return {digits, text[19] == '-' ? -exponent : exponent};
}

void writeRightAligned(const char* text, std::size_t length, char* field) {
  std::memset(field, ' ', kNumberFieldWidth - length);
  std::memcpy(field + (kNumberFieldWidth - length), text, length);
}

}  // namespace

void formatNumberField(double value, char* field) {
  if (std::isnan(value)) {  // the sign bit of a NaN is not shown
    writeRightAligned("nan", 3, field);
    return;
  }
  if (std::isinf(value)) {
    if (value < 0) {
      writeRightAligned("-inf", 4, field);
    } else {
      writeRightAligned("inf", 3, field);
    }
    return;
  }
  if (value == 0) {  // both zeros, without a minus sign
    writeRightAligned("0.0000e+000", 11, field);
    return;
  }

  const Digits17 rounded = roundTo17(std::fabs(value));
  std::uint64_t digits = (rounded.digits + kTen12 / 2) / kTen12;  // half away: drop 12 digits
  int exponent = rounded.exponent;
  if (digits == 100'000) {  // 9.99995 and the like carry into a new digit
    digits = 10'000;
    ++exponent;
  }

  auto kept = static_cast<unsigned>(digits);
  field[0] = value < 0 ? '-' : ' ';
  for (std::size_t i = 6; i >= 3; --i) {  // d.dddd, from the right
    field[i] = static_cast<char>('0' + kept % 10);
    kept /= 10;
  }
  field[2] = '.';
  field[1] = static_cast<char>('0' + kept);
  field[7] = 'e';
  field[8] = exponent < 0 ? '-' : '+';
  const auto power = static_cast<unsigned>(exponent < 0 ? -exponent : exponent);  // at most 324
  field[9] = static_cast<char>('0' + power / 100);
  field[10] = static_cast<char>('0' + power / 10 % 10);
  field[11] = static_cast<char>('0' + power % 10);
}

}  // namespace quarvel
