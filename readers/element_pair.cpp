// The pair rules. See element_pair.h.
#include "readers/element_pair.h"

#include "control/line_window.h"
#include "control/report_markers.h"
#include "control/token_slots.h"

namespace quarvel {

bool nextElementPair(const PairRules& rules) {
  for (;;) {
    if (!readSlot(0)) return false;
    const LineSlot& candidate = windowSlot(0);
    const CandidateLetters letters = candidateLetters(candidate);
    // End markers are tested on candidates only, before anything else.
    if (letters.capitalM && containsMarker(candidate, kMaximumMarker)) return false;
    if (rules.endAtVonMises && letters.capitalV && containsMarker(candidate, kVonMisesMarker)) return false;
    if (!letters.numeric) continue;
    if (rules.passOverSOrF && letters.capitalSOrF) continue;
    if (!readSlot(1)) return false;
    if (!isNumericLine(windowSlot(1))) continue;  // the second line is consumed with it
    parsePairLine(candidate);
    return true;
  }
}

}  // namespace quarvel
