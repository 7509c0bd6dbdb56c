// The run tables. See run_tables.h.
#include "control/run_tables.h"

#include <algorithm>
#include <bit>
#include <limits>

namespace quarvel {

RunTables runTables;

namespace {

inline std::size_t hashOf(std::int32_t identifier) {  // Fibonacci hashing: spreads runs of identifiers
  return static_cast<std::size_t>((static_cast<std::uint64_t>(static_cast<std::uint32_t>(identifier)) *
                                   0x9E3779B97F4A7C15u) >> 32);
}

}  // namespace

StressTable::StressTable() : rows_(kStressRows), denseRows_(kStressRows) {
  for (std::size_t i = 0; i < kStressRows; ++i) {
    rows_[i].state = static_cast<std::uint32_t>(kCellsPerRow + i);
    denseRows_[i].runs.reserve(kStressColumns / 2 + 1);  // every other column missing: the most runs a nominal row can need
    denseRows_[i].values.reserve(kStressColumns);
  }
}

void StressTable::reserveRows(std::size_t rows) {
  if (rows > rows_.size()) rows_.resize(rows);  // exactly: a vector that grows would keep up to twice as many
}

void StressTable::Values::reserve(std::size_t count) {
  chunks_.reserve(kSmallChunks + 2);
  while (capacity() < count) chunks_.push_back(std::make_unique_for_overwrite<double[]>(chunkSize(chunks_.size())));
}

void StressTable::Values::push_back(double value) {
  if (size_ == capacity()) chunks_.push_back(std::make_unique_for_overwrite<double[]>(chunkSize(chunks_.size())));
  (*this)[size_++] = value;
}

void StressTable::Values::insert(std::size_t at, double value) {
  push_back(value);
  for (std::size_t i = size_ - 1; i > at; --i) (*this)[i] = (*this)[i - 1];
  (*this)[at] = value;
}

void StressTable::DenseRow::store(std::size_t column, double value) {
  if (!runs.empty()) {
    const Run& last = runs.back();
    std::size_t end = last.firstColumn + runLength(runs.size() - 1);  // one past its last column
    if (column + 1 == end) {  // the current column again: overwrite
      values[values.size() - 1] = value;
      return;
    }
    if (column == end) {  // the next column: extend the last run
      values.push_back(value);
      return;
    }
    if (column < end) {  // an earlier column: never done by the passes, but kept exact
      const std::size_t index = runAfter(column);
      if (index > 0 && column - runs[index - 1].firstColumn < runLength(index - 1)) {
        values[runs[index - 1].firstValue + column - runs[index - 1].firstColumn] = value;
        return;
      }
      // A column in a gap: a one-value run inserted in column order.
      std::size_t at = index < runs.size() ? runs[index].firstValue : values.size();
      values.insert(at, value);
      for (std::size_t k = index; k < runs.size(); ++k) ++runs[k].firstValue;
      runs.insert(runs.begin() + static_cast<std::ptrdiff_t>(index), Run{column, at});
      return;
    }
  }
  runs.push_back(Run{column, values.size()});
  values.push_back(value);
}

std::size_t StressTable::DenseRow::runAfter(std::size_t column) const {
  auto after = std::upper_bound(runs.begin(), runs.end(), column,
                                [](std::size_t c, const Run& run) { return c < run.firstColumn; });
  return static_cast<std::size_t>(after - runs.begin());
}

const double* StressTable::DenseRow::find(std::size_t column) const {
  const std::size_t index = runAfter(column);
  if (index == 0) return nullptr;
  const std::size_t offset = column - runs[index - 1].firstColumn;
  return offset < runLength(index - 1) ? &values[runs[index - 1].firstValue + offset] : nullptr;
}

void StressTable::makeDense(RowEntry& entry) {
  entry.state = static_cast<std::uint32_t>(kCellsPerRow + denseRows_.size());
  denseRows_.emplace_back();
}

void StressTable::store(std::size_t row, std::size_t column, double value) {
  if (column > kColumnLimit) return;
  if (row >= rows_.size()) rows_.resize(row + 1);
  RowEntry& entry = rows_[row];
  if (!entry.isDense()) {
    if (entry.newestCell != kNoCell && cell(entry.newestCell).column == column) {  // the current column again
      cell(entry.newestCell).value = value;
      return;
    }
    if (cellTotal_ < kNoCell) {  // 2^32 - 1 cells at most, so that each has an index
      if (cellTotal_ % kCellChunk == 0) cellChunks_.push_back(std::make_unique_for_overwrite<Cell[]>(kCellChunk));
      const auto index = static_cast<std::uint32_t>(cellTotal_++);
      cell(index) = Cell{value, static_cast<std::uint32_t>(column), entry.newestCell};
      entry.newestCell = index;
      if (++entry.state == kCellsPerRow) makeDense(entry);  // for the values to come
      return;
    }
    makeDense(entry);
  }
  denseRows_[entry.denseRow()].store(column, value);
}

double StressTable::at(std::size_t row, std::size_t column) const {
  if (row >= rows_.size() || column > kColumnLimit) return 0.0;
  const RowEntry& entry = rows_[row];
  if (entry.isDense())
    if (const double* value = denseRows_[entry.denseRow()].find(column)) return *value;  // newer than any cell
  for (std::uint32_t c = entry.newestCell; c != kNoCell; c = cell(c).previous)
    if (cell(c).column == column) return cell(c).value;  // the newest for its column
  return 0.0;
}

void StressTable::readRow(std::size_t row, std::span<double> columns) const {
  std::fill(columns.begin(), columns.end(), 0.0);
  if (row >= rows_.size()) return;
  const RowEntry& entry = rows_[row];
  std::uint32_t chain[kCellsPerRow];  // a row has at most kCellsPerRow cells
  std::size_t length = 0;
  for (std::uint32_t c = entry.newestCell; c != kNoCell; c = cell(c).previous) chain[length++] = c;
  while (length > 0) {  // oldest first: a later store to a column wins
    const Cell& stored = cell(chain[--length]);
    if (stored.column < columns.size()) columns[stored.column] = stored.value;
  }
  if (!entry.isDense()) return;
  const DenseRow& dense = denseRows_[entry.denseRow()];
  for (std::size_t r = 0; r < dense.runs.size(); ++r) {
    const Run& run = dense.runs[r];
    if (run.firstColumn >= columns.size()) break;
    const std::size_t count = std::min(dense.runLength(r), columns.size() - run.firstColumn);
    for (std::size_t k = 0; k < count; ++k) columns[run.firstColumn + k] = dense.values[run.firstValue + k];
  }
}

std::size_t StressTable::runCount() const {
  std::size_t count = 0;
  for (const DenseRow& dense : denseRows_) count += dense.runs.size();
  return count;
}

RunTables::RunTables() {
  frequencyTable.reserve(kFrequencyCapacity);
  referenceAccelerationTable.reserve(kFrequencyCapacity);
  elementList.reserve(kElementCapacity);
  elementRow.reserve(kElementCapacity);
  elementHash.reserve(2 * std::bit_ceil(kElementCapacity));
}

// The counters are 32-bit; a report would need billions of entries to fill
// one, and there the tables stop growing rather than wrap.
constexpr std::int32_t kCountLimit = std::numeric_limits<std::int32_t>::max();

void appendElement(std::int32_t identifier) {
  if (runTables.elementCount == kCountLimit) return;
  runTables.elementList.push_back(identifier);
  ++runTables.elementCount;
}

namespace {

// The slot of an identifier in the element hash: its own, or the empty one
// where it would go.
std::size_t hashSlotOf(const std::vector<std::uint32_t>& hash, std::int32_t identifier) {
  const std::size_t mask = hash.size() - 1;
  std::size_t at = hashOf(identifier) & mask;
  while (hash[at] != RunTables::kNoRow && runTables.elementList[hash[at]] != identifier) at = (at + 1) & mask;
  return at;
}

// Twice the slots, the same rows.
void growElementHash() {
  std::vector<std::uint32_t> bigger(2 * runTables.elementHash.size(), RunTables::kNoRow);
  for (std::uint32_t row : runTables.elementHash)
    if (row != RunTables::kNoRow) bigger[hashSlotOf(bigger, runTables.elementList[row])] = row;
  runTables.elementHash.swap(bigger);
}

}  // namespace

void indexElementList() {
  // One pass over the list: each identifier enters the table at its first
  // position, whose row every later position of it then shares. The table
  // is sized for the nominal list and doubles as distinct identifiers
  // fill half of it, so a list repeating a few identifiers keeps it small.
  RunTables& t = runTables;
  t.elementHash.assign(2 * std::bit_ceil(kElementCapacity), RunTables::kNoRow);
  t.elementRow.assign(t.elementList.size(), 0);
  std::size_t rows = 0;  // one past the last row in use
  std::size_t distinct = 0;
  for (std::size_t p = 0; p < t.elementList.size(); ++p) {
    std::size_t at = hashSlotOf(t.elementHash, t.elementList[p]);
    if (t.elementHash[at] == RunTables::kNoRow) {
      if (2 * ++distinct > t.elementHash.size()) {
        growElementHash();
        at = hashSlotOf(t.elementHash, t.elementList[p]);
      }
      t.elementHash[at] = static_cast<std::uint32_t>(p);
      rows = p + 1;
    }
    t.elementRow[p] = t.elementHash[at];
  }
  t.stressTable.reserveRows(rows);
}

std::int64_t stressRowOf(std::int32_t identifier) {
  const auto& hash = runTables.elementHash;
  if (hash.empty()) return -1;  // not indexed yet
  const std::uint32_t row = hash[hashSlotOf(hash, identifier)];
  return row == RunTables::kNoRow ? std::int64_t{-1} : std::int64_t{row};
}

void appendFrequencyEntry(double frequency, double referenceAcceleration) {
  if (runTables.frequencyCount == kCountLimit) return;
  runTables.frequencyTable.push_back(frequency);
  runTables.referenceAccelerationTable.push_back(referenceAcceleration);
  ++runTables.frequencyCount;
}

}  // namespace quarvel
