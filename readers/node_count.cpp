// The node count pass. See node_count.h.
#include "readers/node_count.h"

#include <cstdio>

#include "control/line_window.h"
#include "control/report_markers.h"
#include "control/run_driver.h"
#include "control/run_tables.h"
#include "control/token_slots.h"
#include "readers/element_pair.h"
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
    // Any field converted takes the record. Like a block's lines, its
    // records end at kBlockLineLimit, so that endless input ends the pass.
    while (runTables.nodeCount < kBlockLineLimit && readRecordFirstPart(referenceNode) > 0) {
      readRecordSecondPart();
      std::printf("\n %ld", static_cast<long>(nodeRecord.nodeId));
      ++runTables.nodeCount;
    }
    std::printf("\n\n %d nodes detected \n\n", runTables.nodeCount);
    return;
  }
}

}  // namespace quarvel
