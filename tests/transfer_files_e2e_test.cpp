// End-to-end tests of the transfer files: names, sizes, repeated
// identifiers, empty files, and files that cannot be created or written.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "tests/e2e_harness.h"
#include "tests/report_builder.h"

namespace quarvel::test {
namespace {

namespace fs = std::filesystem;

// Every row 56 bytes, ending in its one CR LF.
void expectWellFormedRows(const std::string& file) {
  ASSERT_EQ(file.size() % 56, 0u);
  EXPECT_EQ(static_cast<std::size_t>(std::count(file.begin(), file.end(), '\r')), file.size() / 56);
  for (std::size_t at = 0; at < file.size(); at += 56) EXPECT_EQ(file.substr(at + 52, 4), "  \r\n");
}

TEST(TransferFiles, OneFilePerListPositionInListOrder) {
  const std::string report = accelerationBlock("1.000000E+01", {{1, 0.0, 0.0, 2.0}}) +
                             accelerationBlock("2.000000E+01", {{1, 0.0, 0.0, 4.0}}) +
                             stressBlock("1.000000E+01", {{7, 10.0}, {-5, 1.0}, {7, 10.0}, {9, 0.5}}) +
                             stressBlock("2.000000E+01", {{7, 20.0}, {-5, 2.0}, {7, 20.0}, {9, 0.5}});
  RunOutcome run = runOnReport(report, "report.rpt 3 1\n");
  EXPECT_NE(run.output.find(" File: 7_stressHH.dat opened. \n File: -5_stressHH.dat opened. \n"
                            " File: 7_stressHH.dat opened. \n File: 9_stressHH.dat opened. \n"),
            std::string::npos);
  EXPECT_EQ(run.exitStatus, 0);
  ASSERT_EQ(run.written.size(), 3u);  // 7 is written twice, the second time over the first
  EXPECT_EQ(run.written["7_stressHH.dat"],
            transferRows({{"1.0000e+001", "3.7249e+006", "1.0000e+001", "2.0000e+000"},
                          {"2.0000e+001", "3.7249e+006", "2.0000e+001", "4.0000e+000"}}));
  EXPECT_EQ(run.written["-5_stressHH.dat"],
            transferRows({{"1.0000e+001", "3.7249e+004", "1.0000e+000", "2.0000e+000"},
                          {"2.0000e+001", "3.7249e+004", "2.0000e+000", "4.0000e+000"}}));
  expectWellFormedRows(run.written["7_stressHH.dat"]);
}

TEST(TransferFiles, NoFrequencyGivesEmptyFilesAndAnOldFileIsReplaced) {
  Sandbox sandbox;
  sandbox.writeFile("101_stressHH.dat", "rows of an earlier run\n");
  sandbox.writeFile("other.dat", "left alone\n");
  sandbox.writeFile("report.rpt", typicalReport());
  RunOutcome run = sandbox.run("report.rpt 3 99\n");  // no node 99: no frequency entry
  EXPECT_EQ(run.exitStatus, 0);
  ASSERT_EQ(run.written.size(), 2u);
  EXPECT_EQ(run.written["101_stressHH.dat"], "");
  EXPECT_EQ(run.written["102_stressHH.dat"], "");
  EXPECT_EQ(sandbox.readFile("other.dat"), "left alone\n");
}

TEST(TransferFiles, AxisOutsideOneToThreeWritesInfinityAndNan) {
  const std::string report = accelerationBlock("1.000000E+01", {{1, 0.5, 0.5, 2.0}}) +
                             accelerationBlock("2.000000E+01", {{1, 0.5, 0.5, 4.0}}) +
                             stressBlock("1.000000E+01", {{7, 10.0}}) + stressBlock("2.000000E+01", {{7, 0.0}});
  RunOutcome run = runOnReport(report, "report.rpt 4 1\n");
  EXPECT_EQ(run.written["7_stressHH.dat"],
            transferRows({{"1.0000e+001", "inf", "1.0000e+001", "0.0000e+000"},
                          {"2.0000e+001", "nan", "0.0000e+000", "0.0000e+000"}}));
  expectWellFormedRows(run.written["7_stressHH.dat"]);
}

// A file that cannot be created or written is reported, the other files are
// still written, and the run's exit status says it failed.
TEST(TransferFiles, FailuresAreReportedAndTheOtherFilesWritten) {
  const struct {
    const char* name;
    void (*block)(const fs::path& file);
    const char* message;
  } cases[] = {
      {"a directory in the way", [](const fs::path& file) { fs::create_directory(file); },
       " Failed to open file: 101_stressHH.dat \n"},
      {"a full disk", [](const fs::path& file) { fs::create_symlink("/dev/full", file); },
       " File: 101_stressHH.dat opened. \n Failed to write file: 101_stressHH.dat \n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Sandbox sandbox;
    sandbox.writeFile("report.rpt", typicalReport());
    c.block(sandbox.dir() / "101_stressHH.dat");
    RunOutcome run = sandbox.run("report.rpt 3 1\n");
    EXPECT_NE(run.output.find(std::string("\n ref 2    i=21 \n") + c.message + " File: 102_stressHH.dat opened. \n"),
              std::string::npos)
        << run.output;
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_EQ(run.written["102_stressHH.dat"].size(), 112u);
  }
}

TEST(TransferFiles, ManyRowsGoOutWhole) {
  // More rows than one write holds: the file must still be exact.
  std::string report;
  const int frequencies = 2500;
  for (int i = 1; i <= frequencies; ++i) report += accelerationBlock(solverReal(i), {{1, 0.0, 0.0, 1.0}});
  for (int i = 1; i <= frequencies; ++i) report += stressBlock(solverReal(i), {{3, 2.0 * i}});
  RunOutcome run = runOnReport(report, "report.rpt 3 1\n");
  const std::string& file = run.written["3_stressHH.dat"];
  ASSERT_EQ(file.size(), 56u * frequencies);
  expectWellFormedRows(file);
  EXPECT_EQ(file.substr(56 * 2499, 56), "  2.5000e+003  3.7249e+012  5.0000e+003  1.0000e+000  \r\n");
}

}  // namespace
}  // namespace quarvel::test
