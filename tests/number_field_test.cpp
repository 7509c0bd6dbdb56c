// Tests of the number field: fixed examples of the 12-character text, and a
// randomized cross-check against a slow exact-decimal model of the rounding.
#include "output/number_field.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <iterator>
#include <string>
#include <vector>

namespace {

std::string format(double value) {
  char field[quarvel::kNumberFieldWidth];
  quarvel::formatNumberField(value, field);
  return std::string(field, sizeof field);
}

std::string describe(double value) {
  char text[40];
  std::snprintf(text, sizeof text, "%.17g", value);
  return text;
}

struct Example {
  double value;
  const char* field;
};

TEST(NumberField, Examples) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  const Example examples[] = {
      {10.0, " 1.0000e+001"},
      {0.00125, " 1.2500e-003"},
      {1.0E+100, " 1.0000e+100"},
      {-2.5, "-2.5000e+000"},
      {148996.0, " 1.4900e+005"},
      {2.0, " 2.0000e+000"},
      {200.0, " 2.0000e+002"},
      {1.49e9, " 1.4900e+009"},
      {-100.0, "-1.0000e+002"},
      {595980.0, " 5.9598e+005"},
      {372490000.0, " 3.7249e+008"},
      {1e-300, " 1.0000e-300"},
      // Exact halves go away from zero, not to even.
      {10.0625, " 1.0063e+001"},
      {12344.5, " 1.2345e+004"},
      {372485000.0, " 3.7249e+008"},
      {-372485000.0, "-3.7249e+008"},
      {372484999.99999994, " 3.7248e+008"},  // one step below the half
      // Halves only in the 17-digit form: a single rounding would go down.
      {1.00125, " 1.0013e+000"},  // 1.00124999999999997...
      {1.00005, " 1.0001e+000"},
      {static_cast<double>(1.00005f), " 1.0000e+000"},  // 1.0000499486923218
      // Carries through all kept digits raise the exponent.
      {9.99995, " 1.0000e+001"},
      {9.99996, " 1.0000e+001"},
      {-9.99995, "-1.0000e+001"},
      {0.000999995, " 1.0000e-003"},
      {99999.5, " 1.0000e+005"},
      {std::nextafter(9.99995, 0.0), " 9.9999e+000"},  // 9.9999499999999983
      // The ends of the range, with three exponent digits throughout.
      {DBL_MAX, " 1.7977e+308"},
      {-DBL_MAX, "-1.7977e+308"},
      {DBL_MIN, " 2.2251e-308"},
      {std::nextafter(DBL_MIN, 0.0), " 2.2251e-308"},  // the largest subnormal
      {4.9406564584124654e-324, " 4.9407e-324"},
      {-4.9406564584124654e-324, "-4.9407e-324"},
      // Zeros and non-finite values.
      {0.0, " 0.0000e+000"},
      {-0.0, " 0.0000e+000"},
      {inf, "         inf"},
      {-inf, "        -inf"},
      {nan, "         nan"},
      {-nan, "         nan"},  // sign bit set
  };
  for (const Example& example : examples) {
    EXPECT_EQ(format(example.value), example.field) << describe(example.value);
  }
}

TEST(NumberField, WritesExactlyTheFieldWidth) {
  const double values[] = {1.0, -DBL_MAX, 0.0, -std::numeric_limits<double>::infinity(),
                           std::numeric_limits<double>::quiet_NaN()};
  for (double value : values) {
    char buffer[quarvel::kNumberFieldWidth + 2];
    std::memset(buffer, '#', sizeof buffer);
    quarvel::formatNumberField(value, buffer + 1);
    EXPECT_EQ(buffer[0], '#') << describe(value);
    EXPECT_EQ(buffer[quarvel::kNumberFieldWidth + 1], '#') << describe(value);
    EXPECT_EQ(std::string(buffer + 1, quarvel::kNumberFieldWidth).find('#'), std::string::npos) << describe(value);
  }
}

// ---------------------------------------------------------------------------
// The model: the exact decimal expansion of a double, from schoolbook
// arithmetic on a big integer, rounded half away from zero to 17 digits and
// then to five, written with snprintf.

// A natural number in base 10^9, least significant limb first.
using BigNatural = std::vector<std::uint32_t>;
constexpr std::uint32_t kLimbBase = 1'000'000'000;

void multiply(BigNatural& number, std::uint32_t factor) {
  std::uint64_t carry = 0;
  for (std::uint32_t& limb : number) {
    const std::uint64_t product = std::uint64_t{limb} * factor + carry;
    limb = static_cast<std::uint32_t>(product % kLimbBase);
    carry = product / kLimbBase;
  }
  while (carry != 0) {
    number.push_back(static_cast<std::uint32_t>(carry % kLimbBase));
    carry /= kLimbBase;
  }
}

void multiplyByPower(BigNatural& number, std::uint32_t base, int exponent, std::uint32_t chunk, int chunkExponent) {
  for (; exponent >= chunkExponent; exponent -= chunkExponent) multiply(number, chunk);  // chunk = base^chunkExponent
  for (; exponent > 0; --exponent) multiply(number, base);
}

std::string decimalDigits(const BigNatural& number) {
  std::string digits = std::to_string(number.back());
  for (auto limb = number.rbegin() + 1; limb != number.rend(); ++limb) {
    const std::string part = std::to_string(*limb);
    digits += std::string(9 - part.size(), '0') + part;
  }
  return digits;
}

// value = 0.digits * 10^pointPosition, with digits[0] != '0'.
struct Decimal {
  std::string digits;
  int pointPosition;
};

Decimal exactDecimal(double magnitude) {
  int binaryExponent = 0;
  const double fraction = std::frexp(magnitude, &binaryExponent);
  auto mantissa = static_cast<std::uint64_t>(std::ldexp(fraction, 53));  // exact: 53 bits at most
  int power = binaryExponent - 53;                                         // magnitude = mantissa * 2^power
  BigNatural number{static_cast<std::uint32_t>(mantissa % kLimbBase),
                    static_cast<std::uint32_t>(mantissa / kLimbBase % kLimbBase),
                    static_cast<std::uint32_t>(mantissa / kLimbBase / kLimbBase)};
  while (number.size() > 1 && number.back() == 0) number.pop_back();
  int scale = 0;  // magnitude = number * 10^scale
  if (power >= 0) {
    multiplyByPower(number, 2, power, 1u << 29, 29);
  } else {
    multiplyByPower(number, 5, -power, 1'220'703'125, 13);  // m / 2^k = m * 5^k / 10^k
    scale = power;
  }
  std::string digits = decimalDigits(number);
  const int length = static_cast<int>(digits.size());
  while (digits.back() == '0') digits.pop_back();
  return {digits, length + scale};
}

void roundHalfAway(Decimal& decimal, std::size_t count) {
  std::string& digits = decimal.digits;
  if (digits.size() <= count) {
    digits.resize(count, '0');
    return;
  }
  const bool up = digits[count] >= '5';
  digits.resize(count);
  if (!up) return;
  std::size_t i = count;
  while (i > 0 && digits[i - 1] == '9') digits[--i] = '0';
  if (i == 0) {  // 99..9 became 100..0
    digits.insert(digits.begin(), '1');
    digits.pop_back();
    ++decimal.pointPosition;
  } else {
    ++digits[i - 1];
  }
}

std::string modelField(double value) {
  if (value == 0) return " 0.0000e+000";
  Decimal decimal = exactDecimal(std::fabs(value));
  roundHalfAway(decimal, 17);
  roundHalfAway(decimal, 5);
  const int exponent = decimal.pointPosition - 1;
  char field[32];
  std::snprintf(field, sizeof field, "%c%c.%se%c%03d", value < 0 ? '-' : ' ', decimal.digits[0],
                decimal.digits.c_str() + 1, exponent < 0 ? '-' : '+', std::abs(exponent));
  return field;
}

TEST(NumberFieldModel, AgreesWithExactArithmetic) {  // guards the model used below
  const Example examples[] = {
      {1.00125, " 1.0013e+000"},   {12344.5, " 1.2345e+004"}, {9.99995, " 1.0000e+001"},
      {-0.00125, "-1.2500e-003"}, {DBL_MAX, " 1.7977e+308"}, {4.9406564584124654e-324, " 4.9407e-324"},
      {0x1p60, " 1.1529e+018"},  // 1152921504606846976
  };
  for (const Example& example : examples) {
    EXPECT_EQ(modelField(example.value), example.field) << describe(example.value);
  }
}

// ---------------------------------------------------------------------------
// Randomized cross-check.

class Sampler {
 public:
  explicit Sampler(std::uint64_t seed) : engine_(seed) {}

  std::uint64_t bits() { return engine_(); }
  std::uint64_t below(std::uint64_t bound) { return engine_() % bound; }  // slight bias is harmless here
  int between(int low, int high) { return low + static_cast<int>(below(static_cast<std::uint64_t>(high - low + 1))); }
  double withRandomSign(double value) { return (engine_() & 1) != 0 ? -value : value; }

  std::string digits(int count) {
    std::string text;
    for (int i = 0; i < count; ++i) text += static_cast<char>('0' + below(10));
    return text;
  }

  // Moves up to `reach` representable values either way.
  double nudge(double value, int reach) {
    const int steps = between(-reach, reach);
    for (int i = 0; i < std::abs(steps); ++i) value = std::nextafter(value, steps < 0 ? 0.0 : DBL_MAX);
    return value;
  }

 private:
  std::mt19937_64 engine_;  // fully specified, so every platform draws the same values
};

double parse(const std::string& text) { return std::strtod(text.c_str(), nullptr); }

// The kinds of value are drawn in turn; non-finite draws (overflows near
// DBL_MAX, NaN bit patterns) are drawn again.
double anyBitPattern(Sampler& sampler) {
  const std::uint64_t bits = sampler.bits();
  double value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

double nearPowerOfTen(Sampler& sampler) {
  const int exponent = sampler.between(-323, 308);
  std::string text;
  switch (sampler.below(3)) {
    case 0: text = "1"; break;
    case 1: text = "9.9999" + sampler.digits(sampler.between(0, 14)); break;
    default: text = "1.0000" + sampler.digits(sampler.between(0, 14)); break;
  }
  return sampler.withRandomSign(sampler.nudge(parse(text + "e" + std::to_string(exponent)), 3));
}

// d.dddd5 followed by zeros or nines, or d.dddd4999999999... which only the
// 17-digit step can carry up to the half.
double atFiveDigitBoundary(Sampler& sampler) {
  const std::string kept = std::to_string(10'000 + sampler.below(90'000));
  std::string next;
  switch (sampler.below(3)) {
    case 0: next = "5" + std::string(sampler.below(13), '0'); break;
    case 1: next = "5" + std::string(sampler.below(13), '9'); break;
    default: next = "4" + std::string(10 + sampler.below(4), '9') + sampler.digits(sampler.between(0, 3)); break;
  }
  const std::string text = kept.substr(0, 1) + "." + kept.substr(1) + next + "e" +
                           std::to_string(sampler.between(-323, 308));
  return sampler.withRandomSign(sampler.nudge(parse(text), 2));
}

double atSeventeenDigitBoundary(Sampler& sampler) {
  const std::string kept = std::to_string(1 + sampler.below(9)) + sampler.digits(16);
  const std::string text = kept.substr(0, 1) + "." + kept.substr(1) + "5e" + std::to_string(sampler.between(-320, 307));
  return sampler.withRandomSign(sampler.nudge(parse(text), 1));
}

// Doubles m * 2^-k, m odd, whose exact expansion m * 5^k has 18 digits ending
// in 5: ties at the 17th digit, e.g. m / 8 in [1e14, 1e15).
double exactEighteenDigitTie(Sampler& sampler) {
  const int k = sampler.between(2, 25);  // k = 1 needs m >= 2e16 > 2^53
  std::uint64_t five = 1;
  for (int i = 0; i < k; ++i) five *= 5;
  const std::uint64_t low = (100'000'000'000'000'000ULL + five - 1) / five;
  const std::uint64_t high = std::min<std::uint64_t>(999'999'999'999'999'999ULL / five,  // and m below 2^53
                                                     (std::uint64_t{1} << 53) - 1);
  std::uint64_t m = (low + sampler.below(high - low + 1)) | 1;
  if (m > high) m -= 2;
  return sampler.withRandomSign(std::ldexp(static_cast<double>(m), -k));
}

double subnormal(Sampler& sampler) {
  const std::uint64_t mantissa = (sampler.bits() & ((std::uint64_t{1} << 52) - 1)) >> sampler.below(52);
  double value;
  std::memcpy(&value, &mantissa, sizeof value);
  return sampler.withRandomSign(value == 0 ? DBL_TRUE_MIN : value);
}

int sampleCount() {  // QUARVEL_NUMBER_FIELD_SAMPLES overrides, e.g. for slow instrumented builds
  if (const char* text = std::getenv("QUARVEL_NUMBER_FIELD_SAMPLES")) return std::atoi(text);
  return 300'000;
}

TEST(NumberField, AgreesWithExactModel) {
  using Generator = double (*)(Sampler&);
  const Generator generators[] = {anyBitPattern,           nearPowerOfTen,        atFiveDigitBoundary,
                                  atSeventeenDigitBoundary, exactEighteenDigitTie, subnormal};
  Sampler sampler(0x5eed'2024'0bad'cafeULL);
  const int count = sampleCount();
  int failures = 0;
  for (int i = 0; i < count && failures < 20; ++i) {  // stop the report after 20 mismatches
    const Generator generate = generators[static_cast<std::size_t>(i) % std::size(generators)];
    double value = generate(sampler);
    while (!std::isfinite(value)) value = generate(sampler);
    const std::string expected = modelField(value);
    const std::string actual = format(value);
    if (actual != expected) {
      ++failures;
      ADD_FAILURE() << describe(value) << ": got \"" << actual << "\", expected \"" << expected << "\"";
    }
  }
}

}  // namespace
