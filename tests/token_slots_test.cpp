// Token parses and the conversions of tokens to numbers.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "control/token_slots.h"
#include "tests/unit_fixture.h"

namespace quarvel::test {
namespace {

TEST(Tokens, SlotsPersistAcrossParses) {
  tokenSlots = TokenSlots{};
  parsePairLine(lineOf("1 2 3 4 5 6 7 8 9 10\n"));  // the tenth token is ignored
  EXPECT_STREQ(tokenSlots.token(9), "9");
  parseFrequencyLine(lineOf("\ta  b\r\n"));
  EXPECT_STREQ(tokenSlots.token(1), "a");
  EXPECT_STREQ(tokenSlots.token(2), "b");
  EXPECT_STREQ(tokenSlots.token(3), "3");  // left by the earlier parse
  parseFrequencyLine(lineOf("x1 x2 x3 x4 x5 x6 x7 x8 x9\n"));
  EXPECT_STREQ(tokenSlots.token(8), "x8");
  EXPECT_STREQ(tokenSlots.token(9), "9");  // the frequency shape stops at eight
  parseFrequencyLine(lineOf("   \r\n"));
  EXPECT_STREQ(tokenSlots.token(1), "x1");
}

TEST(Tokens, LongTokensAreCutToNineteenCharacters) {
  tokenSlots = TokenSlots{};
  parsePairLine(lineOf("abcdefghijklmnopqrstuvwxyz next\n"));
  EXPECT_STREQ(tokenSlots.token(1), "abcdefghijklmnopqrs");
  EXPECT_STREQ(tokenSlots.token(2), "next");  // the cut-off tail is not a token
}

TEST(Tokens, BlockFrequencyIsTokenSeven) {
  tokenSlots = TokenSlots{};
  EXPECT_EQ(blockFrequency(), 0.0);  // never written
  parseFrequencyLine(lineOf("  FORCED RESPONSE SUBCASE 1 AT FREQUENCY 2.5E+01\n"));
  EXPECT_EQ(blockFrequency(), 25.0);
  parseFrequencyLine(lineOf("one two three four five six\n"));
  EXPECT_EQ(blockFrequency(), 25.0);  // six tokens leave T7 alone
}

TEST(Conversions, RealValue) {
  const struct {
    const char* text;
    double value;
  } cases[] = {
      {"1.5D+02", 150.0},  {"1.5d2", 150.0},      {"12.5Hz", 12.5},   {"hertz", 0.0},
      {"-2.5E-01", -0.25}, {"+3", 3.0},           {".5", 0.5},        {"5.", 5.0},
      {"  7.0", 7.0},      {"1.0E", 1.0},         {"1.0E+", 1.0},     {"2e3x", 2000.0},
      {"-", 0.0},          {".", 0.0},            {"0x10", 0.0},      {"inf", 0.0},
      {"nan", 0.0},        {"1E999", HUGE_VAL},   {"-1E999", -HUGE_VAL},
      {"1E-999", 0.0},     {"4.9406564584124654E-324", 4.9406564584124654e-324},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(realValue(c.text), c.value);
  }
  EXPECT_TRUE(std::signbit(realValue("-0.0")));
}

TEST(Conversions, IntegerValue) {
  const struct {
    const char* text;
    std::int32_t value;
  } cases[] = {
      {"101", 101},         {"-7", -7},          {"+5", 5},         {"12abc", 12},
      {"abc", 0},           {"-", 0},            {" 42", 42},       {"1.5E+01", 1},
      {"2147483647", 2147483647}, {"99999999999", 2147483647}, {"-99999999999", -2147483647 - 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(integerValue(c.text), c.value);
  }
}

}  // namespace
}  // namespace quarvel::test
