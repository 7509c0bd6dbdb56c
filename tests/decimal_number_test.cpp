// Decimal text to double: the exact fast path against the C library.
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <string>

#include "control/decimal_number.h"

namespace quarvel::test {
namespace {

double viaLibrary(const std::string& text) { return std::strtod(text.c_str(), nullptr); }
double viaUs(const std::string& text) { return decimalValue(text.data(), text.data() + text.size()); }

TEST(DecimalNumber, AgreesWithTheLibraryOnSolverAndOddShapes) {
  const char* fixed[] = {"1.234567E-03", "-9.999999E+22", "9007199254740993", "0.1", "123456789012345.6",
                         "1e23",         "4.9406564584124654e-324", "1e-400", "1e400", "-0.0e5",
                         "0000000000000000000012.5", "12345678901234567890e-10", ".000001", "5."};
  for (const char* text : fixed) EXPECT_EQ(viaUs(text), viaLibrary(text)) << text;

  std::mt19937_64 random(42);
  for (int i = 0; i < 200000; ++i) {
    std::string text;
    if (random() % 2) text += '-';
    int digits = 1 + static_cast<int>(random() % 20);
    int point = static_cast<int>(random() % static_cast<std::uint64_t>(digits + 1));
    for (int d = 0; d < digits; ++d) {
      if (d == point) text += '.';
      text += static_cast<char>('0' + random() % 10);
    }
    if (random() % 3) text += "E" + std::to_string(static_cast<int>(random() % 80) - 40);
    ASSERT_EQ(viaUs(text), viaLibrary(text)) << text;
  }
}

}  // namespace
}  // namespace quarvel::test
