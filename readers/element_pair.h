// Element pairs: the two successive numeric lines that give one bar element
// in a stress block. The first line (the candidate) gives the identifier in
// T1 and the stress in T8; the second line is only tested. The rules that
// find pairs are shared by the element list pass and the stress collection
// pass; each pass states its own end markers and exclusions.
#pragma once

#include <cstdint>

namespace quarvel {

struct PairRules {
  bool endAtVonMises;     // "VON MISES STRESS" ends the block as "MAXIMUM" does
  bool passOverSOrF;      // candidates with a capital S or F are not pairs
};

inline constexpr PairRules kListingRules{true, false};
inline constexpr PairRules kCollectingRules{false, true};

// A block's pairs lie within this many lines: endless input (a device, a
// pipe) ends a block too, as the line bounds end every header search.
inline constexpr std::int64_t kBlockLineLimit = 5'000'000;

// Reads lines until a pair is found (returns true, with the candidate in
// window slot 0, its second line in slot 1 and the candidate parsed into
// T1..T9) or the block ends (returns false): at an end marker on a
// candidate, at the end of the report, or when `linesLeft`, the block's
// remaining line budget, runs out.
bool nextElementPair(const PairRules& rules, std::int64_t& linesLeft);

}  // namespace quarvel
