// The node record: the fourteen numbers of one node in an acceleration
// block, taken by two formatted reads straight from the report stream.
//   first read:  "%d %d %lf %lf %lf %lf %lf %lf"  id, code, X, Y, Z, 3 reals
//   second read: "      %lf %lf %lf %lf %lf %lf"   six reals
// White space, line breaks included, separates the numbers, so a record may
// be laid out over lines in any way. A read stores the fields it converts,
// in order, stops at the first conversion that fails and leaves the stream
// there. One record is shared by every reader and persists between reads:
// a field a read does not reach keeps its earlier value.
#pragma once

#include <cstdint>

namespace quarvel {

struct NodeRecord {
  std::int32_t nodeId = 0;
  std::int32_t nodeAux = 0;
  double componentX = 0.0;
  double componentY = 0.0;
  double componentZ = 0.0;
  // The record's other nine reals are checked and passed over: no reader
  // uses them, so they are never converted.
};

extern NodeRecord nodeRecord;

inline constexpr int kRecordEndOfInput = -1;
inline constexpr int kFirstReadFields = 8;
inline constexpr int kSecondReadFields = 6;

// Each returns the number of fields converted, or kRecordEndOfInput when the
// report ends before the first conversion.
//
// The three components are turned into numbers only for a record whose
// nodeId is `componentsOf`: no reader looks at another record's components,
// so for the others they are checked and passed over, and keep the values
// of the last record that converted them.
int readRecordFirstPart(std::int32_t componentsOf);
int readRecordSecondPart();

}  // namespace quarvel
