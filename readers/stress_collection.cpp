// The stress collection pass. See stress_collection.h.
#include "readers/stress_collection.h"

#include <cstdint>
#include <cstdio>

#include "control/line_window.h"
#include "control/report_markers.h"
#include "control/run_driver.h"
#include "control/run_tables.h"
#include "control/token_slots.h"
#include "readers/acceleration_block.h"
#include "readers/element_pair.h"

namespace quarvel {

namespace {

std::int64_t stressColumn = 0;

// Takes the pairs of one block, up to its end marker or the report's end.
void collectBlock() {
  std::int64_t linesLeft = kBlockLineLimit;
  if (runTables.elementCount == 0) {  // nothing is listed: the pairs are only read past
    while (nextElementPair(kCollectingRules, linesLeft)) {}
    return;
  }
  const std::int32_t lastListed = runTables.elementList.back();
  while (nextElementPair(kCollectingRules, linesLeft)) {
    std::int32_t identifier = integerValue(tokenSlots.token(1));
    std::int64_t row = stressRowOf(identifier);
    if (row < 0) continue;  // not listed: nothing stored, the column stays
    runTables.stressTable.store(static_cast<std::size_t>(row), static_cast<std::size_t>(stressColumn),
                                realValue(tokenSlots.token(8)));
    if (identifier == lastListed) ++stressColumn;
  }
}

}  // namespace

void collectStresses() {
  std::printf("\n bar stress \n");
  stressColumn = 0;
  lineCounter = 0;
  // The header that called us has its frequency line parsed already.
  if (frequencyAccepted(singlePrecisionBlockFrequency())) collectBlock();

  for (; lineCounter < kHeaderSearchLimit; ++lineCounter) {
    if (!advance()) return;
    if (!containsMarker(windowSlot(3), kStressHeader)) continue;
    parseFrequencyLine(windowSlot(1));
    if (frequencyAccepted(singlePrecisionBlockFrequency())) collectBlock();
  }
}

}  // namespace quarvel
