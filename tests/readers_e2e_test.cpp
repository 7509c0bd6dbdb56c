// End-to-end tests of the three report readers: the node count pass, the
// element list pass and the acceleration block reader. Echoes are compared
// exactly, section by section of standard output (or whole); the tables are
// checked through the transfer files, byte for byte.
#include <gtest/gtest.h>

#include <array>
#include <set>
#include <string>
#include <vector>

#include "tests/e2e_harness.h"
#include "tests/report_builder.h"

namespace quarvel::test {
namespace {

const std::string kAxisPrompt = "  1=X  2=Y  3=Z \n";
const std::string kNodePrompt = "\n What is the reference node? \n";
const std::string kRefOne = "\n ref 1 \n";
const std::string kRefTwo = "\n\n ref 2    i=";

std::string opening() {
  return std::string(kBanner) + "\n\n Enter input filename \n" + " File: report.rpt opened. \n" +
         "\n Select excitation axis \n" + kAxisPrompt;
}

// The text between the first `after` and the next `before`.
std::string between(const std::string& text, const std::string& after, const std::string& before) {
  std::size_t start = text.find(after);
  if (start == std::string::npos) return "<missing start>";
  start += after.size();
  std::size_t end = text.find(before, start);
  if (end == std::string::npos) return "<missing end>";
  return text.substr(start, end - start);
}

// The parts of standard output that each stage prints.
std::string nodesSection(const std::string& out) { return between(out, kAxisPrompt, kNodePrompt); }
std::string elementsSection(const std::string& out) { return between(out, kNodePrompt, kRefOne); }
std::string mainScanSection(const std::string& out) { return between(out, kRefOne, kRefTwo); }
std::string closingCount(const std::string& out) { return between(out, kRefTwo, " \n"); }
std::string fileSection(const std::string& out) {
  std::size_t at = out.find(kRefTwo);
  if (at == std::string::npos) return "<missing>";
  return out.substr(out.find(" \n", at) + 2);
}

std::string crlf(const std::string& text) {
  std::string result;
  for (char c : text) {
    if (c == '\n') result += '\r';
    result += c;
  }
  return result;
}

// What the node count pass prints for a first block with these records.
std::string nodeEcho(const std::vector<long>& ids, const std::string& header = kAccelerationHeaderLine) {
  std::string text = "\n\n nodes \n\n " + header + " \n";
  for (long id : ids) text += "\n " + std::to_string(id);
  return text + "\n\n " + std::to_string(ids.size()) + " nodes detected \n\n";
}

// What the element list pass prints for a first stress block with these pairs.
std::string elementEcho(const std::vector<long>& ids, const std::string& header = kStressHeaderLine) {
  std::string text = "\n\n elements \n\n " + header + " \n";
  for (long id : ids) text.append(" ").append(std::to_string(id)).append(" \n");
  return text + "\n\n " + std::to_string(ids.size()) + " elements detected \n\n";
}

// The main scan's echo at a stress header with the usual three lines above
// it, followed by the opening line of the stress collection pass.
std::string windowEcho(const std::string& frequencyToken, bool carriageReturns = false) {
  std::string above = blockPreamble(frequencyToken);
  std::string header = kStressHeaderLine;
  if (carriageReturns) above = crlf(above), header = crlf(header);
  std::string text;
  std::size_t start = 0;
  for (char slot : {'0', '1', '2'}) {
    std::size_t end = above.find('\n', start) + 1;
    text.append("\n").append(1, slot).append(" ").append(above, start, end - start);
    start = end;
  }
  return text + "\n3 " + header + "\n s7: " + frequencyToken + "\n bar stress \n";
}

std::string fileMessages(const std::vector<long>& ids) {
  std::string text;
  for (long id : ids) text += " File: " + std::to_string(id) + "_stressHH.dat opened. \n";
  return text;
}

using SkippedLines = std::array<std::string, 4>;
const SkippedLines kUsualSkipped = {"                                                (REAL/IMAGINARY)\n", " \n",
                                    "      POINT ID.   CODE      T1             T2             T3\n", " \n"};

// An acceleration block up to its node records: the three lines above the
// header, the header and the four lines after it.
std::string accelerationHead(const std::string& frequencyToken, const SkippedLines& skipped = kUsualSkipped) {
  std::string text = blockPreamble(frequencyToken) + kAccelerationHeaderLine;
  for (const std::string& line : skipped) text += line;
  return text;
}

// A stress block up to its pairs (header, four lines and a blank line).
std::string stressHead(const std::string& frequencyToken) { return stressBlock(frequencyToken, {}, false); }

// The fourteen numbers of a node record, laid out with `split[k]` numbers on
// line k.
std::string laidOutRecord(const NodeValues& node, const std::vector<int>& split) {
  const std::string fields[14] = {std::to_string(node.id), "1",           solverReal(node.x),
                                  solverReal(node.y),      solverReal(node.z), solverReal(0.001),
                                  solverReal(-0.002),      solverReal(0.0),    solverReal(0.5),
                                  solverReal(-0.5),        solverReal(0.25),   solverReal(0.0),
                                  solverReal(0.0),         solverReal(0.0)};
  std::string text;
  int next = 0;
  for (int count : split) {
    text += "   ";
    for (int k = 0; k < count; ++k) text += " " + fields[next++];
    text += "\n";
  }
  return text;
}

std::string firstLineOf(const std::string& pair) { return pair.substr(0, pair.find('\n') + 1); }
std::string secondLineOf(const std::string& pair) { return pair.substr(pair.find('\n') + 1); }

// An element pair whose first token is `token` instead of a plain identifier.
std::string pairWithFirstToken(const std::string& token) {
  std::string lines = pairLines({1, 1.0});
  return "   " + token + lines.substr(lines.find('1') + 1);
}

// ---------------------------------------------------------------------------
// Node count pass

// However the fourteen numbers of each record are spread over lines, the
// pass counts the same records and the block reader takes the same values.
TEST(ReadersNodeCount, RecordLayoutsAreCountedAndReadAlike) {
  using Split = std::vector<int>;
  const struct {
    const char* layout;
    std::array<Split, 3> splits;  // one per record
  } cases[] = {
      {"8 + 6", {Split{8, 6}, Split{8, 6}, Split{8, 6}}},
      {"14 on one line", {Split{14}, Split{14}, Split{14}}},
      {"3, 5, 4, 2", {Split{3, 5, 4, 2}, Split{3, 5, 4, 2}, Split{3, 5, 4, 2}}},
      {"one number per line", {Split(14, 1), Split(14, 1), Split(14, 1)}},
      {"10 + 4: the second read starts mid-line", {Split{10, 4}, Split{10, 4}, Split{10, 4}}},
      {"each record its own way", {Split{14}, Split{2, 12}, Split{8, 6}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.layout);
    auto block = [&](const std::string& frequency, const std::array<NodeValues, 3>& nodes) {
      std::string text = accelerationHead(frequency) + " \n";
      for (std::size_t r = 0; r < 3; ++r) text += laidOutRecord(nodes[r], c.splits[r]);
      return text + " \n";
    };
    const std::string report =
        block("0.000000E+00", {{{1, 0.1, 0.2, 1.0}, {2, 0.3, 0.4, 1.5}, {3, 0.5, 0.6, 1.7}}}) +
        block("1.000000E+01", {{{1, 0.1, 0.2, 1.0}, {2, 0.3, 0.4, 2.0}, {3, 0.5, 0.6, 3.0}}}) +
        stressBlock("1.000000E+01", {{101, 200.0}});
    RunOutcome run = runOnReport(report, "report.rpt 3 2\n");
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(nodesSection(run.output), nodeEcho({1, 2, 3}));
    EXPECT_EQ(run.written["101_stressHH.dat"],
              transferRows({{"1.0000e+001", "1.4900e+009", "2.0000e+002", "2.0000e+000"}}));
  }
}

// The record loop takes every record whose first read converts at least its
// identifier, and ends at the first text that does not begin an integer.
TEST(ReadersNodeCount, RecordLoopEndsAtTheFirstTextThatIsNoInteger) {
  auto record = [](long id) { return nodeRecordLines({id, 0.1, 0.2, 1.0}); };
  const struct {
    const char* name;
    std::string records;
    std::vector<long> echoed;
  } cases[] = {
      {"an identifier followed by a word is taken, then the loop ends at the word",
       record(1) + record(2) + "          3  NOT CONVERGED\n" + record(4), {1, 2, 3}},
      {"a first read that stops after three fields takes its record",
       record(1) + "          5       1   1.000000E+00  N/A  2.0\n" + record(6), {1, 5}},
      {"a short second read goes unnoticed; the next first read starts at its word",
       record(1) + "   6  1  0.1 0.2 0.3 0.4 0.5 0.6\n      0.5  WORD\n" + record(7), {1, 6}},
      {"a line after the last record that begins with an integer is one more record",
       record(1) + record(2) + "1    PLATE STUDY                          PAGE     2\n", {1, 2, 1}},
      {"negative identifiers keep their sign", record(-5) + record(-12) + record(3) + "END\n", {-5, -12, 3}},
      {"a repeated identifier is echoed and counted each time", record(4) + record(4) + record(4) + "END\n",
       {4, 4, 4}},
      {"numbers as standard formatted input reads them", "   +8 1 .5 2. 1e3 -4 7 0\n   1 2 3 4 5 6\nEND\n", {8}},
      {"text right after the four lines: no record", "     NO RESULTS\n" + record(1), {}},
      {"the end of the report after the records", record(1) + record(2), {1, 2}},
      {"the end of the report within the four lines after the header", "", {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string report = c.records.empty()
                                   ? blockPreamble("1.000000E+01") + kAccelerationHeaderLine + kUsualSkipped[0]
                                   : accelerationHead("1.000000E+01") + " \n" + c.records;
    RunOutcome run = runOnReport(report, "report.rpt 3 1\n");
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(nodesSection(run.output), nodeEcho(c.echoed));
  }
}

// Without an acceleration header the pass prints its title alone.
TEST(ReadersNodeCount, ReportWithoutAccelerationHeaderPrintsOnlyTheTitle) {
  RunOutcome run = runOnReport(stressBlock("1.000000E+01", {{101, 200.0}}), "report.rpt 3 1\n");
  EXPECT_EQ(nodesSection(run.output), "\n\n nodes \n");
  // The node count pass read the whole report, so the element list pass finds nothing.
  EXPECT_EQ(elementsSection(run.output), "\n\n elements \n");
  EXPECT_TRUE(run.written.empty());
}

// The record loop leaves the stream at the text that ended it, with the
// white space before that text consumed: the element list pass reads the
// rest of that line first, and here finds its header there.
TEST(ReadersNodeCount, ElementListStartsWhereTheRecordLoopStopped) {
  const std::string block = stressBlock("1.000000E+01", {{101, 200.0}});
  const std::string afterHeader = block.substr(block.find(kStressHeaderLine) + kStressHeaderLine.size());
  const std::string headerText = kStressHeaderLine.substr(kStressHeaderLine.find('C'));
  const struct {
    const char* name;
    std::string records;
    std::vector<long> counted;
    std::string headerEchoed;
  } cases[] = {
      {"no record: the header line itself ends the loop", " \n" + kStressHeaderLine, {}, headerText},
      {"an identifier followed by the header", nodeRecordLines({1, 0.1, 0.2, 1.0}) + "          2  " + headerText,
       {1, 2}, headerText},
      {"a word before the header on the line after the records",
       nodeRecordLines({1, 0.1, 0.2, 1.0}) + "     END" + kStressHeaderLine, {1}, "END" + kStressHeaderLine},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    RunOutcome run = runOnReport(accelerationHead("1.000000E+01") + c.records + afterHeader, "report.rpt 3 1\n");
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(nodesSection(run.output), nodeEcho(c.counted));
    EXPECT_EQ(elementsSection(run.output), elementEcho({101}, c.headerEchoed));
  }
}

// ---------------------------------------------------------------------------
// Element list pass

TEST(ReadersElementList, PairRulesAndEndMarkers) {
  auto pair = [](long id) { return pairLines({id, 1.0}); };
  auto first = [&](long id) { return firstLineOf(pair(id)); };
  const std::string second = secondLineOf(pair(1));
  std::string capitals = first(77);
  capitals.insert(capitals.size() - 1, "  SF");
  const struct {
    const char* name;
    std::string stressPart;  // from the three lines above the header on
    std::vector<long> listed;
  } cases[] = {
      {"six lines: pair, numeric line dropped with the plain line after it, pair",
       stressHead("1.000000E+01") + first(11) + second + first(33) + "        NO EXPONENT ON THIS LINE\n" +
           first(55) + second + kMaximumLine,
       {11, 55}},
      {"a candidate with VON MISES STRESS and E+ ends the list",
       stressHead("1.000000E+01") + pair(101) + "      VON MISES STRESS   1.000000E+00\n" + pair(102) + kMaximumLine,
       {101}},
      {"a candidate with MAXIMUM and E+ ends the list",
       stressHead("1.000000E+01") + pair(101) + kMaximumLine + pair(102) + kMaximumLine, {101}},
      {"a second line with MAXIMUM and E- completes its pair",
       stressHead("1.000000E+01") + first(101) + "      MAXIMUM   1.000000E-01\n" + pair(102) + kMaximumLine,
       {101, 102}},
      {"a second line with VON MISES STRESS and no exponent drops its pair and ends nothing",
       stressHead("1.000000E+01") + first(101) + "      VON MISES STRESS\n" + pair(102) + kMaximumLine, {102}},
      {"a second line with MAXIMUM and no exponent drops its pair and ends nothing",
       stressHead("1.000000E+01") + first(101) + "      MAXIMUM\n" + pair(102) + kMaximumLine, {102}},
      {"identifiers are the leading integer of the first token",
       stressHead("1.000000E+01") + pairWithFirstToken("12abc") + pairWithFirstToken("abc") +
           pairWithFirstToken("-7") + pairWithFirstToken("+8") + kMaximumLine,
       {12, 0, -7, 8}},
      {"the same identifier twice is listed twice", stressHead("1.000000E+01") + pair(7) + pair(7) + kMaximumLine,
       {7, 7}},
      {"a candidate with capital S and F starts a pair like any other",
       stressHead("1.000000E+01") + capitals + second + kMaximumLine, {77}},
      {"the four lines after the header are not examined",
       blockPreamble("1.000000E+01") + kStressHeaderLine + first(901) + second + kMaximumLine +
           "      VON MISES STRESS   1.000000E+00\n" + pair(101) + kMaximumLine,
       {101}},
      {"an empty list", stressHead("1.000000E+01") + kMaximumLine, {}},
      {"the end of the report inside the list", stressHead("1.000000E+01") + pair(101) + first(102), {101}},
      {"the end of the report within the four lines after the header",
       blockPreamble("1.000000E+01") + kStressHeaderLine + "      (REAL/IMAGINARY)\n", {}},
      {"only the first stress block is listed",
       stressHead("1.000000E+01") + pair(101) + kMaximumLine + " \n" + stressBlock("2.000000E+01", {{102, 5.0}}),
       {101}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string report = accelerationBlock("1.000000E+01", {{1, 0.1, 0.2, 2.0}}) + c.stressPart;
    RunOutcome run = runOnReport(report, "report.rpt 3 1\n");
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(elementsSection(run.output), elementEcho(c.listed));
    // The report was rewound: the main scan reads it again from its start
    // and reaches the stress header.
    EXPECT_EQ(mainScanSection(run.output), windowEcho("1.000000E+01"));
    EXPECT_EQ(fileSection(run.output), fileMessages(c.listed));
    std::set<std::string> expectedFiles;
    for (long id : c.listed) expectedFiles.insert(std::to_string(id) + "_stressHH.dat");
    std::set<std::string> writtenFiles;
    for (const auto& [name, content] : run.written) writtenFiles.insert(name);
    EXPECT_EQ(writtenFiles, expectedFiles);
  }
}

// The element list pass starts where the node count pass stopped, so a
// stress block above the first acceleration block is never listed; with no
// stress header found the report is not rewound and the main scan reads
// nothing.
TEST(ReadersElementList, StressBlockAboveTheFirstAccelerationBlockIsNeverListed) {
  const std::string report = stressBlock("1.000000E+01", {{101, 200.0}}) +
                             accelerationBlock("1.000000E+01", {{1, 0.1, 0.2, 2.0}, {2, 0.3, 0.4, 2.5}});
  RunOutcome run = runOnReport(report, "report.rpt 3 1\n");
  EXPECT_EQ(run.output, opening() + nodeEcho({1, 2}) + kNodePrompt + "\n\n elements \n" + kRefOne +
                            kRefTwo + "0 \n");
  EXPECT_EQ(run.exitStatus, 0);
  EXPECT_TRUE(run.written.empty());
}

// ---------------------------------------------------------------------------
// Acceleration block reader

// A block counts from a frequency of 0.001 up, compared in single precision,
// and the frequency table holds the single-precision value: the frequency
// column shows it where the rounding reaches the fifth digit. The stress
// column, read in double precision, shows the difference.
TEST(ReadersAccelerationBlock, FrequencyAcceptanceInSinglePrecision) {
  const struct {
    const char* token;
    const char* writtenAs;  // nullptr: refused
  } cases[] = {
      {"1.0E-03", "1.0000e-003"},
      {"9.9999999E-04", "1.0000e-003"},  // the same single-precision value as 1.0E-03
      {"9.9999998E-04", nullptr},
      {"5.0E-04", nullptr},
      {"0.0", nullptr},
      {"-5.000000E+00", nullptr},
      {"NONE", nullptr},  // no number: 0.0
      {"3.300000E+00", "3.3000e+000"},
      {"1.000050E+00", "1.0000e+000"},  // as a double it would be written 1.0001e+000
      {"2.000050E+01", "2.0000e+001"},  // as a double it would be written 2.0001e+001
      {"1.0D+01", "1.0000e+001"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.token);
    const std::string report = accelerationBlock(c.token, {{1, 0.1, 0.2, 1.0}}) +
                               stressBlock(c.token, {{101, 1.00005}});
    RunOutcome run = runOnReport(report, "report.rpt 3 1\n");
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(run.written["101_stressHH.dat"],
              c.writtenAs == nullptr
                  ? ""
                  : transferRows({{c.writtenAs, "1.4901e+005", "1.0001e+000", "1.0000e+000"}}));
  }
}

// A frequency line with fewer than seven tokens leaves T7 as the last parse
// wrote it: here the frequency line of the block before.
TEST(ReadersAccelerationBlock, ShortFrequencyLineTakesTheOlderToken) {
  std::string second = accelerationBlock("2.000000E+01", {{1, 0.1, 0.2, 4.0}});
  second.replace(0, second.find(kAccelerationHeaderLine), " \n     FREQ 2.0E+01\n \n");
  const std::string report =
      accelerationBlock("1.000000E+01", {{1, 0.1, 0.2, 2.0}}) + second + stressBlock("1.000000E+01", {{101, 200.0}});
  RunOutcome run = runOnReport(report, "report.rpt 3 1\n");
  EXPECT_EQ(run.exitStatus, 0);
  EXPECT_EQ(run.written["101_stressHH.dat"],
            transferRows({{"1.0000e+001", "1.4900e+009", "2.0000e+002", "2.0000e+000"},
                          {"1.0000e+001", "0.0000e+000", "0.0000e+000", "4.0000e+000"}}));
}

// One entry for every record of the reference node, in report order, each
// with its own record's component; none when the node is absent.
TEST(ReadersAccelerationBlock, EntryForEveryRecordOfTheReferenceNode) {
  const std::vector<NodeValues> nodes = {{1, 0.1, 0.2, 2.0}, {-12, 0.3, 0.4, 2.5}, {1, 0.5, 0.6, 4.0}};
  const std::string report = accelerationBlock("0.000000E+00", nodes) + accelerationBlock("1.000000E+01", nodes) +
                             stressBlock("1.000000E+01", {{101, 200.0}});
  const struct {
    const char* referenceNode;
    std::vector<Row> rows;
  } cases[] = {
      {"1",
       {{"1.0000e+001", "1.4900e+009", "2.0000e+002", "2.0000e+000"},
        {"1.0000e+001", "0.0000e+000", "0.0000e+000", "4.0000e+000"}}},
      {"-12", {{"1.0000e+001", "9.5357e+008", "2.0000e+002", "2.5000e+000"}}},
      {"9", {}},
      {"0", {}},  // the record starts out zero, but no record of node 0 is read
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.referenceNode);
    RunOutcome run = runOnReport(report, std::string("report.rpt 3 ") + c.referenceNode + "\n");
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(nodesSection(run.output), nodeEcho({1, -12, 1}));
    EXPECT_EQ(run.written["101_stressHH.dat"], transferRows(c.rows));
  }
}

// Axes 1, 2 and 3 pick X, Y and Z; any other axis stores 0.0 but still
// appends the frequency, so the transfer value is infinite (or NaN where no
// stress was collected).
TEST(ReadersAccelerationBlock, AxisSelectsTheComponent) {
  const std::string report = accelerationBlock("1.000000E+01", {{1, 0.5, 4.0, 2.0}}) +
                             accelerationBlock("2.000000E+01", {{1, 1.0, 8.0, 4.0}}) +
                             stressBlock("1.000000E+01", {{101, 200.0}});
  const std::vector<Row> otherAxis = {{"1.0000e+001", "inf", "2.0000e+002", "0.0000e+000"},
                                      {"2.0000e+001", "nan", "0.0000e+000", "0.0000e+000"}};
  const struct {
    const char* axis;
    std::vector<Row> rows;
  } cases[] = {
      {"1",
       {{"1.0000e+001", "2.3839e+010", "2.0000e+002", "5.0000e-001"},
        {"2.0000e+001", "0.0000e+000", "0.0000e+000", "1.0000e+000"}}},
      {"2",
       {{"1.0000e+001", "3.7249e+008", "2.0000e+002", "4.0000e+000"},
        {"2.0000e+001", "0.0000e+000", "0.0000e+000", "8.0000e+000"}}},
      {"3",
       {{"1.0000e+001", "1.4900e+009", "2.0000e+002", "2.0000e+000"},
        {"2.0000e+001", "0.0000e+000", "0.0000e+000", "4.0000e+000"}}},
      {"4", otherAxis},
      {"0", otherAxis},
      {"-1", otherAxis},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.axis);
    RunOutcome run = runOnReport(report, std::string("report.rpt ") + c.axis + " 1\n");
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(run.written["101_stressHH.dat"], transferRows(c.rows));
  }
}

// Every block is read as holding as many records as the first: with none
// the reader reads nothing, and records past the count are left to the main
// scan, which reads them as lines (and counts them). A stop marker ends
// each of these runs so that the closing diagnostic shows the main scan's
// own line count.
TEST(ReadersAccelerationBlock, NodeCountDecidesHowManyRecordsAreRead) {
  const std::string stop = "     TOTAL WARNINGS =     0\n";
  const std::string stressAfterStop = stressBlock("1.000000E+01", {{101, 200.0}});
  const std::string noRecords = accelerationHead("1.000000E+01") + " \n" +
                                accelerationBlock("2.000000E+01", {{1, 0.1, 0.2, 2.0}}) + stop + stressAfterStop;
  const std::string oneMore =
      accelerationBlock("0.000000E+00", {{1, 0.1, 0.2, 1.0}, {2, 0.3, 0.4, 1.5}}) +
      accelerationBlock("1.000000E+01", {{1, 0.1, 0.2, 2.0}, {2, 0.3, 0.4, 2.5}, {3, 0.5, 0.6, 3.0}}) + stop +
      stressAfterStop;
  const std::string fewer =
      accelerationBlock("0.000000E+00", {{1, 0.1, 0.2, 1.0}, {2, 0.3, 0.4, 1.5}, {3, 0.5, 0.6, 1.7}}) +
      accelerationBlock("1.000000E+01", {{1, 0.1, 0.2, 2.0}, {2, 0.3, 0.4, 2.5}}) +
      accelerationBlock("2.000000E+01", {{1, 0.1, 0.2, 4.0}, {2, 0.3, 0.4, 4.5}, {3, 0.5, 0.6, 4.7}}) + stop +
      stressAfterStop;
  const struct {
    const char* name;
    std::string report;
    const char* referenceNode;
    std::vector<long> counted;
    std::vector<Row> rows;
    const char* linesBeforeStop;
  } cases[] = {
      // 4 lines up to each header, the blank after the first block, and the
      // second block's two record lines and blank.
      {"node count 0", noRecords, "1", {}, {}, "12"},
      // 4 + 5 lines for the refused block, 4 for the next header, then the
      // rest of the last record read, the third record's two lines and a blank.
      {"more records than the node count: the node read", oneMore, "2", {1, 2},
       {{"1.0000e+001", "0.0000e+000", "0.0000e+000", "2.5000e+000"}}, "17"},
      {"more records than the node count: the node past the count", oneMore, "3", {1, 2}, {}, "17"},
      // 4 + 7 for the refused block, 4 for the next header; the failed read
      // of the missing third record consumes the white space up to the next
      // title; then 4 up to that header and the rest of its last record's
      // line and a blank.
      {"fewer records than the node count: no entry from stale fields, the next block is read", fewer, "2",
       {1, 2, 3},
       {{"1.0000e+001", "0.0000e+000", "0.0000e+000", "2.5000e+000"},
        {"2.0000e+001", "0.0000e+000", "0.0000e+000", "4.5000e+000"}},
       "21"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    RunOutcome run = runOnReport(c.report, std::string("report.rpt 3 ") + c.referenceNode + "\n");
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(nodesSection(run.output), nodeEcho(c.counted));
    EXPECT_EQ(mainScanSection(run.output), "\n\nb0: " + stop);
    EXPECT_EQ(closingCount(run.output), c.linesBeforeStop);
    EXPECT_EQ(run.written["101_stressHH.dat"], transferRows(c.rows));
  }
}

// The four lines after an acceleration header are consumed whether or not
// the block is accepted: a marker there is never seen by the main scan.
TEST(ReadersAccelerationBlock, MarkerAmongTheFourLinesAfterTheHeaderIsConsumed) {
  auto withLine = [](std::size_t position, const std::string& line) {
    SkippedLines skipped = kUsualSkipped;
    skipped[position] = line;
    return skipped;
  };
  const Row accepted = {"1.0000e+001", "1.4900e+009", "2.0000e+002", "2.0000e+000"};
  const struct {
    const char* name;
    std::string frequency;
    SkippedLines skipped;
    std::vector<Row> rows;
  } cases[] = {
      {"stop marker, accepted block", "1.000000E+01", withLine(0, "     TOTAL WARNINGS =     0\n"), {accepted}},
      {"stop marker, refused block", "0.000000E+00", withLine(3, "     TOTAL FATAL ERRORS =     0\n"), {}},
      {"stress header, accepted block", "1.000000E+01", withLine(1, kStressHeaderLine), {accepted}},
      {"stress header, refused block", "0.000000E+00", withLine(3, kStressHeaderLine), {}},
      {"acceleration header, accepted block", "1.000000E+01", withLine(2, kAccelerationHeaderLine), {accepted}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string report = accelerationHead(c.frequency, c.skipped) + " \n" +
                               nodeRecordLines({1, 0.1, 0.2, 2.0}) + " \n" +
                               stressBlock("1.000000E+01", {{101, 200.0}});
    RunOutcome run = runOnReport(report, "report.rpt 3 1\n");
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(nodesSection(run.output), nodeEcho({1}));
    EXPECT_EQ(elementsSection(run.output), elementEcho({101}));
    EXPECT_EQ(mainScanSection(run.output), windowEcho("1.000000E+01"));
    EXPECT_EQ(run.written["101_stressHH.dat"], transferRows(c.rows));
  }
}

// A record is taken only when its first read converts all eight fields and
// its second all six. The first record that falls short ends the block: it
// appends nothing (no entry made of stale fields), the records after it in
// that block are not read, and the next block is read as usual.
TEST(ReadersAccelerationBlock, IncompleteRecordEndsTheBlockWithoutAnEntry) {
  const std::string brokenRecords[] = {
      // a word in place of the fifth real of the first read
      "          2       1   3.000000E-01   4.000000E-01   2.500000E+00   1.000000E-03   N/A   0.0\n"
      "                         5.000000E-01  -5.000000E-01   2.500000E-01   0.0   0.0   0.0\n",
      // a word in the second read
      "          2       1   3.000000E-01   4.000000E-01   2.500000E+00   1.000000E-03  -2.000000E-03   0.0\n"
      "                         5.000000E-01  -5.000000E-01   N/A   0.0   0.0   0.0\n",
      // only the identifier
      "          2  NO DATA\n",
  };
  const struct {
    const char* referenceNode;
    std::vector<Row> rows;
  } cases[] = {
      {"1",  // before the broken record: read in both blocks
       {{"1.0000e+001", "1.4900e+009", "2.0000e+002", "2.0000e+000"},
        {"2.0000e+001", "0.0000e+000", "0.0000e+000", "4.0000e+000"}}},
      {"2", {{"2.0000e+001", "2.3839e+008", "2.0000e+002", "5.0000e+000"}}},  // the broken record itself
      {"3", {{"2.0000e+001", "9.3123e+007", "2.0000e+002", "8.0000e+000"}}},  // after it: not read
  };
  for (const std::string& broken : brokenRecords) {
    SCOPED_TRACE(broken);
    const std::string report =
        accelerationBlock("0.000000E+00", {{1, 0.1, 0.2, 1.0}, {2, 0.3, 0.4, 1.5}, {3, 0.5, 0.6, 1.7}}) +
        accelerationHead("1.000000E+01") + " \n" + nodeRecordLines({1, 0.1, 0.2, 2.0}) + broken +
        nodeRecordLines({3, 0.5, 0.6, 3.0}) + " \n" +
        accelerationBlock("2.000000E+01", {{1, 0.1, 0.2, 4.0}, {2, 0.3, 0.4, 5.0}, {3, 0.5, 0.6, 8.0}}) +
        stressBlock("2.000000E+01", {{101, 200.0}});
    for (const auto& c : cases) {
      SCOPED_TRACE(c.referenceNode);
      RunOutcome run = runOnReport(report, std::string("report.rpt 3 ") + c.referenceNode + "\n");
      EXPECT_EQ(run.exitStatus, 0);
      EXPECT_EQ(nodesSection(run.output), nodeEcho({1, 2, 3}));
      EXPECT_EQ(mainScanSection(run.output), windowEcho("2.000000E+01"));
      EXPECT_EQ(run.written["101_stressHH.dat"], transferRows(c.rows));
    }
  }
}

// The reader leaves the stream exactly where the incomplete record's read
// stopped, so the main scan's next line is the rest of that line: here a
// stop marker, which ends the scan after the four lines up to the header.
TEST(ReadersAccelerationBlock, RestOfAnIncompleteRecordIsReadByTheMainScan) {
  const std::string report = accelerationHead("1.000000E+01") + " \n" + nodeRecordLines({1, 0.1, 0.2, 2.0}) +
                             "          2       1   3.000000E-01   4.000000E-01   2.500000E+00   1.000000E-03"
                             "   TOTAL WARNINGS =     0\n" +
                             stressBlock("1.000000E+01", {{101, 200.0}});
  const struct {
    const char* referenceNode;
    std::vector<Row> rows;
  } cases[] = {
      {"1", {{"1.0000e+001", "0.0000e+000", "0.0000e+000", "2.0000e+000"}}},
      {"2", {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.referenceNode);
    RunOutcome run = runOnReport(report, std::string("report.rpt 3 ") + c.referenceNode + "\n");
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(nodesSection(run.output), nodeEcho({1, 2}));  // the pass takes a record with six fields
    EXPECT_EQ(mainScanSection(run.output), "\n\nb0: TOTAL WARNINGS =     0\n");
    EXPECT_EQ(closingCount(run.output), "4");
    EXPECT_EQ(run.written["101_stressHH.dat"], transferRows(c.rows));
  }
}

// The report stream reads the report in pieces of 1 MiB, so in a block of
// 1.5 MB the end of the first piece falls inside a record, at the same
// report offset in the node count pass and in the block reader. Moving the
// block by one byte per run puts that end at every offset of a record once:
// inside the identifier, between two fields, inside a mantissa or an
// exponent, at the line break between the two reads. Every record must be
// counted and read as if the report were one piece.
TEST(ReadersAccelerationBlock, RecordsAcrossTheEndOfAReadPiece) {
  auto record = [](int k) {
    return "123456789 1 5.0E-01 2.5E-01" + solverReal(k + 1.0) + " 1.0E-03 -2.0E-03 0.0E+00\n" +
           " 5.0E-01 -5.0E-01 2.5E-01 0.0E+00 0.0E+00 0.0E+00\n";
  };
  constexpr int kRecords = 1'500'000 / 100;
  std::string block = accelerationHead("1.000000E+01") + " \n";
  std::string expectedEcho = "\n\n nodes \n\n " + kAccelerationHeaderLine + " \n";
  std::vector<std::string> accelerations;
  for (int k = 0; k < kRecords; ++k) {
    block += record(k);
    expectedEcho += "\n 123456789";
    char field[16];
    std::snprintf(field, sizeof field, "%.4e", k + 1.0);  // exact: at most five digits
    std::string text = field;
    accelerations.push_back(text.insert(text.size() - 2, "0"));  // three exponent digits
  }
  expectedEcho += "\n\n " + std::to_string(kRecords) + " nodes detected \n\n";
  std::vector<Row> rows;
  for (const std::string& a : accelerations) rows.push_back({"1.0000e+001", "0.0000e+000", "0.0000e+000", a.c_str()});
  const std::string expectedRows = transferRows(rows);
  const std::string tail = " \n" + stressBlock("1.000000E+01", {{101, 0.0}});
  ASSERT_GT(block.size(), 1'400'000u);

  for (std::size_t shift = 0; shift < record(0).size(); ++shift) {
    SCOPED_TRACE(shift);
    RunOutcome run = runOnReport(std::string(shift, ' ') + "\n" + block + tail, "report.rpt 3 123456789\n");
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_TRUE(nodesSection(run.output) == expectedEcho) << "node echo differs";
    EXPECT_EQ(elementsSection(run.output), elementEcho({101}));
    EXPECT_EQ(mainScanSection(run.output), windowEcho("1.000000E+01"));
    EXPECT_TRUE(run.written["101_stressHH.dat"] == expectedRows)
        << "file of " << run.written["101_stressHH.dat"].size() << " bytes, expected " << expectedRows.size();
    if (HasFailure()) break;  // one shift that fails tells the story
  }
}

// ---------------------------------------------------------------------------
// All three readers on carriage-return line ends: the values are the same,
// and every echoed report line carries its carriage return.
TEST(ReadersLineEnds, CarriageReturnLineEnds) {
  RunOutcome run = runOnReport(crlf(typicalReport()), "report.rpt\n3\n1\n");
  const std::string expected =
      opening() + nodeEcho({1, 2, 3}, crlf(kAccelerationHeaderLine)) + kNodePrompt +
      elementEcho({101, 102}, crlf(kStressHeaderLine)) + kRefOne + windowEcho("0.000000E+00", true) + kRefTwo +
      "21 \n" + fileMessages({101, 102});
  EXPECT_EQ(run.output, expected);
  EXPECT_EQ(run.exitStatus, 0);
  ASSERT_EQ(run.written.size(), 2u);
  EXPECT_EQ(run.written["101_stressHH.dat"], typicalTransferFile(101));
  EXPECT_EQ(run.written["102_stressHH.dat"], typicalTransferFile(102));
}

}  // namespace
}  // namespace quarvel::test
