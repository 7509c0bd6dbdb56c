// Micro-benchmarks of the hot units, each on data shaped like a real report,
// so that a change to one of them can be judged alone:
//   bench/hot_units_bench [--benchmark_filter=...]
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "control/line_window.h"
#include "control/report_markers.h"
#include "control/report_stream.h"
#include "control/token_slots.h"
#include "output/number_field.h"
#include "readers/node_record.h"

namespace {

using namespace quarvel;

const char* kPairLine =
    "        101   1.200000E+02   6.000000E+01  -6.000000E+01  -1.200000E+02   1.200000E+01   1.080000E+02"
    "   5.400000E+01  -5.400000E+01\n";
const char* kRecord =
    "            1       1   2.000000E-02   1.000000E-02   1.000000E+00   1.000000E-03  -2.000000E-03   0.000000E+00\n"
    "                        0.000000E+00   0.000000E+00   0.000000E+00   0.000000E+00  -0.000000E+00   0.000000E+00\n";

// A scratch report of `count` copies of `text`, opened as the report.
class ScratchReport {
 public:
  ScratchReport(const std::string& text, std::size_t count) {
    path_ = std::filesystem::temp_directory_path() / ("quarvel-bench-" + std::to_string(getpid()));
    std::ofstream out(path_, std::ios::binary);
    for (std::size_t i = 0; i < count; ++i) out << text;
    out.close();
    openReport(path_.c_str());
  }
  ~ScratchReport() {
    closeReport();
    std::filesystem::remove(path_);
  }
  ScratchReport(const ScratchReport&) = delete;
  ScratchReport& operator=(const ScratchReport&) = delete;

 private:
  std::filesystem::path path_;
};

void BM_LineRead(benchmark::State& state) {
  ScratchReport report(kPairLine, 100000);
  std::size_t lines = 0;
  for (auto _ : state) {
    if (!advance()) {
      rewindReport();
      continue;
    }
    ++lines;
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(lines));
  state.SetBytesProcessed(static_cast<std::int64_t>(lines * std::char_traits<char>::length(kPairLine)));
}
BENCHMARK(BM_LineRead);

LineSlot slotOf(const char* text) {
  LineSlot line{};
  std::size_t length = std::char_traits<char>::length(text);
  std::copy(text, text + length, line.text);
  line.length = static_cast<std::uint8_t>(length);
  return line;
}

void BM_MainScanMarkers(benchmark::State& state) {
  const LineSlot line = slotOf(kPairLine);
  for (auto _ : state) {
    bool any = containsMarker(line, kStopWarnings) || containsMarker(line, kStopFatalErrors) ||
               containsMarker(line, kAccelerationHeader) || containsMarker(line, kStressHeader);
    benchmark::DoNotOptimize(any);
  }
}
BENCHMARK(BM_MainScanMarkers);

void BM_PairLineTests(benchmark::State& state) {
  const LineSlot line = slotOf(kPairLine);
  for (auto _ : state) {
    bool pair = !containsMarker(line, kMaximumMarker) && isNumericLine(line) &&
                std::memchr(line.text, 'S', line.length) == nullptr && std::memchr(line.text, 'F', line.length) == nullptr;
    benchmark::DoNotOptimize(pair);
  }
}
BENCHMARK(BM_PairLineTests);

void BM_PairParse(benchmark::State& state) {
  const LineSlot line = slotOf(kPairLine);
  for (auto _ : state) {
    parsePairLine(line);
    benchmark::DoNotOptimize(integerValue(tokenSlots.token(1)) + realValue(tokenSlots.token(8)));
  }
}
BENCHMARK(BM_PairParse);

void BM_RecordRead(benchmark::State& state) {
  ScratchReport report(kRecord, 100000);
  std::size_t records = 0;
  for (auto _ : state) {
    if (readRecordFirstPart(-1) != kFirstReadFields) {  // not the reference node: the common record
      rewindReport();
      continue;
    }
    readRecordSecondPart();
    ++records;
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(records));
}
BENCHMARK(BM_RecordRead);

void BM_NumberField(benchmark::State& state) {
  const double values[] = {1.0e1, 1.4899600e9, -2.768912e1, 1.0, 3.7249e8, 0.0, 6.5536e-5, 1.00125};
  char field[kNumberFieldWidth];
  std::size_t i = 0;
  for (auto _ : state) {
    formatNumberField(values[i++ % std::size(values)], field);
    benchmark::DoNotOptimize(field);
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(i));
}
BENCHMARK(BM_NumberField);

}  // namespace

BENCHMARK_MAIN();
