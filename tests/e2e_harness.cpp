// End-to-end harness. See e2e_harness.h.
#include "tests/e2e_harness.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace quarvel::test {

namespace fs = std::filesystem;

std::string slurp(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

namespace {

// Drops the credit line: the text between the banner and the first prompt.
std::string withoutCreditLine(const std::string& output) {
  const std::string banner = kBanner;
  const std::string prompt = "\n\n Enter input filename \n";
  if (output.compare(0, banner.size(), banner) != 0) return output;
  std::size_t next = output.find(prompt, banner.size());
  if (next == std::string::npos) return output;
  return banner + output.substr(next);
}

}  // namespace

Sandbox::Sandbox() {
  std::string pattern = (fs::temp_directory_path() / "quarvel-e2e-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  root_ = pattern;
  work_ = root_ / "work";
  fs::create_directory(work_);
}

Sandbox::~Sandbox() {
  std::error_code ignored;
  fs::permissions(work_, fs::perms::owner_all, fs::perm_options::add, ignored);
  fs::remove_all(root_, ignored);
}

void Sandbox::writeFile(const std::string& name, const std::string& content) {
  std::ofstream out(work_ / name, std::ios::binary);
  out << content;
  before_[name] = content;
}

std::string Sandbox::readFile(const std::string& name) const { return slurp(work_ / name); }

RunOutcome Sandbox::run(const std::string& answers) {
  const fs::path input = root_ / "stdin.txt";
  const fs::path output = root_ / "stdout.txt";
  {
    std::ofstream in(input, std::ios::binary);
    in << answers;
  }
  pid_t child = fork();
  if (child < 0) throw std::runtime_error("fork failed");
  if (child == 0) {
    int in = open(input.c_str(), O_RDONLY);
    int out = open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (in < 0 || out < 0 || dup2(in, 0) < 0 || dup2(out, 1) < 0 || chdir(work_.c_str()) != 0) _exit(127);
    execl(QUARVEL_BINARY, "quarvel", static_cast<char*>(nullptr));
    _exit(127);
  }
  int status = 0;
  waitpid(child, &status, 0);

  RunOutcome outcome;
  outcome.output = withoutCreditLine(slurp(output));
  outcome.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  for (const auto& entry : fs::directory_iterator(work_)) {
    if (!entry.is_regular_file() || entry.is_symlink()) continue;
    std::string name = entry.path().filename().string();
    std::string content = slurp(entry.path());
    auto prior = before_.find(name);
    if (prior == before_.end() || prior->second != content) outcome.written[name] = content;
  }
  return outcome;
}

std::string diagnosticOf(const RunOutcome& run) {
  const std::string marker = "\n\n ref 2    i=";
  std::size_t at = run.output.rfind(marker);
  if (at == std::string::npos) return "(none)";
  std::size_t end = run.output.find(" \n", at + marker.size());
  return run.output.substr(at + marker.size(), end - at - marker.size());
}

RunOutcome runOnReport(const std::string& report, const std::string& answers) {
  Sandbox sandbox;
  sandbox.writeFile("report.rpt", report);
  return sandbox.run(answers);
}

}  // namespace quarvel::test
