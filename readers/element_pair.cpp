// The pair rules. See element_pair.h.
#include "readers/element_pair.h"

#include <cstring>

#include "control/line_window.h"
#include "control/report_markers.h"
#include "control/token_slots.h"

namespace quarvel {

namespace {

bool holdsCapitalSOrF(const LineSlot& line) {
  return std::memchr(line.text, 'S', line.length) != nullptr || std::memchr(line.text, 'F', line.length) != nullptr;
}

}  // namespace

bool nextElementPair(const PairRules& rules, std::int64_t& linesLeft) {
  for (;;) {
    if (linesLeft-- <= 0 || !readSlot(0)) return false;
    const LineSlot& candidate = windowSlot(0);
    // End markers are tested on candidates only, before anything else.
    if (containsMarker(candidate, kMaximumMarker)) return false;
    if (rules.endAtVonMises && containsMarker(candidate, kVonMisesMarker)) return false;
    if (!isNumericLine(candidate)) continue;
    if (rules.passOverSOrF && holdsCapitalSOrF(candidate)) continue;
    if (linesLeft-- <= 0 || !readSlot(1)) return false;
    if (!isNumericLine(windowSlot(1))) continue;  // the second line is consumed with it
    parsePairLine(candidate);
    return true;
  }
}

}  // namespace quarvel
