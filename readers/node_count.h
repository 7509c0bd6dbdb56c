// The node count pass: finds the first acceleration block of the report,
// echoes and counts its node records, and leaves the stream just past them.
#pragma once

namespace quarvel {

void countNodes();

}  // namespace quarvel
