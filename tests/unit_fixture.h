// For unit tests of the report stream and the units above it: puts a text
// in a temporary file, opens it as the report, and clears the shared window
// and token slots so that each test starts from a fresh run's state.
#pragma once

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

#include "control/line_window.h"
#include "control/report_stream.h"
#include "control/token_slots.h"

namespace quarvel::test {

class ReportText {
 public:
  explicit ReportText(const std::string& content) {
    std::string pattern = (std::filesystem::temp_directory_path() / "quarvel-unit-XXXXXX").string();
    int fd = mkstemp(pattern.data());
    if (fd < 0) throw std::runtime_error("mkstemp failed");
    close(fd);
    path_ = pattern;
    std::ofstream(path_, std::ios::binary) << content;
    lineWindow = LineWindow{};
    tokenSlots = TokenSlots{};
    if (!openReport(path_.c_str())) throw std::runtime_error("openReport failed");
  }
  ~ReportText() {
    closeReport();
    std::error_code ignored;
    std::filesystem::remove(path_, ignored);
  }
  ReportText(const ReportText&) = delete;
  ReportText& operator=(const ReportText&) = delete;

 private:
  std::filesystem::path path_;
};

inline LineSlot lineOf(const std::string& text) {
  LineSlot slot;
  std::size_t n = text.size() < kLineSlotSize - 1 ? text.size() : kLineSlotSize - 1;
  text.copy(slot.text, n);
  slot.text[n] = '\0';
  slot.length = static_cast<std::uint8_t>(std::string(slot.text).size());
  return slot;
}

}  // namespace quarvel::test
