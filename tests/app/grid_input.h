// Input a user gives a StringGrid cell, addressed as the pages address it (fixed row and
// column counted): a double click on the cell, or a key typed with the cell current.
#pragma once

#include <QTest>

#include "app/widgets/string_grid.h"

namespace talvo::app::test {

inline QModelIndex GridIndex(StringGrid& grid, int col, int row) {
  return grid.model()->index(row - grid.FixedRows(), col - grid.FixedCols());
}

inline void DoubleClickCell(StringGrid& grid, int col, int row) {
  const QModelIndex index = GridIndex(grid, col, row);
  grid.scrollTo(index);
  const QPoint at = grid.visualRect(index).center();
  QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, at);
  QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {}, at);
}

inline void TypeInCell(StringGrid& grid, int col, int row, char key) {
  grid.SetCurrentCell(col, row);
  QTest::keyClick(&grid, key);
}

}  // namespace talvo::app::test
