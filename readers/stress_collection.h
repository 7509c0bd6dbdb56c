// The stress collection pass: called by the main scan at the first stress
// header, it reads the rest of the report and fills the stress table from
// every stress block whose frequency is accepted, the first one included.
// Column `stressColumn` moves on after each pair of the element at the last
// list position, so column j belongs to the j-th collected frequency.
#pragma once

namespace quarvel {

void collectStresses();

}  // namespace quarvel
