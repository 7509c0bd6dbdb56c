// The number field of the transfer files: one double as 12 characters of
// scientific notation, rounded in two half-away steps (to 17 significant
// digits, then to five). See number_field.h.
#include "output/number_field.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
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

// Powers of ten, correctly rounded, from 1e-300 to 1e300; filled at start-up.
constexpr int kPowerRange = 300;
struct PowersOfTen {
  double of[2 * kPowerRange + 1];
  PowersOfTen() {
    char text[16];
    for (int k = -kPowerRange; k <= kPowerRange; ++k) {
      std::snprintf(text, sizeof text, "1e%d", k);
      of[k + kPowerRange] = std::strtod(text, nullptr);
    }
  }
};
const PowersOfTen powersOfTen;

// The five digits and the exponent straight from a scaled double, for the
// common value that lies clearly away from a rounding boundary. The scaling
// (one or two roundings) is off by a few units in the 16th digit at most, and the rounding to 17
// digits moves the value by less than that, so the margin of a millionth of
// a unit in the fifth digit decides every case it accepts exactly as the
// two-step rounding does. Returns false for the rest.
bool fiveDigitsNearby(double magnitude, std::uint64_t& digits, int& exponent) {
  if (!(magnitude >= 1e-290 && magnitude <= 1e290)) return false;  // keep the scale in the table
  const double* powers = powersOfTen.of;
  std::uint64_t bits;
  std::memcpy(&bits, &magnitude, sizeof bits);
  int binary = static_cast<int>(bits >> 52) - 1023;  // a normal number here
  int decimal = (binary * 78913) >> 18;  // floor(binary * log10(2)): the exponent or one less
  double scaled = magnitude * powers[kPowerRange + 4 - decimal];
  bool over = scaled >= 100000.0;  // the estimate was one short: a tenth more, without a branch
  scaled *= over ? 0.1 : 1.0;
  decimal += over ? 1 : 0;
  if (scaled < 9999.5) return false;
  auto whole = static_cast<std::uint64_t>(scaled);  // positive: truncation is the floor
  double fraction = scaled - static_cast<double>(whole);
  if (fraction > 0.5 - 1e-6 && fraction < 0.5 + 1e-6) return false;  // too close to call
  digits = whole + (fraction > 0.5 ? 1 : 0);
  exponent = decimal;
  return true;
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

  std::uint64_t digits = 0;
  int exponent = 0;
  if (!fiveDigitsNearby(std::fabs(value), digits, exponent)) {
    const Digits17 rounded = roundTo17(std::fabs(value));
    digits = (rounded.digits + kTen12 / 2) / kTen12;  // half away: drop 12 digits
    exponent = rounded.exponent;
  }
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
