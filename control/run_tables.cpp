// The run tables. See run_tables.h.
#include "control/run_tables.h"

#include <algorithm>

namespace quarvel {

RunTables runTables;

StressTable::StressTable() : dense_(kStressRows * kStressColumns, 0.0) {}

void StressTable::store(std::size_t row, std::size_t column, double value) {
  if (row < kStressRows && column < kStressColumns) {
    dense_[row * kStressColumns + column] = value;
  } else {
    overflow_[key(row, column)] = value;
  }
}

double StressTable::at(std::size_t row, std::size_t column) const {
  if (row < kStressRows && column < kStressColumns) return dense_[row * kStressColumns + column];
  auto found = overflow_.find(key(row, column));
  return found == overflow_.end() ? 0.0 : found->second;
}

RunTables::RunTables() {
  frequencyTable.reserve(kFrequencyCapacity);
  referenceAccelerationTable.reserve(kFrequencyCapacity);
  elementList.reserve(kElementCapacity);
  elementRow.reserve(kElementCapacity);
  elementIndex.reserve(kElementCapacity);
}

void appendElement(std::int32_t identifier) {
  runTables.elementList.push_back(identifier);
  ++runTables.elementCount;
}

void indexElementList() {
  RunTables& t = runTables;
  t.elementIndex.clear();
  for (std::size_t p = 0; p < t.elementList.size(); ++p)
    t.elementIndex.emplace_back(t.elementList[p], static_cast<std::uint32_t>(p));
  std::sort(t.elementIndex.begin(), t.elementIndex.end());  // by identifier, then first position
  t.elementRow.assign(t.elementList.size(), 0);
  for (std::size_t i = 0; i < t.elementIndex.size(); ++i) {
    bool first = i == 0 || t.elementIndex[i - 1].first != t.elementIndex[i].first;
    std::uint32_t row = first ? t.elementIndex[i].second : t.elementRow[t.elementIndex[i - 1].second];
    t.elementRow[t.elementIndex[i].second] = row;
  }
  // Keep one entry per identifier, the one of its first position.
  auto last = std::unique(t.elementIndex.begin(), t.elementIndex.end(),
                          [](const auto& a, const auto& b) { return a.first == b.first; });
  t.elementIndex.erase(last, t.elementIndex.end());
}

std::int64_t stressRowOf(std::int32_t identifier) {
  const auto& index = runTables.elementIndex;
  auto found = std::lower_bound(index.begin(), index.end(), identifier,
                                [](const auto& entry, std::int32_t id) { return entry.first < id; });
  if (found == index.end() || found->first != identifier) return -1;
  return found->second;
}

void appendFrequencyEntry(double frequency, double referenceAcceleration) {
  runTables.frequencyTable.push_back(frequency);
  runTables.referenceAccelerationTable.push_back(referenceAcceleration);
  ++runTables.frequencyCount;
}

}  // namespace quarvel
