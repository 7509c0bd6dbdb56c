// The run driver: the console dialogue, the fixed order of the passes and
// the main scan, and the run state that every pass shares.
#pragma once

#include <cstdint>

namespace quarvel {

inline constexpr std::int32_t kMainScanLimit = 2'000'000;

// The operator's answers; 0 until answered, and not validated.
extern std::int32_t axis;
extern std::int32_t referenceNode;

// Lines read by the outer scan of the pass that runs; each pass resets it.
extern std::int32_t lineCounter;

// Set by any step that fails in a way the operator must see in the exit
// status (a transfer file not written, the report not fully read).
extern bool runFailed;

// Runs the whole analysis once; returns the process exit status.
int runAnalysis();

// Puts every piece of run state back as it is at program start, so that a
// harness can run several analyses in one process. The program itself runs
// one analysis and never calls it.
void resetRunState();

}  // namespace quarvel
