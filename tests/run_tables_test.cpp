// The stress table's storage and the element index.
#include <gtest/gtest.h>

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

}  // namespace
}  // namespace quarvel::test
