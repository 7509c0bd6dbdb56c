// End-to-end tests of the dialogue and the main scan: the prompts and their
// answers, the open messages, stop markers, the window echo at the first
// stress header, the scan bound and the closing diagnostic.
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "tests/e2e_harness.h"
#include "tests/report_builder.h"

namespace quarvel::test {
namespace {

std::string opening(const std::string& reportName = "report.rpt") {
  return std::string(kBanner) + "\n\n Enter input filename \n" + " File: " + reportName + " opened. \n" +
         "\n Select excitation axis \n" + "  1=X  2=Y  3=Z \n";
}
const std::string kNodePrompt = "\n What is the reference node? \n";

TEST(Dialogue, TypicalReportGoldenRun) {
  RunOutcome run = runOnReport(typicalReport(), "report.rpt\n3\n1\n");
  const std::string expected =
      opening() + "\n\n nodes \n" + "\n " + kAccelerationHeaderLine + " \n" + "\n 1\n 2\n 3" +
      "\n\n 3 nodes detected \n\n" + kNodePrompt + "\n\n elements \n" + "\n " + kStressHeaderLine + " \n" +
      " 101 \n 102 \n" + "\n\n 2 elements detected \n\n" + "\n ref 1 \n" +
      "\n0      PLATE STUDY                                        PAGE     1\n" +
      "\n1      FORCED RESPONSE   SUBCASE 1   AT FREQUENCY   0.000000E+00\n" + "\n2  \n" + "\n3 " +
      kStressHeaderLine + "\n s7: 0.000000E+00" + "\n bar stress \n" + "\n\n ref 2    i=21 \n" +
      " File: 101_stressHH.dat opened. \n" + " File: 102_stressHH.dat opened. \n";
  EXPECT_EQ(run.output, expected);
  EXPECT_EQ(run.exitStatus, 0);
  ASSERT_EQ(run.written.size(), 2u);
  EXPECT_EQ(run.written["101_stressHH.dat"], typicalTransferFile(101));
  EXPECT_EQ(run.written["102_stressHH.dat"], typicalTransferFile(102));
}

TEST(Dialogue, ReportWithoutHeadersEndsWithDiagnosticZero) {
  RunOutcome run = runOnReport("first line\nsecond line\n", "report.rpt\n3\n1\n");
  EXPECT_EQ(run.output, opening() + "\n\n nodes \n" + kNodePrompt + "\n\n elements \n" + "\n ref 1 \n" +
                            "\n\n ref 2    i=0 \n");
  EXPECT_EQ(run.exitStatus, 0);
  EXPECT_TRUE(run.written.empty());
}

// The answers are tokens: how they are typed does not matter, and a word
// where a number belongs leaves both numbers at 0.
TEST(Dialogue, AnswersAreReadAsTokens) {
  const std::string rowsAxis3Node1 = typicalTransferFile(101);
  const std::string rowsAxis1Node2 =
      transferRows({{"1.0000e+001", "6.6220e+010", "2.0000e+002", "3.0000e-001"},
                    {"2.0000e+001", "1.6555e+010", "-1.0000e+002", "3.0000e-001"}});
  const struct {
    std::string answers;
    std::string rows;
  } cases[] = {
      {"report.rpt\n3\n1\n", rowsAxis3Node1},
      {"report.rpt 3 1\n", rowsAxis3Node1},             // all on one line
      {"\n\n  report.rpt\n\n 3\n\t1", rowsAxis3Node1},  // blank lines answer nothing; no final line feed
      {"report.rpt\n+1 +2\n", rowsAxis1Node2},          // signs are part of a number
      {"report.rpt x\n3\n1\n", ""},                     // "x" answers the axis: both stay 0
      {"report.rpt\n3\n", ""},                          // input ends: the node stays 0
      {"report.rpt\n-\n", ""},                          // a lone sign is no number
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.answers);
    RunOutcome run = runOnReport(typicalReport(), c.answers);
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(run.written["101_stressHH.dat"], c.rows);
    EXPECT_NE(run.output.find(kNodePrompt + "\n\n elements \n"), std::string::npos);
  }
}

TEST(Dialogue, ReportThatCannotBeOpenedEndsTheRun) {
  Sandbox sandbox;
  std::filesystem::create_directory(sandbox.dir() / "folder.rpt");
  const std::string longName(5000, 'n');
  const struct {
    std::string answers;
    std::string name;
  } cases[] = {
      {"missing.rpt\n3\n1\n", "missing.rpt"},
      {"folder.rpt\n3\n1\n", "folder.rpt"},  // a directory opens, but is no report
      {longName + "\n3\n1\n", longName},      // any length is taken whole
      {"", ""},                               // no answer at all
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name.substr(0, 20));
    RunOutcome run = sandbox.run(c.answers);
    EXPECT_EQ(run.output, std::string(kBanner) + "\n\n Enter input filename \n" + " Failed to open file: " +
                              c.name + " \n");
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_TRUE(run.written.empty());
  }
}

TEST(Dialogue, UnreadableReportEndsTheRun) {
  if (geteuid() == 0) GTEST_SKIP() << "root reads any file";
  Sandbox sandbox;
  sandbox.writeFile("locked.rpt", typicalReport());
  std::filesystem::permissions(sandbox.dir() / "locked.rpt", std::filesystem::perms::none);
  RunOutcome run = sandbox.run("locked.rpt 3 1\n");
  EXPECT_EQ(run.output, std::string(kBanner) + "\n\n Enter input filename \n" +
                            " Failed to open file: locked.rpt \n");
  EXPECT_EQ(run.exitStatus, 1);
}

// A read error in the middle of the report is not taken for its end: the
// run says so, keeps earlier transfer files and exits 1.
TEST(Dialogue, ReadErrorIsReportedNotTakenForTheEnd) {
  Sandbox sandbox;
  RunOutcome run = sandbox.run("/proc/self/mem 3 1\n");  // opens, but reading offset 0 fails
  EXPECT_NE(run.output.find(" File: /proc/self/mem opened. \n"), std::string::npos);
  EXPECT_NE(run.output.find(" Failed to read file: /proc/self/mem \n"), std::string::npos);
  EXPECT_EQ(run.exitStatus, 1);
  EXPECT_TRUE(run.written.empty());
}

TEST(Dialogue, StopMarkerEndsTheMainScan) {
  const std::string report = accelerationBlock("1.000000E+01", {{1, 0.0, 0.0, 2.0}}) +
                             "     TOTAL FATAL ERRORS = 0\n" + stressBlock("1.000000E+01", {{7, 10.0}}) +
                             stressBlock("2.000000E+01", {{7, 20.0}});
  RunOutcome run = runOnReport(report, "report.rpt 3 1\n");
  // Lines the block's reader takes are not counted: the scan read title,
  // frequency line, blank, header, the rest of the last record's line and
  // a blank before the marker.
  EXPECT_NE(run.output.find("\n ref 1 \n\n\nb0:      TOTAL FATAL ERRORS = 0\n\n\n ref 2    i=6 \n"),
            std::string::npos)
      << run.output;
  EXPECT_EQ(run.written["7_stressHH.dat"],
            transferRows({{"1.0000e+001", "0.0000e+000", "0.0000e+000", "2.0000e+000"}}));
}

TEST(Dialogue, WarningsMarkerAlsoStopsAndWinsOverAHeaderOnItsLine) {
  const std::string report = accelerationBlock("1.000000E+01", {{1, 0.0, 0.0, 2.0}}) +
                             "TOTAL WARNINGS" + kAccelerationHeaderLine +
                             stressBlock("1.000000E+01", {{7, 10.0}});
  RunOutcome run = runOnReport(report, "report.rpt 3 1\n");
  EXPECT_NE(run.output.find("\n\nb0: TOTAL WARNINGS" + kAccelerationHeaderLine + "\n\n ref 2    i=6 \n"),
            std::string::npos)
      << run.output;
  EXPECT_EQ(run.written["7_stressHH.dat"].size(), 56u);  // the block after the marker is never read
}

// A stress header on the report's first line: the window shows what the
// element list pass left in it, and T7 comes from its last pair.
TEST(Dialogue, WindowEchoOnTheFirstLineShowsLinesLeftByTheListing) {
  const std::string report = kStressHeaderLine + "\n" + accelerationBlock("1.000000E+01", {{1, 0.0, 0.0, 2.0}}) +
                             stressBlock("1.000000E+01", {{7, 10.0}, {8, 11.0}});
  RunOutcome run = runOnReport(report, "report.rpt 3 1\n");
  const std::string lastSecondLine = pairLines({8, 11.0}).substr(pairLines({8, 11.0}).find('\n') + 1);
  const std::string expectedEcho = "\n ref 1 \n" + std::string("\n0 ") + lastSecondLine + "\n1  \n" + "\n2 " +
                                   kStressHeaderLine + "\n3 " + kStressHeaderLine + "\n s7: 6.000000E+00" +
                                   "\n bar stress \n";
  EXPECT_NE(run.output.find(expectedEcho), std::string::npos) << run.output;
}

TEST(Dialogue, MainScanStopsAfterTwoMillionLines) {
  std::string report = accelerationBlock("1.000000E+01", {{1, 0.0, 0.0, 2.0}});
  report.reserve(report.size() + 4'200'000);
  for (int i = 0; i < 2'000'100; ++i) report += "x\n";
  report += stressBlock("1.000000E+01", {{7, 10.0}});
  RunOutcome run = runOnReport(report, "report.rpt 3 1\n");
  EXPECT_NE(run.output.find("\n ref 1 \n\n\n ref 2    i=2000000 \n"), std::string::npos);
  EXPECT_EQ(run.written["7_stressHH.dat"],
            transferRows({{"1.0000e+001", "0.0000e+000", "0.0000e+000", "2.0000e+000"}}));
}

}  // namespace
}  // namespace quarvel::test

namespace quarvel::test {
namespace {

// The bundled example against the output kept with the tests: the whole
// dialogue and all four transfer files, byte for byte.
TEST(Dialogue, BundledExampleMatchesItsKeptOutput) {
  const std::string kept = std::string(QUARVEL_FIXTURES) + "/plate/";
  RunOutcome run = runOnReport(slurp(std::string(QUARVEL_EXAMPLES) + "/plate.rpt"), "report.rpt\n3\n1\n");
  EXPECT_EQ(run.output, slurp(kept + "stdout.txt"));
  EXPECT_EQ(run.exitStatus, 0);
  ASSERT_EQ(run.written.size(), 4u);
  for (const char* name : {"101_stressHH.dat", "102_stressHH.dat", "103_stressHH.dat", "104_stressHH.dat"})
    EXPECT_EQ(run.written[name], slurp(kept + name)) << name;
}

}  // namespace
}  // namespace quarvel::test
