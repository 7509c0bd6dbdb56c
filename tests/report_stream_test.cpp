// The formatted numeric reads of the report stream and the record reads
// built on them: how many fields convert, and where the stream is left.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "control/report_stream.h"
#include "readers/node_record.h"
#include "tests/unit_fixture.h"

namespace quarvel::test {
namespace {

// What a line read finds right after the reads: where the stream stopped.
std::string restOfLine() {
  char line[kLineReadSpace];
  std::size_t length = 0;
  return readReportLine(line, length) < 0 ? "<end>" : std::string(line);
}

TEST(FormattedRead, IntegerConversions) {
  const struct {
    std::string text;
    Scan outcome;
    std::int32_t value;
    std::string rest;
  } cases[] = {
      {"  42 x\n", Scan::Converted, 42, " x\n"},
      {"\n\n -7\n", Scan::Converted, -7, "\n"},   // line breaks are white space
      {"+5", Scan::Converted, 5, "<end>"},
      {"12.5\n", Scan::Converted, 12, ".5\n"},
      {"  PAGE 2\n", Scan::NoMatch, 99, "PAGE 2\n"},  // white space is consumed, the text is not
      {"-x\n", Scan::NoMatch, 99, "-x\n"},        // a lone sign stays unread
      {"   \n  ", Scan::EndOfInput, 99, "<end>"},
      {"99999999999 ", Scan::Converted, 2147483647, " "},
      {std::string(3000000, '0') + "17 ", Scan::Converted, 17, " "},  // longer than the buffer
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text.substr(0, 20));
    ReportText file(c.text);
    std::int32_t value = 99;
    EXPECT_EQ(scanInteger(value), c.outcome);
    EXPECT_EQ(value, c.value);
    EXPECT_EQ(restOfLine(), c.rest);
  }
}

TEST(FormattedRead, RealConversions) {
  const struct {
    std::string text;
    Scan outcome;
    double value;
    std::string rest;
  } cases[] = {
      {" -1.234567E-03 x", Scan::Converted, -1.234567e-03, " x"},
      {"1.5e+2\n", Scan::Converted, 150.0, "\n"},
      {"7 ", Scan::Converted, 7.0, " "},
      {".5,", Scan::Converted, 0.5, ","},
      {"5.E1 ", Scan::Converted, 50.0, " "},
      {"1.5E+ ", Scan::Converted, 1.5, "E+ "},    // an exponent needs its digits
      {"1.5D+02 ", Scan::Converted, 1.5, "D+02 "},  // D is not an exponent here
      {"INFO\n", Scan::NoMatch, -1.0, "INFO\n"},   // no inf, nan or hex
      {"nan ", Scan::NoMatch, -1.0, "nan "},
      {". ", Scan::NoMatch, -1.0, ". "},
      {"", Scan::EndOfInput, -1.0, "<end>"},
      {"1E400 ", Scan::Converted, HUGE_VAL, " "},
      // The solver's own shape, and its near misses, which the general scan reads.
      {"  -1.234567E-03  2.0", Scan::Converted, -1.234567e-03, "  2.0"},
      {"+1.234567E+03\n", Scan::Converted, 1234.567, "\n"},
      {"1.234567E+123 ", Scan::Converted, 1.234567e123, " "},
      {"1.234567E+0 x", Scan::Converted, 1.234567, " x"},
      {"1.2345678E+01 ", Scan::Converted, 12.345678, " "},
      {"1.234567e-01.5", Scan::Converted, 0.1234567, ".5"},
      {"1.234567E 01 ", Scan::Converted, 1.234567, "E 01 "},
      {"0." + std::string(2000000, '0') + "25e2000000 ", Scan::Converted, 0.25, " "},
      {"1" + std::string(1500000, '0') + "e-1500000 ", Scan::Converted, 1.0, " "},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text.substr(0, 20));
    ReportText file(c.text);
    double value = -1.0;
    EXPECT_EQ(scanReal(value), c.outcome);
    EXPECT_EQ(value, c.value);
    EXPECT_EQ(restOfLine(), c.rest);
  }
}

TEST(FormattedRead, SkipRealConsumesExactlyWhatScanRealWould) {
  const char* texts[] = {" -1.234567E-03 x", "5.E1 ", "1.5E+ ", "INFO\n", "12"};
  for (const char* text : texts) {
    SCOPED_TRACE(text);
    std::string afterScan, afterSkip;
    Scan scanned, skipped;
    {
      ReportText file(text);
      double ignored = 0.0;
      scanned = scanReal(ignored);
      afterScan = restOfLine();
    }
    {
      ReportText file(text);
      skipped = skipReal();
      afterSkip = restOfLine();
    }
    EXPECT_EQ(scanned, skipped);
    EXPECT_EQ(afterScan, afterSkip);
  }
}

TEST(NodeRecordRead, FieldsConvertedAndWhereTheReadStops) {
  const struct {
    const char* text;
    int first;
    int second;
    std::string rest;
  } cases[] = {
      {"1 2 1.0 2.0 3.0 4.0 5.0 6.0\n 1 2 3 4 5 6\n", 8, 6, "\n"},
      {"1 2 1.0 2.0 3.0 4.0 5.0 6.0 1 2 3 4 5 6\nnext\n", 8, 6, "\n"},  // fourteen on one line
      {"1\n2\n1.0 2.0\n3.0 4.0 5.0 6.0 1 2 3\n4 5 6 PAGE\n", 8, 6, " PAGE\n"},
      {"7 word\n", 1, 0, "word\n"},           // the second read stops at once too
      {"7 2 1.0 2.0 X 4.0\n", 4, 0, "X 4.0\n"},
      {"PAGE 3\n", 0, 0, "PAGE 3\n"},
      {"", kRecordEndOfInput, kRecordEndOfInput, "<end>"},
      {"1 2 1.0 2.0 3.0 4.0 5.0 6.0", 8, kRecordEndOfInput, "<end>"},
      {"1 2 1.0 2.0 3.0 4.0 5.0 6.0 1 2", 8, 2, "<end>"},  // input ends after a conversion
  };
  // Converting the components or passing over them stops at the same place.
  for (std::int32_t componentsOf : {1, 7, 999}) {
    for (const auto& c : cases) {
      SCOPED_TRACE(std::string(c.text) + " components of " + std::to_string(componentsOf));
      ReportText file(c.text);
      EXPECT_EQ(readRecordFirstPart(componentsOf), c.first);
      EXPECT_EQ(readRecordSecondPart(), c.second);
      EXPECT_EQ(restOfLine(), c.rest);
    }
  }
}

TEST(NodeRecordRead, FieldsNotReachedKeepTheirValues) {
  nodeRecord = NodeRecord{};
  {
    ReportText file("5 1 10.0 20.0 30.0 0 0 0\n");
    ASSERT_EQ(readRecordFirstPart(5), 8);
  }
  ReportText file("6 1 11.0 word\n");
  EXPECT_EQ(readRecordFirstPart(6), 3);
  EXPECT_EQ(nodeRecord.nodeId, 6);
  EXPECT_EQ(nodeRecord.componentX, 11.0);
  EXPECT_EQ(nodeRecord.componentY, 20.0);  // from the earlier record
  EXPECT_EQ(nodeRecord.componentZ, 30.0);
}

TEST(NodeRecordRead, ComponentsOfOtherNodesAreNotConverted) {
  nodeRecord = NodeRecord{};
  ReportText file("5 1 10.0 20.0 30.0 0 0 0\n");
  ASSERT_EQ(readRecordFirstPart(6), 8);
  EXPECT_EQ(nodeRecord.nodeId, 5);
  EXPECT_EQ(nodeRecord.componentZ, 0.0);
}

// Numbers that straddle the end of a buffer block are read whole.
TEST(FormattedRead, NumbersAcrossBlockBoundaries) {
  std::string report;
  std::vector<double> expected;
  for (int i = 0; report.size() < 3 * kReportBufferSize; ++i) {
    char text[40];
    if (i % 3 == 0) {
      std::snprintf(text, sizeof text, "\n%d", i);
      expected.push_back(i);
    } else {
      std::snprintf(text, sizeof text, " %14.6E", (i % 2 ? -1.0 : 1.0) * (1.0 + i * 1e-6));
      expected.push_back(std::strtod(text, nullptr));
    }
    report += text;
  }
  ReportText file(report);
  for (std::size_t i = 0; i < expected.size(); ++i) {
    if (i % 3 == 0) {
      std::int32_t value = -1;
      ASSERT_EQ(scanInteger(value), Scan::Converted) << i;
      ASSERT_EQ(value, static_cast<std::int32_t>(i));
    } else {
      double value = 0.0;
      ASSERT_EQ(scanReal(value), Scan::Converted) << i;
      ASSERT_EQ(value, expected[i]) << i;
    }
  }
  double value = 0.0;
  EXPECT_EQ(scanReal(value), Scan::EndOfInput);
}

TEST(ReportStream, RewindStartsOverAfterTheEnd) {
  ReportText file("a\nb\n");
  char line[kLineReadSpace];
  std::size_t length = 0;
  while (readReportLine(line, length) >= 0) {}
  rewindReport();
  ASSERT_EQ(readReportLine(line, length), 2);
  EXPECT_STREQ(line, "a\n");
}

}  // namespace
}  // namespace quarvel::test
