// libFuzzer target: one whole analysis per input, through the product's own
// runAnalysis, in a private working directory.
//
// Input layout: the bytes before the first NUL (at most 64) are typed after
// the report name, as the axis and reference node answers; everything after
// that NUL is the report. Without a NUL the answers are "3 1" and the whole
// input is the report.
#include <dirent.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "control/run_driver.h"

namespace {

char workDir[] = "/tmp/quarvel-fuzz-XXXXXX";

void removeWrittenFiles() {
  DIR* dir = opendir(".");
  if (dir == nullptr) return;
  while (dirent* entry = readdir(dir)) {
    if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0) unlink(entry->d_name);
  }
  closedir(dir);
}

bool writeFile(const char* name, const uint8_t* data, size_t size) {
  std::FILE* file = std::fopen(name, "wb");
  if (file == nullptr) return false;
  bool ok = std::fwrite(data, 1, size, file) == size;
  return std::fclose(file) == 0 && ok;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  if (mkdtemp(workDir) == nullptr || chdir(workDir) != 0) std::abort();
  if (std::freopen("/dev/null", "w", stdout) == nullptr) std::abort();  // the dialogue goes nowhere
  std::atexit([] {
    removeWrittenFiles();
    if (chdir("/") == 0) rmdir(workDir);
  });
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const uint8_t* split = static_cast<const uint8_t*>(std::memchr(data, 0, size < 65 ? size : 65));
  std::string answers = "r.rpt ";
  const uint8_t* report = data;
  if (split != nullptr) {
    answers.append(reinterpret_cast<const char*>(data), static_cast<size_t>(split - data));
    report = split + 1;
  } else {
    answers += "3 1\n";
  }
  size_t reportSize = size - static_cast<size_t>(report - data);
  if (!writeFile("r.rpt", report, reportSize) ||
      !writeFile("answers", reinterpret_cast<const uint8_t*>(answers.data()), answers.size()))
    std::abort();
  if (std::freopen("answers", "rb", stdin) == nullptr) std::abort();

  quarvel::resetRunState();
  quarvel::runAnalysis();
  std::fflush(stdout);
  removeWrittenFiles();
  return 0;
}
