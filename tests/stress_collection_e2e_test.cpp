// End-to-end tests of the stress collection pass and the transfer files it
// fills: which stress blocks are collected, which column each value lands
// in, the pair rules inside collected blocks, tables past their nominal
// sizes, the header search bound and the closing diagnostic.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "tests/e2e_harness.h"
#include "tests/report_builder.h"

namespace quarvel::test {
namespace {

const std::string kAnswers = "report.rpt 3 1\n";  // axis Z, reference node 1

// The number field of a value with at most five significant digits, which
// needs no rounding: "%.4e" with a three-digit exponent.
std::string field(double value) {
  if (value == 0.0) return "0.0000e+000";
  char text[32];
  std::snprintf(text, sizeof text, "%.4e", value);
  std::string s = text;
  std::size_t e = s.find('e');
  std::string exponent = s.substr(e + 2);
  if (exponent.size() < 3) exponent = std::string(3 - exponent.size(), '0') + exponent;
  return s.substr(0, e + 2) + exponent;
}

// The transfer value of a stress of 0 to 9 over a reference acceleration of
// 1.0: stress squared times 148996, to five digits.
const char* transferOverUnit(int stress) {
  static const char* const kTexts[] = {"0.0000e+000", "1.4900e+005", "5.9598e+005", "1.3410e+006",
                                       "2.3839e+006", "3.7249e+006", "5.3639e+006", "7.3008e+006",
                                       "9.5357e+006", "1.2069e+007"};
  return kTexts[std::abs(stress)];
}

// Acceleration blocks, one per frequency token, each holding node 2 and the
// reference node 1, whose Z is 1.0; then `stressBlocks`.
std::string sweep(const std::vector<std::string>& frequencies, const std::string& stressBlocks) {
  std::string text;
  for (const std::string& f : frequencies) text += accelerationBlock(f, {{2, 0.5, 0.5, 9.0}, {1, 0.1, 0.2, 1.0}});
  return text + stressBlocks;
}

// The file of one element of a sweep: row i has frequency field
// `frequencies[i]`, stress `stresses[i]` and reference acceleration 1.0.
std::string unitRows(const std::vector<std::string>& frequencies, const std::vector<int>& stresses) {
  std::string text;
  for (std::size_t i = 0; i < frequencies.size(); ++i)
    text += transferRows({{frequencies[i].c_str(), transferOverUnit(stresses[i]), field(stresses[i]).c_str(),
                           "1.0000e+000"}});
  return text;
}

using ElementRows = std::vector<std::pair<long, std::vector<int>>>;  // per list position

std::string fileName(long id) { return std::to_string(id) + "_stressHH.dat"; }

std::string fileMessages(const ElementRows& elements) {
  std::string text;
  for (const auto& [id, stresses] : elements) text += " File: " + fileName(id) + " opened. \n";
  return text;
}

// Every listed position gets its console line, in list order, and its file
// holds the expected rows.
void expectTransferFiles(const RunOutcome& run, const std::vector<std::string>& frequencies,
                         const ElementRows& elements) {
  EXPECT_EQ(run.exitStatus, 0);
  const std::string messages = fileMessages(elements);
  ASSERT_GE(run.output.size(), messages.size());
  EXPECT_EQ(run.output.substr(run.output.size() - messages.size()), messages) << run.output;
  for (const auto& [id, stresses] : elements) {
    SCOPED_TRACE(fileName(id));
    ASSERT_EQ(stresses.size(), frequencies.size());
    EXPECT_EQ(run.written.at(fileName(id)), unitRows(frequencies, stresses));
  }
}

const std::string k10 = "1.000000E+01", k20 = "2.000000E+01", k30 = "3.000000E+01", k40 = "4.000000E+01";
const std::string f10 = "1.0000e+001", f20 = "2.0000e+001", f30 = "3.0000e+001", f40 = "4.0000e+001";

// ---------------------------------------------------------------------------
// The typical report. Its first stress block is collected exactly when its
// frequency is accepted, so every row carries its own frequency's stress
// whether or not the first frequency is refused.

TEST(StressCollectionTypical, EveryRowPairsItsOwnFrequency) {
  const std::vector<Row> rows10And20For101 = {{"1.0000e+001", "1.4900e+009", "2.0000e+002", "2.0000e+000"},
                                              {"2.0000e+001", "9.3123e+007", "-1.0000e+002", "4.0000e+000"}};
  const std::vector<Row> rows10And20For102 = {{"1.0000e+001", "9.3123e+007", "5.0000e+001", "2.0000e+000"},
                                              {"2.0000e+001", "5.9598e+005", "8.0000e+000", "4.0000e+000"}};
  const struct {
    std::string firstFrequency;
    int diagnostic;
    std::string file101, file102;
  } cases[] = {
      // Refused: the first stress block's lines are header search lines.
      {"0.000000E+00", 21, transferRows(rows10And20For101), transferRows(rows10And20For102)},
      {"9.9999998E-04", 21, transferRows(rows10And20For101), transferRows(rows10And20For102)},
      // Accepted: the first block is collected, its lines are not counted.
      {"1.000000E+00", 12,
       transferRows({{"1.0000e+000", "2.3839e+010", "4.0000e+002", "1.0000e+000"}}) + transferRows(rows10And20For101),
       transferRows({{"1.0000e+000", "1.3410e+010", "3.0000e+002", "1.0000e+000"}}) +
           transferRows(rows10And20For102)},
      {"1.0E-03", 12,
       transferRows({{"1.0000e-003", "2.3839e+010", "4.0000e+002", "1.0000e+000"}}) + transferRows(rows10And20For101),
       transferRows({{"1.0000e-003", "1.3410e+010", "3.0000e+002", "1.0000e+000"}}) +
           transferRows(rows10And20For102)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.firstFrequency);
    RunOutcome run = runOnReport(typicalReport(c.firstFrequency), "report.rpt\n3\n1\n");
    const std::string expected =
        std::string(kBanner) + "\n\n Enter input filename \n" + " File: report.rpt opened. \n" +
        "\n Select excitation axis \n" + "  1=X  2=Y  3=Z \n" + "\n\n nodes \n" + "\n " + kAccelerationHeaderLine +
        " \n" + "\n 1\n 2\n 3" + "\n\n 3 nodes detected \n\n" + "\n What is the reference node? \n" +
        "\n\n elements \n" + "\n " + kStressHeaderLine + " \n" + " 101 \n 102 \n" +
        "\n\n 2 elements detected \n\n" + "\n ref 1 \n" +
        "\n0      PLATE STUDY                                        PAGE     1\n" +
        "\n1      FORCED RESPONSE   SUBCASE 1   AT FREQUENCY   " + c.firstFrequency + "\n" + "\n2  \n" + "\n3 " +
        kStressHeaderLine + "\n s7: " + c.firstFrequency + "\n bar stress \n" + "\n\n ref 2    i=" +
        std::to_string(c.diagnostic) + " \n" + " File: 101_stressHH.dat opened. \n" +
        " File: 102_stressHH.dat opened. \n";
    EXPECT_EQ(run.output, expected);
    EXPECT_EQ(run.exitStatus, 0);
    ASSERT_EQ(run.written.size(), 2u);
    EXPECT_EQ(run.written["101_stressHH.dat"], c.file101);
    EXPECT_EQ(run.written["102_stressHH.dat"], c.file102);
  }
}

// A frequency below 0.001 in the middle of the sweep: its acceleration block
// and its stress block are both refused, by the same single-precision test,
// and the rows stay paired. An accepted one gives a row of its own.
TEST(StressCollectionPairing, MiddleFrequencyIsRefusedOrAcceptedForBothBlocks) {
  const struct {
    std::string middle;
    bool accepted;
  } cases[] = {
      {"5.000000E-04", false},
      {"9.9999998E-04", false},  // 0.00099999993 in single precision
      {"0.000000E+00", false},
      {"NONE", false},           // no number: 0.0
      {"1.0E-03", true},
      {"9.9999999E-04", true},   // the same single-precision value as 0.001
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.middle);
    const std::string report =
        sweep({k10, c.middle, k20, k30}, stressBlock(k10, {{101, 1}, {102, 2}}) +
                                             stressBlock(c.middle, {{101, 8}, {102, 9}}) +
                                             stressBlock(k20, {{101, 3}, {102, 4}}) +
                                             stressBlock(k30, {{101, 5}, {102, 6}}));
    RunOutcome run = runOnReport(report, kAnswers);
    if (c.accepted) {
      expectTransferFiles(run, {f10, "1.0000e-003", f20, f30}, {{101, {1, 8, 3, 5}}, {102, {2, 9, 4, 6}}});
    } else {
      expectTransferFiles(run, {f10, f20, f30}, {{101, {1, 3, 5}}, {102, {2, 4, 6}}});
    }
  }
}

// A stress block's frequency line with six tokens leaves T7 as the last
// parse wrote it, and the block is collected by that token. At the first
// stress header it is the token the main scan echoes.
TEST(StressCollectionPairing, FrequencyLineWithoutSeventhToken) {
  const std::string shortLine = "";  // "... AT FREQUENCY" and nothing after it
  const struct {
    const char* name;
    std::vector<std::string> frequencies;
    std::string blocks;
    std::string echoedT7;
    std::vector<std::string> rowFrequencies;
    std::vector<int> stresses;
  } cases[] = {
      {"first block after an accepted acceleration block", {k10, k20},
       stressBlock(shortLine, {{7, 1}}) + stressBlock(k20, {{7, 2}}), k20, {f10, f20}, {1, 2}},
      {"first block after a refused acceleration block", {k10, "0.000000E+00"},
       stressBlock(shortLine, {{7, 1}}) + stressBlock(k20, {{7, 2}}), "0.000000E+00", {f10}, {2}},
      // T7 comes from the last pair's first line: 6.000000E+00.
      {"later block after a collected block", {k10, k20},
       stressBlock(k10, {{7, 1}}) + stressBlock(shortLine, {{7, 2}}), k10, {f10, f20}, {1, 2}},
      // The refused block's pairs are never parsed: T7 is its own 0.0.
      {"later block after a refused block", {k10, k20},
       stressBlock(k10, {{7, 1}}) + stressBlock("0.000000E+00", {{7, 9}}) + stressBlock(shortLine, {{7, 2}}), k10,
       {f10, f20}, {1, 0}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    RunOutcome run = runOnReport(sweep(c.frequencies, c.blocks), kAnswers);
    EXPECT_NE(run.output.find("\n s7: " + c.echoedT7 + "\n bar stress \n"), std::string::npos) << run.output;
    expectTransferFiles(run, c.rowFrequencies, {{7, c.stresses}});
  }
}

// Which column a value lands in when blocks lack elements. The column moves
// on only at the pair of the last listed element.
TEST(StressCollectionPairing, MissingElementsAndTheColumn) {
  const struct {
    const char* name;
    std::string blocks;
    ElementRows expected;
  } cases[] = {
      {"last listed element missing: the next block fills the same column",
       stressBlock(k10, {{101, 1}, {102, 2}, {103, 3}}) + stressBlock(k20, {{101, 4}, {102, 5}}) +
           stressBlock(k30, {{101, 7}, {103, 9}}),
       // Column 1 takes 101 and 102 from the 20 block, then 101 (over the
       // 4) and 103 from the 30 block; 102 keeps the 5. Column 2 is never
       // written, and the third row reads 0.0.
       {{101, {1, 7, 0}}, {102, {2, 5, 0}}, {103, {3, 9, 0}}}},
      {"an element missing while the last is present",
       stressBlock(k10, {{101, 1}, {102, 2}, {103, 3}}) + stressBlock(k20, {{101, 4}, {103, 6}}) +
           stressBlock(k30, {{101, 7}, {102, 8}, {103, 9}}),
       {{101, {1, 4, 7}}, {102, {2, 0, 8}}, {103, {3, 6, 9}}}},
      {"fewer stress blocks than frequencies", stressBlock(k10, {{101, 1}, {102, 2}, {103, 3}}),
       {{101, {1, 0, 0}}, {102, {2, 0, 0}}, {103, {3, 0, 0}}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    RunOutcome run = runOnReport(sweep({k10, k20, k30}, c.blocks), kAnswers);
    expectTransferFiles(run, {f10, f20, f30}, c.expected);
  }
}

// An identifier at two list positions: each of its pairs is stored for both,
// the column moves on when one of them is the last position, and the file
// is opened once per position.
TEST(StressCollectionPairing, IdentifierListedTwice) {
  const struct {
    const char* name;
    std::vector<long> order;
    ElementRows expected;
  } cases[] = {
      // Each block's two pairs of 7 move the column: the first block fills
      // columns 0 and 1, the second columns 2 and 3.
      {"at the last position", {7, 8, 7}, {{7, {1, 3, 4}}, {8, {0, 2, 0}}, {7, {1, 3, 4}}}},
      // The second pair of 7 overwrites the first in the same column.
      {"before the last position", {7, 7, 8}, {{7, {2, 5, 8}}, {7, {2, 5, 8}}, {8, {3, 6, 9}}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::string blocks;
    const std::string tokens[] = {k10, k20, k30};
    for (std::size_t b = 0; b < 3; ++b) {
      std::vector<ElementValues> pairs;
      for (std::size_t k = 0; k < 3; ++k) pairs.push_back({c.order[k], static_cast<double>(3 * b + k + 1)});
      blocks += stressBlock(tokens[b], pairs);
    }
    RunOutcome run = runOnReport(sweep({k10, k20, k30}, blocks), kAnswers);
    expectTransferFiles(run, {f10, f20, f30}, c.expected);
    EXPECT_EQ(run.written.size(), 2u);
  }
}

// ---------------------------------------------------------------------------
// The pair rules inside a collected block. The sweep lists 101 and 102 from
// a refused block at 0.0, then collects a block at 10 with the lines under
// test and a plain block at 20 (101: 5, 102: 6).

TEST(StressCollectionPairRules, LinesOfACollectedBlock) {
  const std::string short102 = "       102 1.000000E+00 2.000000E+00\n";
  const struct {
    const char* name;
    std::string frequencyToken;  // of the block at 10
    std::string body;
    std::vector<int> stresses101, stresses102;
  } cases[] = {
      {"plain", k10, pairLines({101, 3}) + pairLines({102, 4}), {3, 5}, {4, 6}},
      {"a second line holding MAXIMUM completes its pair and ends nothing", k10,
       pairFirstLine({101, 3}) + "      MAXIMUM  -1.000000E-01\n" + pairLines({102, 4}), {3, 5}, {4, 6}},
      {"a dropped second line is never a candidate, even with MAXIMUM on it", k10,
       pairFirstLine({101, 3}) + "      MAXIMUM\n" + pairLines({102, 4}), {0, 5}, {4, 6}},
      {"pairs not on the list store nothing and keep the column", k10,
       pairLines({101, 3}) + pairLines({999, 9}) + pairLines({102, 4}) + pairLines({555, 7}), {3, 5}, {4, 6}},
      {"VON MISES STRESS does not end a collected block", k10,
       pairLines({101, 3}) + "         VON MISES STRESS\n" + pairLines({102, 4}), {3, 5}, {4, 6}},
      {"a numeric page line in capitals is passed over", k10,
       pairLines({101, 3}) + "1    FORCED RESPONSE   SUBCASE 1   AT FREQUENCY   1.000000E+01\n" +
           pairLines({102, 4}),
       {3, 5}, {4, 6}},
      // 102 first moves the column, so 101 of this block lands in column 1,
      // where the block at 20 overwrites it.
      {"pairs in another order", k10, pairLines({102, 4}) + pairLines({101, 3}), {0, 5}, {4, 6}},
      // Three tokens: T8 still holds 101's stress.
      {"a short first line keeps T8 of the pair before", k10,
       pairLines({101, 3}) + short102 + pairSecondLine({102, 4}), {3, 5}, {3, 6}},
      // The frequency line's eighth token is the last T8 written.
      {"a short first line keeps T8 of the frequency line", k10 + " 7.000000E+00",
       "       101 1.000000E+00\n" + pairSecondLine({101, 3}) + pairLines({102, 4}), {7, 5}, {4, 6}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string report =
        sweep({"0.000000E+00", k10, k20}, stressBlock("0.000000E+00", {{101, 9}, {102, 9}}) +
                                              stressBlockWithBody(c.frequencyToken, c.body) +
                                              stressBlock(k20, {{101, 5}, {102, 6}}));
    RunOutcome run = runOnReport(report, kAnswers);
    expectTransferFiles(run, {f10, f20}, {{101, c.stresses101}, {102, c.stresses102}});
  }
}

// A pair whose lines hold a capital F and a capital S is listed by the
// element list pass but passed over by the collection, in the very same
// block; lower-case letters are no reason to pass a line over.
TEST(StressCollectionPairRules, CapitalSOrFPassedOverThoughListed) {
  auto block = [](const std::string& token, int first, int last, int lower) {
    std::string f103 = pairFirstLine({103, 9});
    std::string s103 = pairSecondLine({103, 9});
    std::string f104 = pairFirstLine({104, static_cast<double>(lower)});
    std::string s104 = pairSecondLine({104, 0});
    f103.insert(f103.size() - 1, "   F");
    s103.insert(s103.size() - 1, "   S");
    f104.insert(f104.size() - 1, "   sf");
    s104.insert(s104.size() - 1, "   sf");
    return stressBlockWithBody(token, pairLines({101, static_cast<double>(first)}) + f103 + s103 + f104 + s104 +
                                          pairLines({102, static_cast<double>(last)}));
  };
  RunOutcome run = runOnReport(sweep({k10, k20}, block(k10, 1, 3, 2) + block(k20, 4, 6, 5)), kAnswers);
  EXPECT_NE(run.output.find(" 101 \n 103 \n 104 \n 102 \n\n\n 4 elements detected \n\n"), std::string::npos)
      << run.output;
  expectTransferFiles(run, {f10, f20}, {{101, {1, 4}}, {103, {0, 0}}, {104, {2, 5}}, {102, {3, 6}}});
}

// A block without its MAXIMUM line runs on into the next block, whose header
// is never seen: the values are stored all the same, since the column moves
// at the last listed element's pair, and that block's frequency is never
// tested. The end of the report inside a block ends the pass.
TEST(StressCollectionPairRules, BlockWithoutMaximumLine) {
  const struct {
    const char* name;
    std::vector<std::string> frequencies;
    std::string blocks;
    std::vector<std::string> rowFrequencies;
    ElementRows expected;
    int diagnostic;
  } cases[] = {
      // Header search: the 10 block is collected at once; then the blank,
      // the 20 block's three lines and header (5); the 30 block is read
      // inside the 20 block; the blank (6), the 40 block's lines (10), the
      // final blank (11).
      {"the next block is read as part of it",
       {k10, k20, k30, k40},
       stressBlock(k10, {{101, 1}, {102, 2}}) + stressBlock(k20, {{101, 3}, {102, 4}}, false) +
           stressBlock(k30, {{101, 5}, {102, 6}}) + stressBlock(k40, {{101, 7}, {102, 8}}),
       {f10, f20, f30, f40},
       {{101, {1, 3, 5, 7}}, {102, {2, 4, 6, 8}}},
       11},
      // The block at 0.0 is never refused, as its header is never seen: its
      // values fill the column of 30, and the 30 block's go past the rows.
      {"the frequency of the next block is never tested",
       {k10, k20, k30},
       stressBlock(k10, {{101, 1}, {102, 2}}) + stressBlock(k20, {{101, 3}, {102, 4}}, false) +
           stressBlock("0.000000E+00", {{101, 5}, {102, 6}}) + stressBlock(k30, {{101, 7}, {102, 8}}),
       {f10, f20, f30},
       {{101, {1, 3, 5}}, {102, {2, 4, 6}}},
       11},
      {"the report ends inside the block",
       {k10, k20},
       stressBlock(k10, {{101, 1}, {102, 2}}) + stressBlock(k20, {{101, 3}, {102, 4}}, false),
       {f10, f20},
       {{101, {1, 3}}, {102, {2, 4}}},
       5},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    RunOutcome run = runOnReport(sweep(c.frequencies, c.blocks), kAnswers);
    expectTransferFiles(run, c.rowFrequencies, c.expected);
    EXPECT_EQ(diagnosticOf(run), std::to_string(c.diagnostic));
  }
}

// ---------------------------------------------------------------------------
// The closing diagnostic: the lines of the header search, header lines
// included; the lines of a collected block are not counted, those of a
// refused block are.

TEST(StressCollectionDiagnostic, CountsHeaderSearchLinesOnly) {
  const struct {
    const char* name;
    std::string report;
    int diagnostic;
    ElementRows expected;
  } cases[] = {
      // The blank after the only block.
      {"a single stress block", sweep({k10}, stressBlock(k10, {{7, 1}})), 1, {{7, {1}}}},
      // Blank (1), the 0.0 block's three lines and header (5), its four
      // lines, pair, MAXIMUM and blank (13), the 20 block's lines (17), and
      // the final blank (18).
      {"a refused block in the middle",
       sweep({k10, "0.000000E+00", k20},
             stressBlock(k10, {{7, 1}}) + stressBlock("0.000000E+00", {{7, 9}}) + stressBlock(k20, {{7, 2}})),
       18,
       {{7, {1, 2}}}},
      // Stop markers and acceleration blocks mean nothing after the first
      // stress header: blank (1), the marker (2), the acceleration block
      // of 30 with one record (13), the 20 block's lines (17), blank (18).
      {"a stop marker and an acceleration block in the search",
       sweep({k10, k20}, stressBlock(k10, {{7, 1}}) + "     TOTAL WARNINGS =     0\n" +
                             accelerationBlock(k30, {{1, 0.0, 0.0, 1.0}}) + stressBlock(k20, {{7, 2}})),
       18,
       {{7, {1, 2}}}},
      // No element listed: the blocks are still collected, so only the blank
      // (1), the 20 block's lines (5) and the final blank (6) are counted.
      {"no element listed",
       sweep({k10, k20}, stressBlock(k10, {}) + stressBlock(k20, {{7, 2}})), 6, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    RunOutcome run = runOnReport(c.report, kAnswers);
    EXPECT_EQ(diagnosticOf(run), std::to_string(c.diagnostic)) << run.output;
    EXPECT_EQ(run.written.size(), c.expected.size());
    std::vector<std::string> frequencies = {f10, f20};
    if (!c.expected.empty()) frequencies.resize(c.expected.front().second.size());
    expectTransferFiles(run, frequencies, c.expected);
  }
}

// The header search reads at most 5,000,000 lines after the first stress
// header; a header read as the last of them is still collected. The first
// block carries 1000 lines of its own, which are not counted.
TEST(StressCollectionDiagnostic, HeaderSearchBound) {
  const std::string firstBlock =
      stressBlockWithBody(k10, pairLines({7, 1}) + [] {
        std::string lines;
        for (int i = 0; i < 1000; ++i) lines += "-\n";
        return lines;
      }());
  const struct {
    int filler;        // lines between the first block and the next
    int diagnostic;
    int lastStress;    // 0: the second block is not collected
  } cases[] = {
      // After the first block: its blank line, the filler, the next block's
      // three lines, then its header.
      {4'999'990, 4'999'996, 2},  // header at 4,999,995; then the blank
      {4'999'995, 5'000'000, 2},  // header at 5,000,000: the last line read
      {4'999'996, 5'000'000, 0},  // header at 5,000,001: never read
  };
  std::string filler;
  filler.reserve(2 * 5'000'000);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.filler);
    filler.clear();
    for (int i = 0; i < c.filler; ++i) filler += "x\n";
    RunOutcome run = runOnReport(sweep({k10, k20}, firstBlock + filler + stressBlock(k20, {{7, 2}})), kAnswers);
    EXPECT_EQ(diagnosticOf(run), std::to_string(c.diagnostic));
    expectTransferFiles(run, {f10, f20}, {{7, {1, c.lastStress}}});
  }
}

// ---------------------------------------------------------------------------
// Past the nominal capacities nothing is dropped.

// The fields of one row of a transfer file, checked apart; the transfer
// value to the five digits written.
void expectRow(const std::string& row, double frequency, double stress, double acceleration) {
  ASSERT_EQ(row.size(), 56u);
  auto padded = [](const std::string& text) { return std::string(12 - text.size(), ' ') + text; };
  EXPECT_EQ(row.substr(0, 1), " ");
  EXPECT_EQ(row.substr(1, 12), padded(field(frequency)));
  EXPECT_EQ(row.substr(27, 12), padded(field(stress)));
  EXPECT_EQ(row.substr(40, 12), padded(field(acceleration)));
  EXPECT_EQ(row.substr(52), "  \r\n");
  const double transfer = std::strtod(row.substr(14, 12).c_str(), nullptr);
  const double exact = std::pow(stress / acceleration, 2.0) * 148996.0;
  EXPECT_NEAR(transfer, exact, exact * 5e-5) << row;
}

TEST(StressCollectionCapacity, MoreElementsThanTheNominalList) {
  for (int count : {150, 250}) {
    SCOPED_TRACE(count);
    const std::string tokens[] = {k10, k20, k30};
    std::string blocks;
    for (int b = 0; b < 3; ++b) {
      std::vector<ElementValues> elements;
      for (int k = 1; k <= count; ++k) elements.push_back({1000 + k, 1000.0 * (b + 1) + k});
      blocks += stressBlock(tokens[b], elements);
    }
    std::string report;
    for (int b = 0; b < 3; ++b) report += accelerationBlock(tokens[b], {{1, 0.0, 0.0, 2.0 + b}});
    RunOutcome run = runOnReport(report + blocks, kAnswers);
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_NE(run.output.find("\n\n " + std::to_string(count) + " elements detected \n\n"), std::string::npos);
    std::string messages;
    for (int k = 1; k <= count; ++k) messages += " File: " + fileName(1000 + k) + " opened. \n";
    EXPECT_EQ(run.output.substr(run.output.size() - messages.size()), messages);
    ASSERT_EQ(run.written.size(), static_cast<std::size_t>(count));
    for (int k = 1; k <= count; ++k) {
      SCOPED_TRACE(1000 + k);
      const std::string& file = run.written[fileName(1000 + k)];
      ASSERT_EQ(file.size(), 3u * 56u);
      for (std::size_t b = 0; b < 3; ++b) {
        const double n = static_cast<double>(b + 1);
        expectRow(file.substr(56 * b, 56), 10.0 * n, 1000.0 * n + k, 1.0 + n);
      }
    }
  }
}

// More frequencies than stress blocks, two elements each: every row right,
// past column 2000 and past 10000 frequencies too, and the rows past the
// last column written read 0.0.
TEST(StressCollectionCapacity, MoreColumnsThanTheNominalTable) {
  const struct {
    int frequencies;
    int stressBlocks;
  } cases[] = {{2100, 2080}, {10100, 10050}};
  auto token = [](int i) {
    char text[32];
    std::snprintf(text, sizeof text, "%.6E", static_cast<double>(i));
    return std::string(text);
  };
  auto acceleration = [](int i) { return 1.0 + 0.25 * (i % 4); };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.frequencies);
    std::string report;
    for (int i = 1; i <= c.frequencies; ++i) report += accelerationBlock(token(i), {{1, 0.0, 0.0, acceleration(i)}});
    for (int i = 1; i <= c.stressBlocks; ++i) report += stressBlock(token(i), {{7, static_cast<double>(i)}, {8, -2.0 * i}});
    RunOutcome run = runOnReport(report, kAnswers);
    EXPECT_EQ(run.exitStatus, 0);
    const std::string messages = " File: 7_stressHH.dat opened. \n File: 8_stressHH.dat opened. \n";
    EXPECT_EQ(run.output.substr(run.output.size() - messages.size()), messages);
    ASSERT_EQ(run.written.size(), 2u);
    const std::string& file7 = run.written["7_stressHH.dat"];
    const std::string& file8 = run.written["8_stressHH.dat"];
    const std::size_t rows = static_cast<std::size_t>(c.frequencies);
    ASSERT_EQ(file7.size(), 56 * rows);
    ASSERT_EQ(file8.size(), 56 * rows);
    for (int i = 1; i <= c.frequencies; ++i) {
      SCOPED_TRACE(i);
      const bool stored = i <= c.stressBlocks;
      const std::size_t at = 56 * static_cast<std::size_t>(i - 1);
      expectRow(file7.substr(at, 56), i, stored ? i : 0.0, acceleration(i));
      expectRow(file8.substr(at, 56), i, stored ? -2.0 * i : 0.0, acceleration(i));
      if (HasFailure()) break;
    }
  }
}

}  // namespace
}  // namespace quarvel::test
