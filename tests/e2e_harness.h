// End-to-end harness: runs the real quarvel binary in a fresh temporary
// directory with the given standard input, and hands back its standard
// output, exit status and every file it left in that directory.
#pragma once

#include <filesystem>
#include <map>
#include <string>

namespace quarvel::test {

struct RunOutcome {
  std::string output;                          // standard output, credit line removed
  int exitStatus = -1;
  std::map<std::string, std::string> written;  // files created or changed by the run
};

// A private working directory, removed with the object.
class Sandbox {
 public:
  Sandbox();
  ~Sandbox();
  Sandbox(const Sandbox&) = delete;
  Sandbox& operator=(const Sandbox&) = delete;

  const std::filesystem::path& dir() const { return work_; }
  void writeFile(const std::string& name, const std::string& content);
  std::string readFile(const std::string& name) const;

  // Runs quarvel here with `answers` on standard input (then end of input).
  RunOutcome run(const std::string& answers);

 private:
  std::filesystem::path root_;
  std::filesystem::path work_;
  std::map<std::string, std::string> before_;  // files written by the test
};

// The value of the closing diagnostic "ref 2    i=N" in a run's output, or
// "(none)" when the run did not get that far.
std::string diagnosticOf(const RunOutcome& run);

// The whole content of a file.
std::string slurp(const std::filesystem::path& path);

// One call: a sandbox holding `report.rpt`, answered with `answers`.
RunOutcome runOnReport(const std::string& report, const std::string& answers);

// The driver's fixed banner, as it opens standard output.
inline constexpr const char* kBanner = "\n\n quarvel  ver 1.0    08/19/2004";

}  // namespace quarvel::test
