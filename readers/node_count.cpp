// The node count pass. See node_count.h.
#include "readers/node_count.h"

#include <cstdio>
#include <limits>

#include "control/line_window.h"
#include "control/report_markers.h"
#include "control/run_driver.h"
#include "control/run_tables.h"
#include "control/token_slots.h"
#include "readers/node_record.h"

namespace quarvel {

void countNodes() {
  std::printf("\n\n nodes \n");
  for (lineCounter = 0; lineCounter < kHeaderSearchLimit; ++lineCounter) {
    if (!advance()) return;
    if (!containsMarker(windowSlot(3), kAccelerationHeader)) continue;

    std::printf("\n %s \n", windowSlot(3).text);
    parseFrequencyLine(windowSlot(1));
    for (int skipped = 0; skipped < 4; ++skipped) readSlot(0);

    runTables.nodeCount = 0;
    while (runTables.nodeCount < std::numeric_limits<std::int32_t>::max() &&
           readRecordFirstPart(referenceNode) > 0) {  // any field converted takes the record
      readRecordSecondPart();
      std::printf("\n %ld", static_cast<long>(nodeRecord.nodeId));
      ++runTables.nodeCount;
    }
    std::printf("\n\n %d nodes detected \n\n", runTables.nodeCount);
    return;
  }
}

}  // namespace quarvel
