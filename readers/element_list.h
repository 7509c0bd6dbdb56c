// The element list pass: lists the elements of the first stress block after
// the point where the node count pass stopped, then rewinds the report for
// the main scan. Without a stress header it neither lists nor rewinds.
#pragma once

namespace quarvel {

void listElements();

}  // namespace quarvel
