// The run tables: what the passes take out of the report and what the
// transfer files are built from. One instance for the run, zero at start.
//
// The nominal capacities are reserved before the report is read, so a run
// within them allocates nothing while reading. Past them the tables grow,
// and they grow only with the values actually stored.
#pragma once

#include <cstddef>
#include <bit>
#include <cstdint>
#include <memory>
#include <vector>

namespace quarvel {

inline constexpr std::size_t kFrequencyCapacity = 10000;
inline constexpr std::size_t kElementCapacity = 100;
inline constexpr std::size_t kStressRows = 200;
inline constexpr std::size_t kStressColumns = 2000;

// Stress values by row and column; a cell never stored reads 0.0.
//
// Each row keeps its values in runs of consecutive columns. The collection
// pass only ever moves to higher columns, so a row that receives a value in
// every column is one run of plain doubles, and a row with gaps pays one run
// header per gap: memory follows the values stored, however far apart their
// columns lie. The nominal rows are reserved for the nominal columns up
// front, so a run within them allocates nothing while it reads.
class StressTable {
 public:
  StressTable();
  void store(std::size_t row, std::size_t column, double value);
  double at(std::size_t row, std::size_t column) const;
  std::size_t runCount() const;  // runs in all rows: one per gap, for tests

 private:
  struct Run {
    std::size_t firstColumn;
    std::size_t firstValue;  // index of its first value in Row::values
  };
  // A row's values in chunks: growing never copies them. The first chunk
  // holds 8 values and each further one twice as many, up to 1024, so a row
  // with few values takes little, and a long row wastes at most one chunk.
  class Values {
   public:
    static constexpr std::size_t kChunk = 1024;
    static constexpr std::size_t kSmallChunks = 7;  // 8, 16, ..., 512: 1016 values
    std::size_t size() const { return size_; }
    double& operator[](std::size_t i) { return slot(i); }
    double operator[](std::size_t i) const { return const_cast<Values*>(this)->slot(i); }
    void reserve(std::size_t count);
    void push_back(double value);
    void insert(std::size_t at, double value);

   private:
    static constexpr std::size_t kSmallTotal = 1016;
    static std::size_t chunkSize(std::size_t chunk) { return chunk < kSmallChunks ? std::size_t{8} << chunk : kChunk; }
    double& slot(std::size_t i) {
      if (i < kSmallTotal) {
        std::size_t chunk = static_cast<std::size_t>(std::bit_width((i >> 3) + 1)) - 1;  // 8 << chunk values before
        return chunks_[chunk][i - ((std::size_t{8} << chunk) - 8)];
      }
      std::size_t rest = i - kSmallTotal;
      return chunks_[kSmallChunks + rest / kChunk][rest % kChunk];
    }
    std::size_t capacity() const {
      std::size_t n = chunks_.size();
      return n <= kSmallChunks ? (std::size_t{8} << n) - 8 : kSmallTotal + (n - kSmallChunks) * kChunk;
    }
    std::vector<std::unique_ptr<double[]>> chunks_;
    std::size_t size_ = 0;
  };
  struct Row {
    std::vector<Run> runs;  // by column
    Values values;
    std::size_t runLength(std::size_t r) const {
      return (r + 1 < runs.size() ? runs[r + 1].firstValue : values.size()) - runs[r].firstValue;
    }
  };
  std::vector<Row> rows_;
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

  // Identifier -> row, an open-addressed hash table (a power of two in
  // size, at most half full), for the lookup of every pair the collection
  // reads.
  struct HashSlot {
    std::int32_t identifier;
    std::uint32_t row;  // kNoRow: empty
  };
  static constexpr std::uint32_t kNoRow = 0xFFFFFFFFu;
  std::vector<HashSlot> elementHash;
};

extern RunTables runTables;

// Appends one identifier to the element list.
void appendElement(std::int32_t identifier);

// Builds elementRow and elementHash once the list is final.
void indexElementList();

// The stress row of an identifier, or -1 when it is not listed.
std::int64_t stressRowOf(std::int32_t identifier);

// Appends one frequency entry and its reference acceleration.
void appendFrequencyEntry(double frequency, double referenceAcceleration);

}  // namespace quarvel
