// The acceleration block reader. See acceleration_block.h.
#include "readers/acceleration_block.h"

#include <limits>

#include "control/line_window.h"
#include "control/run_driver.h"
#include "control/run_tables.h"
#include "control/token_slots.h"
#include "readers/node_record.h"

namespace quarvel {

bool frequencyAccepted(float frequency) { return static_cast<double>(frequency) >= kMinimumFrequency; }

float singlePrecisionBlockFrequency() {
  double value = blockFrequency();
  // Nearest single-precision value, ties to even; past the largest float the
  // value rounds to infinity (the cast alone would be undefined there).
  constexpr double kOverflowBoundary = 3.4028235677973366e38;  // 2^128 - 2^103
  if (value >= kOverflowBoundary) return std::numeric_limits<float>::infinity();
  if (value <= -kOverflowBoundary) return -std::numeric_limits<float>::infinity();
  return static_cast<float>(value);
}

void readAccelerationBlock() {
  parseFrequencyLine(windowSlot(1));
  float frequency = singlePrecisionBlockFrequency();
  for (int skipped = 0; skipped < 4; ++skipped) readSlot(0);
  if (!frequencyAccepted(frequency)) return;  // its records stay for the main scan

  for (std::int32_t record = 0; record < runTables.nodeCount; ++record) {
    // A record counts only when both reads convert every field; at the first
    // one that does not, the rest of the block is left to the main scan.
    if (readRecordFirstPart(referenceNode) != kFirstReadFields) return;
    if (readRecordSecondPart() != kSecondReadFields) return;
    if (nodeRecord.nodeId != referenceNode) continue;
    double component = 0.0;  // any axis but 1, 2, 3 stores 0.0
    if (axis == 1) component = nodeRecord.componentX;
    else if (axis == 2) component = nodeRecord.componentY;
    else if (axis == 3) component = nodeRecord.componentZ;
    appendFrequencyEntry(static_cast<double>(frequency), component);
  }
}

}  // namespace quarvel
