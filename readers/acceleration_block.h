// The acceleration block reader: called by the main scan at each
// acceleration header, it appends the block's frequency and the reference
// node's acceleration along the chosen axis, once for every complete record
// of the reference node, when the block's frequency is accepted.
#pragma once

namespace quarvel {

// Frequencies are held in single precision; a block counts from this one up.
inline constexpr double kMinimumFrequency = 0.001;

// The acceptance test shared by acceleration and stress blocks: the block
// frequency of the header just read (T7 after the frequency line's parse),
// rounded to single precision, at least kMinimumFrequency. NaN is refused.
bool frequencyAccepted(float frequency);
float singlePrecisionBlockFrequency();

void readAccelerationBlock();

}  // namespace quarvel
