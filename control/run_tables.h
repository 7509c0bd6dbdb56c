// The run tables: what the passes take out of the report and what the
// transfer files are built from. One instance for the run, zero at start.
//
// The nominal capacities are reserved before the report is read, so a run
// within them allocates nothing while reading. Past them the tables grow,
// and they grow only with values actually stored: the stress table keeps a
// dense block for the nominal rows and columns and a sparse map beyond it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <utility>
#include <vector>

namespace quarvel {

inline constexpr std::size_t kFrequencyCapacity = 10000;
inline constexpr std::size_t kElementCapacity = 100;
inline constexpr std::size_t kStressRows = 200;
inline constexpr std::size_t kStressColumns = 2000;

// Stress values by row and column; a cell never stored reads 0.0.
class StressTable {
 public:
  StressTable();
  void store(std::size_t row, std::size_t column, double value);
  double at(std::size_t row, std::size_t column) const;
  std::size_t overflowCells() const { return overflow_.size(); }

 private:
  static std::uint64_t key(std::size_t row, std::size_t column) {
    return (static_cast<std::uint64_t>(row) << 32) | static_cast<std::uint64_t>(column);
  }
  std::vector<double> dense_;                         // kStressRows x kStressColumns
  std::unordered_map<std::uint64_t, double> overflow_;  // every cell outside it
};

struct RunTables {
  RunTables();

  std::vector<double> frequencyTable;              // widened single-precision values
  std::vector<double> referenceAccelerationTable;  // same length as frequencyTable
  std::int32_t frequencyCount = 0;

  std::vector<std::int32_t> elementList;  // identifiers in the order first listed
  std::int32_t elementCount = 0;

  // Every list position that holds the same identifier receives the same
  // stress values, so an identifier's values are kept once, in the row of
  // its first position: elementRow[p] is the row that position p reads.
  std::vector<std::uint32_t> elementRow;
  StressTable stressTable;

  std::int32_t nodeCount = 0;

  // Identifier -> row, sorted by identifier, for the lookup of a pair.
  std::vector<std::pair<std::int32_t, std::uint32_t>> elementIndex;
};

extern RunTables runTables;

// Appends one identifier to the element list.
void appendElement(std::int32_t identifier);

// Builds elementRow and elementIndex once the list is final.
void indexElementList();

// The stress row of an identifier, or -1 when it is not listed.
std::int64_t stressRowOf(std::int32_t identifier);

// Appends one frequency entry and its reference acceleration.
void appendFrequencyEntry(double frequency, double referenceAcceleration);

}  // namespace quarvel
