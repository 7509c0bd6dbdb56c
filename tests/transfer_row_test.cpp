// The transfer value and the layout of a transfer file row.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "output/transfer_files.h"

namespace quarvel::test {
namespace {

std::string row(double frequency, double stress, double acceleration) {
  char text[kTransferRowSize];
  formatTransferRow(frequency, transferValue(stress, acceleration), stress, acceleration, text);
  return std::string(text, kTransferRowSize);
}

TEST(TransferRow, LayoutAndTransferValues) {
  const struct {
    double frequency, stress, acceleration;
    const char* expected;
  } cases[] = {
      {10.0, 200.0, 2.0, "  1.0000e+001  1.4900e+009  2.0000e+002  2.0000e+000  \r\n"},
      {10.0, -100.0, 2.0, "  1.0000e+001  3.7249e+008 -1.0000e+002  2.0000e+000  \r\n"},
      {10.0, -4.0, -2.0, "  1.0000e+001  5.9598e+005 -4.0000e+000 -2.0000e+000  \r\n"},
      {10.0, 0.0, 2.0, "  1.0000e+001  0.0000e+000  0.0000e+000  2.0000e+000  \r\n"},
      {10.0, -0.0, 2.0, "  1.0000e+001  0.0000e+000  0.0000e+000  2.0000e+000  \r\n"},
      {10.0, 5.0, 0.0, "  1.0000e+001          inf  5.0000e+000  0.0000e+000  \r\n"},
      {10.0, 0.0, 0.0, "  1.0000e+001          nan  0.0000e+000  0.0000e+000  \r\n"},
      {10.0625, 1.00005, 1.00125, "  1.0063e+001  1.4864e+005  1.0001e+000  1.0013e+000  \r\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.expected);
    EXPECT_EQ(row(c.frequency, c.stress, c.acceleration), c.expected);
  }
}

TEST(TransferRow, GravitySquaredIsExact) { EXPECT_EQ(kGravitySquared, 148996.0); }

}  // namespace
}  // namespace quarvel::test
