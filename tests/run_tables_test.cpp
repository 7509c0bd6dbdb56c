// The stress table's storage and the element index.
#include <gtest/gtest.h>

#include <map>
#include <random>
#include <utility>
#include <vector>

#include "control/run_tables.h"

namespace quarvel::test {
namespace {

TEST(StressTable, CellsReadBackWhereverTheyLie) {
  StressTable table;
  const struct {
    std::size_t row, column;
    double value;
  } cells[] = {{0, 0, 1.0},     {0, 1, 1.5},         {199, 1999, 2.0}, {200, 0, 3.0},
               {0, 2000, 4.0},  {100000, 100000, 5.0}, {3, 7, 6.0},     {3, 2, 7.0}};  // the last one goes back
  for (const auto& c : cells) table.store(c.row, c.column, c.value);
  for (const auto& c : cells) EXPECT_EQ(table.at(c.row, c.column), c.value) << c.row << "," << c.column;
  const struct {
    std::size_t row, column;
  } empty[] = {{5, 5}, {0, 2}, {0, 1999}, {0, 2001}, {200, 1}, {3, 3}, {3, 8}, {7, 5000000}, {100001, 0}};
  for (const auto& c : empty) EXPECT_EQ(table.at(c.row, c.column), 0.0) << c.row << "," << c.column;
  table.store(0, 2000, 8.0);  // overwrite the current column
  EXPECT_EQ(table.at(0, 2000), 8.0);
  table.store(3, 2, 9.0);  // overwrite inside an earlier run
  EXPECT_EQ(table.at(3, 2), 9.0);
}

TEST(StressTable, ConsecutiveColumnsShareOneRun) {
  StressTable table;
  for (std::size_t column = 0; column < 5000; ++column) table.store(1, column, static_cast<double>(column));
  table.store(1, 6000, -1.0);
  EXPECT_EQ(table.runCount(), 2u);
  EXPECT_EQ(table.at(1, 4999), 4999.0);
  EXPECT_EQ(table.at(1, 5500), 0.0);
  EXPECT_EQ(table.at(1, 6000), -1.0);
}

// Every row read back whole must match a plain map of the last value
// stored per cell: nominal rows, rows that stay in the cell log, rows that
// outgrow it, overwrites of the current and of earlier columns.
TEST(StressTable, RowsReadBackAsTheLastValueStoredPerCell) {
  StressTable table;
  std::map<std::pair<std::size_t, std::size_t>, double> model;
  std::mt19937_64 random(7);
  const std::size_t rows[] = {0, 1, 199, 200, 201, 5000, 5001, 5002};
  std::size_t column = 0;
  for (int i = 0; i < 20000; ++i) {
    if (random() % 4 == 0) column += 1 + random() % 3;  // the pass only moves on, but sometimes goes back here
    const std::size_t row = rows[random() % std::size(rows)];
    const std::size_t at = random() % 16 == 0 ? column - std::min<std::size_t>(column, random() % 50) : column;
    const double value = static_cast<double>(i) + 0.5;
    table.store(row, at, value);
    model[{row, at}] = value;
  }
  std::vector<double> expected(column + 10), read(column + 10);
  for (std::size_t row : rows) {
    std::fill(expected.begin(), expected.end(), 0.0);
    for (const auto& [cell, value] : model)
      if (cell.first == row) expected[cell.second] = value;
    table.readRow(row, read);
    EXPECT_EQ(read, expected) << "row " << row;
    for (std::size_t c = 0; c < read.size(); ++c) ASSERT_EQ(table.at(row, c), expected[c]) << row << "," << c;
  }
}

// Rows past the nominal ones keep their first values as 16-byte cells and
// go dense only past kCellsPerRow values, so a great many short rows stay
// small.
TEST(StressTable, ShortRowsStayInTheCellLog) {
  StressTable table;
  constexpr std::size_t kRows = 300000;
  table.reserveRows(200 + kRows);
  for (std::size_t i = 0; i < kRows; ++i) table.store(200 + i, i % 7, static_cast<double>(i));
  EXPECT_EQ(table.cellCount(), kRows);
  EXPECT_EQ(table.runCount(), 0u);
  for (std::size_t i = 0; i < kRows; i += 997) EXPECT_EQ(table.at(200 + i, i % 7), static_cast<double>(i));

  const std::size_t longRow = 200 + kRows + 5;  // past the reserved rows: the table grows
  for (std::size_t c = 0; c < 100; ++c) table.store(longRow, c, static_cast<double>(c));
  EXPECT_EQ(table.cellCount(), kRows + StressTable::kCellsPerRow);
  EXPECT_EQ(table.runCount(), 1u);  // the rest in one dense run
  std::vector<double> read(120);
  table.readRow(longRow, std::span(read).first(50));  // a shorter read stops at its end
  for (std::size_t c = 0; c < 50; ++c) EXPECT_EQ(read[c], static_cast<double>(c));
  table.readRow(longRow, read);
  for (std::size_t c = 0; c < 120; ++c) EXPECT_EQ(read[c], c < 100 ? static_cast<double>(c) : 0.0);
  table.store(longRow, 1u << 31, 1.0);  // past any frequency count: never written out
  EXPECT_EQ(table.at(longRow, 1u << 31), 0.0);
}

TEST(ElementIndex, RepeatedIdentifiersShareTheRowOfTheirFirstPosition) {
  runTables = RunTables{};
  for (std::int32_t id : {7, -3, 7, 12, -3, 7}) appendElement(id);
  indexElementList();
  EXPECT_EQ(runTables.elementCount, 6);
  EXPECT_EQ(runTables.elementRow, (std::vector<std::uint32_t>{0, 1, 0, 3, 1, 0}));
  EXPECT_EQ(stressRowOf(7), 0);
  EXPECT_EQ(stressRowOf(-3), 1);
  EXPECT_EQ(stressRowOf(12), 3);
  EXPECT_EQ(stressRowOf(8), -1);
  runTables = RunTables{};
}

// Far past the nominal list the lookup table grows; every identifier keeps
// the row of its first position, and absent ones stay absent.
TEST(ElementIndex, ALongListWithRepeatsKeepsEveryRow) {
  runTables = RunTables{};
  constexpr std::int32_t kDistinct = 50000;
  for (std::int32_t id = 0; id < kDistinct; ++id) appendElement(id * 3 - 70000);
  for (std::int32_t id = 0; id < kDistinct; id += 7) appendElement(id * 3 - 70000);
  indexElementList();
  for (std::int32_t id = 0; id < kDistinct; ++id) ASSERT_EQ(stressRowOf(id * 3 - 70000), id);
  for (std::size_t p = kDistinct; p < runTables.elementList.size(); ++p)
    ASSERT_EQ(runTables.elementRow[p], static_cast<std::uint32_t>((p - kDistinct) * 7));
  EXPECT_EQ(stressRowOf(1 - 70000), -1);
  EXPECT_EQ(stressRowOf(kDistinct * 3), -1);
  runTables = RunTables{};
}

}  // namespace
}  // namespace quarvel::test
