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
#include <span>
#include <vector>

namespace quarvel {

inline constexpr std::size_t kFrequencyCapacity = 10000;
inline constexpr std::size_t kElementCapacity = 100;
inline constexpr std::size_t kStressRows = 200;
inline constexpr std::size_t kStressColumns = 2000;

// Stress values by row and column; a cell never stored reads 0.0.
//
// A row's first values are cells of one log that all rows share, 16 bytes
// each and linked newest first, so that a report listing a great many
// elements with a value or two each costs little per value. A row that
// gathers kCellsPerRow cells gets a dense row for the values that follow:
// runs of consecutive columns, 8 bytes a value plus one run header per gap.
// The collection pass only ever moves to higher columns, so a row with a
// value in every column is one run. The nominal rows start out dense,
// reserved for the nominal columns, so a run within them allocates nothing
// while it reads.
class StressTable {
 public:
  static constexpr std::size_t kCellsPerRow = 32;
  // Columns past the largest frequencyCount are never written out.
  static constexpr std::size_t kColumnLimit = 0x7FFFFFFF;

  StressTable();
  void reserveRows(std::size_t rows);  // the rows the element list uses, so they need not grow
  void store(std::size_t row, std::size_t column, double value);
  double at(std::size_t row, std::size_t column) const;  // one cell; the writer reads whole rows
  // Every column of a row below columns.size(), 0.0 where nothing was stored.
  void readRow(std::size_t row, std::span<double> columns) const;
  std::size_t runCount() const;   // runs in all dense rows: one per gap, for tests
  std::size_t cellCount() const { return cellTotal_; }  // cells in the log, for tests

 private:
  struct Run {
    std::size_t firstColumn;
    std::size_t firstValue;  // index of its first value in DenseRow::values
  };
  // A dense row's values in chunks: growing never copies them. The first
  // chunk holds 8 values and each further one twice as many, up to 1024, so
  // a short row takes little, and a long row wastes at most one chunk.
  class Values {
   public:
    static constexpr std::size_t kChunk = 1024;
    static constexpr std::size_t kSmallChunks = 7;  // 8, 16, ..., 512: 1016 values
    std::size_t size() const { return size_; }
    double& operator[](std::size_t i) { return slot(i); }
    const double& operator[](std::size_t i) const { return const_cast<Values*>(this)->slot(i); }
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
  struct DenseRow {
    std::vector<Run> runs;  // by column
    Values values;
    std::size_t runLength(std::size_t r) const {
      return (r + 1 < runs.size() ? runs[r + 1].firstValue : values.size()) - runs[r].firstValue;
    }
    void store(std::size_t column, double value);
    const double* find(std::size_t column) const;  // null where not stored
    std::size_t runAfter(std::size_t column) const;  // the first run that starts past `column`
  };

  static constexpr std::uint32_t kNoCell = 0xFFFFFFFFu;
  struct Cell {
    double value;
    std::uint32_t column;
    std::uint32_t previous;  // the row's cell before this one, or kNoCell
  };
  // Where a row's values are. Its cells come first; once it has
  // kCellsPerRow of them, every later value goes to its dense row, whose
  // values are thus newer than any of its cells.
  struct RowEntry {
    std::uint32_t newestCell = kNoCell;
    std::uint32_t state = 0;  // below kCellsPerRow: its cell count; from it on: kCellsPerRow + its dense row
    bool isDense() const { return state >= kCellsPerRow; }
    std::size_t denseRow() const { return state - kCellsPerRow; }
  };
  static constexpr std::size_t kCellChunk = 4096;  // 64 KiB of cells: the log grows without copying
  Cell& cell(std::uint32_t i) { return cellChunks_[i / kCellChunk][i % kCellChunk]; }
  const Cell& cell(std::uint32_t i) const { return cellChunks_[i / kCellChunk][i % kCellChunk]; }
  void makeDense(RowEntry& entry);

  std::vector<RowEntry> rows_;
  std::vector<DenseRow> denseRows_;
  std::vector<std::unique_ptr<Cell[]>> cellChunks_;
  std::size_t cellTotal_ = 0;
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
  // reads. A slot holds only the row: its identifier is elementList[row].
  static constexpr std::uint32_t kNoRow = 0xFFFFFFFFu;  // an empty slot
  std::vector<std::uint32_t> elementHash;
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
