// The line read, the window shift and the line tests.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "control/line_window.h"
#include "tests/unit_fixture.h"

namespace quarvel::test {
namespace {

std::vector<std::string> readAllLines(const std::string& report) {
  ReportText file(report);
  std::vector<std::string> lines;
  while (readSlot(0)) lines.emplace_back(windowSlot(0).text, windowSlot(0).length);
  return lines;
}

TEST(LineRead, SplitsTheReportIntoLinesOfAtMost199Characters) {
  const std::string c198(198, 'a'), c199(199, 'b'), c400(400, 'c');
  const struct {
    const char* name;
    std::string report;
    std::vector<std::string> lines;
  } cases[] = {
      {"empty report", "", {}},
      {"198 and a line feed is one line", c198 + "\n", {c198 + "\n"}},
      {"199 and a line feed is two", c199 + "\n", {c199, "\n"}},
      {"a long line arrives in pieces", c400 + "\n", {c400.substr(0, 199), c400.substr(199, 199), "cc\n"}},
      {"carriage returns stay", "one\r\ntwo\r\n", {"one\r\n", "two\r\n"}},
      {"a last line without line feed", "one\ntwo", {"one\n", "two"}},
      {"empty lines", "\n\n", {"\n", "\n"}},
      {"text ends at a NUL", std::string("ab\0cd\nef\n", 9), {"ab", "ef\n"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(readAllLines(c.report), c.lines);
  }
}

TEST(LineRead, EndOfInputLeavesTheSlotAsItWas) {
  ReportText file("only\n");
  ASSERT_TRUE(readSlot(1));
  EXPECT_FALSE(readSlot(1));
  EXPECT_STREQ(windowSlot(1).text, "only\n");
}

TEST(LineRead, LinesAcrossTheBufferBoundaryStayWhole) {
  // Lines of 7 bytes never align with the buffer size, so some straddle it.
  std::string report;
  const std::size_t lines = kReportBufferSize / 7 * 3;
  for (std::size_t i = 0; i < lines; ++i) report += "abcdef\n";
  ReportText file(report);
  std::size_t read = 0;
  while (readSlot(0)) {
    ASSERT_STREQ(windowSlot(0).text, "abcdef\n") << "line " << read;
    ++read;
  }
  EXPECT_EQ(read, lines);
}

TEST(Window, AdvanceShiftsAndKeepsTheLastLineAtTheEnd) {
  ReportText file("1\n2\n3\n4\n5\n");
  for (int i = 0; i < 5; ++i) ASSERT_TRUE(advance());
  EXPECT_STREQ(windowSlot(0).text, "2\n");
  EXPECT_STREQ(windowSlot(1).text, "3\n");
  EXPECT_STREQ(windowSlot(2).text, "4\n");
  EXPECT_STREQ(windowSlot(3).text, "5\n");
  EXPECT_FALSE(advance());
  EXPECT_STREQ(windowSlot(2).text, "5\n");
  EXPECT_STREQ(windowSlot(3).text, "5\n");
}

TEST(Window, ScratchLinesMoveDownWithTheNextShift) {
  ReportText file("a\nb\nscratch\nc\n");
  ASSERT_TRUE(advance());
  ASSERT_TRUE(advance());
  ASSERT_TRUE(readSlot(1));  // written straight into slot 1
  EXPECT_STREQ(windowSlot(1).text, "scratch\n");
  ASSERT_TRUE(advance());
  EXPECT_STREQ(windowSlot(0).text, "scratch\n");
  EXPECT_STREQ(windowSlot(3).text, "c\n");
}

TEST(LineTests, MarkersAndNumericLines) {
  const struct {
    std::string line;
    bool hasMaximum;
    bool numeric;
  } cases[] = {
      {"  MAXIMUM  1.0E+00\n", true, true},
      {"SA-MAXIMUMS\n", true, false},         // no word boundaries
      {"maximum 1.0e+00\n", false, false},    // case matters, for the exponent too
      {"1.0E-03\n", false, true},
      {"THE E+ WORDS\n", false, true},        // any E followed by a sign
      {"E\n+\n", false, false},
      {"ends with E", false, false},
      {std::string("1.0\0E+00", 8), false, false},  // hidden behind a NUL
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    LineSlot slot = lineOf(c.line);
    EXPECT_EQ(containsMarker(slot, "MAXIMUM"), c.hasMaximum);
    EXPECT_EQ(isNumericLine(slot), c.numeric);
  }
}

TEST(LineTests, MarkerStraddlingA199CharacterBoundaryIsNotFound) {
  ReportText file(std::string(195, ' ') + "MAXIMUM\n");
  ASSERT_TRUE(readSlot(0));
  EXPECT_FALSE(containsMarker(windowSlot(0), "MAXIMUM"));
  ASSERT_TRUE(readSlot(0));
  EXPECT_FALSE(containsMarker(windowSlot(0), "MAXIMUM"));
}

}  // namespace
}  // namespace quarvel::test
