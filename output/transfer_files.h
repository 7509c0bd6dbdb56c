// The transfer files: one per element list position, "<id>_stressHH.dat" in
// the current directory, with one 56-byte row per frequency entry:
//   " %12.4e %12.4e %12.4e %12.4e  " CR LF
// holding the frequency, the transfer value (386 x stress / reference
// acceleration)^2, the stress and the reference acceleration.
#pragma once

#include <cstddef>

namespace quarvel {

inline constexpr double kGravity = 386.0;
extern const double kGravitySquared;  // kGravity to the power 2, at start-up

inline constexpr std::size_t kTransferRowSize = 56;

// (stress / referenceAcceleration)^2 x kGravitySquared.
double transferValue(double stress, double referenceAcceleration);

// Writes one row of the four values into `row` (kTransferRowSize bytes).
void formatTransferRow(double frequency, double transfer, double stress, double referenceAcceleration,
                       char* row);

// Writes every transfer file. A file that cannot be created, written or
// closed is reported on the console and sets runFailed; the next list
// position is written all the same.
void writeTransferFiles();

}  // namespace quarvel
