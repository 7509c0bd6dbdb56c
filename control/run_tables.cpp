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

StressTable::StressTable() : rows_(kStressRows) {
  for (Row& row : rows_) {
    row.runs.reserve(kStressColumns / 2 + 1);  // every other column missing: the most runs a nominal row can need
    row.values.reserve(kStressColumns);
  }
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

void StressTable::store(std::size_t row, std::size_t column, double value) {
  if (row >= rows_.size()) rows_.resize(row + 1);
  Row& r = rows_[row];
  if (!r.runs.empty()) {
    const Run& last = r.runs.back();
    std::size_t end = last.firstColumn + r.runLength(r.runs.size() - 1);  // one past its last column
    if (column + 1 == end) {  // the current column again: overwrite
      r.values[r.values.size() - 1] = value;
      return;
    }
    if (column == end) {  // the next column: extend the last run
      r.values.push_back(value);
      return;
    }
    if (column < end) {  // an earlier column: never done by the passes, but kept exact
      auto after = std::upper_bound(r.runs.begin(), r.runs.end(), column,
                                    [](std::size_t c, const Run& run) { return c < run.firstColumn; });
      std::size_t index = static_cast<std::size_t>(after - r.runs.begin());
      if (index > 0 && column - r.runs[index - 1].firstColumn < r.runLength(index - 1)) {
        r.values[r.runs[index - 1].firstValue + column - r.runs[index - 1].firstColumn] = value;
        return;
      }
      // A column in a gap: a one-value run inserted in column order.
      std::size_t at = index < r.runs.size() ? r.runs[index].firstValue : r.values.size();
      r.values.insert(at, value);
      for (std::size_t k = index; k < r.runs.size(); ++k) ++r.runs[k].firstValue;
      r.runs.insert(r.runs.begin() + static_cast<std::ptrdiff_t>(index), Run{column, at});
      return;
    }
  }
  r.runs.push_back(Run{column, r.values.size()});
  r.values.push_back(value);
}

double StressTable::at(std::size_t row, std::size_t column) const {
  if (row >= rows_.size()) return 0.0;
  const Row& r = rows_[row];
  auto after = std::upper_bound(r.runs.begin(), r.runs.end(), column,
                                [](std::size_t c, const Run& run) { return c < run.firstColumn; });
  if (after == r.runs.begin()) return 0.0;
  std::size_t index = static_cast<std::size_t>(after - r.runs.begin()) - 1;
  std::size_t offset = column - r.runs[index].firstColumn;
  return offset < r.runLength(index) ? r.values[r.runs[index].firstValue + offset] : 0.0;
}

std::size_t StressTable::runCount() const {
  std::size_t count = 0;
  for (const Row& r : rows_) count += r.runs.size();
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

void indexElementList() {
  // One pass over the list: each identifier enters the table at its first
  // position, whose row every later position of it then shares.
  RunTables& t = runTables;
  t.elementHash.assign(std::max<std::size_t>(16, 2 * std::bit_ceil(t.elementList.size())),
                       RunTables::HashSlot{0, RunTables::kNoRow});
  t.elementRow.assign(t.elementList.size(), 0);
  const std::size_t mask = t.elementHash.size() - 1;
  for (std::size_t p = 0; p < t.elementList.size(); ++p) {
    const std::int32_t identifier = t.elementList[p];
    std::size_t at = hashOf(identifier) & mask;
    while (t.elementHash[at].row != RunTables::kNoRow && t.elementHash[at].identifier != identifier)
      at = (at + 1) & mask;
    if (t.elementHash[at].row == RunTables::kNoRow) t.elementHash[at] = {identifier, static_cast<std::uint32_t>(p)};
    t.elementRow[p] = t.elementHash[at].row;
  }
}

std::int64_t stressRowOf(std::int32_t identifier) {
  const auto& hash = runTables.elementHash;
  if (hash.empty()) return -1;
  std::size_t mask = hash.size() - 1;
  for (std::size_t at = hashOf(identifier) & mask;; at = (at + 1) & mask) {
    if (hash[at].row == RunTables::kNoRow) return -1;
    if (hash[at].identifier == identifier) return hash[at].row;
  }
}

void appendFrequencyEntry(double frequency, double referenceAcceleration) {
  if (runTables.frequencyCount == kCountLimit) return;
  runTables.frequencyTable.push_back(frequency);
  runTables.referenceAccelerationTable.push_back(referenceAcceleration);
  ++runTables.frequencyCount;
}

}  // namespace quarvel
