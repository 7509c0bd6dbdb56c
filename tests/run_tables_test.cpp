// The stress table's storage and the element index.
#include <gtest/gtest.h>

#include "control/run_tables.h"

namespace quarvel::test {
namespace {

TEST(StressTable, CellsInsideAndOutsideTheNominalSize) {
  StressTable table;
  const struct {
    std::size_t row, column;
    double value;
  } cells[] = {{0, 0, 1.0}, {199, 1999, 2.0}, {200, 0, 3.0}, {0, 2000, 4.0}, {100000, 100000, 5.0}};
  for (const auto& c : cells) table.store(c.row, c.column, c.value);
  for (const auto& c : cells) EXPECT_EQ(table.at(c.row, c.column), c.value);
  EXPECT_EQ(table.at(5, 5), 0.0);        // never stored
  EXPECT_EQ(table.at(200, 1), 0.0);
  EXPECT_EQ(table.at(7, 5000000), 0.0);  // far past anything stored
  EXPECT_EQ(table.overflowCells(), 3u);  // only the stored cells outside take memory
  table.store(200, 0, 6.0);
  EXPECT_EQ(table.at(200, 0), 6.0);
  EXPECT_EQ(table.overflowCells(), 3u);
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
