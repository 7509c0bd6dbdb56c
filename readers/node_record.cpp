// The two formatted reads of a node record. See node_record.h.
#include "readers/node_record.h"

#include "control/report_stream.h"

namespace quarvel {

NodeRecord nodeRecord;

namespace {

// Turns the outcome of conversion number `converted` (from 0) into the
// read's result when the read must stop there.
inline int stopAt(Scan outcome, int converted) {
  return outcome == Scan::EndOfInput && converted == 0 ? kRecordEndOfInput : converted;
}

}  // namespace

int readRecordFirstPart(std::int32_t componentsOf) {
  NodeRecord& r = nodeRecord;
  Scan s = scanInteger(r.nodeId);
  if (s != Scan::Converted) return stopAt(s, 0);
  if (scanInteger(r.nodeAux) != Scan::Converted) return 1;
  int field = 2;
  if (r.nodeId == componentsOf) {
    if (scanReal(r.componentX) != Scan::Converted) return 2;
    if (scanReal(r.componentY) != Scan::Converted) return 3;
    if (scanReal(r.componentZ) != Scan::Converted) return 4;
    field = 5;
  }
  for (; field < kFirstReadFields; ++field)
    if (skipReal() != Scan::Converted) return field;
  return kFirstReadFields;
}

int readRecordSecondPart() {
  for (int field = 0; field < kSecondReadFields; ++field) {
    Scan s = skipReal();
    if (s != Scan::Converted) return stopAt(s, field);
  }
  return kSecondReadFields;
}

}  // namespace quarvel
