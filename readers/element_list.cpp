// The element list pass. See element_list.h.
#include "readers/element_list.h"

#include <cstdio>

#include "control/line_window.h"
#include "control/report_markers.h"
#include "control/report_stream.h"
#include "control/run_driver.h"
#include "control/run_tables.h"
#include "control/token_slots.h"
#include "readers/element_pair.h"

namespace quarvel {

void listElements() {
  std::printf("\n\n elements \n");
  for (lineCounter = 0; lineCounter < kHeaderSearchLimit; ++lineCounter) {
    if (!advance()) return;
    if (!containsMarker(windowSlot(3), kStressHeader)) continue;

    std::printf("\n %s \n", windowSlot(3).text);
    parseFrequencyLine(windowSlot(1));
    for (int skipped = 0; skipped < 4; ++skipped) readSlot(0);

    std::int64_t linesLeft = kBlockLineLimit;
    while (nextElementPair(kListingRules, linesLeft)) {
      std::int32_t identifier = integerValue(tokenSlots.token(1));
      std::printf(" %ld \n", static_cast<long>(identifier));
      appendElement(identifier);
    }
    indexElementList();
    std::printf("\n\n %d elements detected \n\n", runTables.elementCount);  // the list was empty: all its pairs
    rewindReport();
    return;
  }
}

}  // namespace quarvel
