// What an editable grid of the main window asks EditGridValue to write, and how the edit began.
#pragma once

#include <QString>

namespace talvo::app {

enum class EEditHow { KeyTyped = 1, DoubleClicked = 2 };

// The two indexes a and b of each kind are given beside it.
enum class EEditKind {
  LocalVar = 1,        // b: variable index
  GlobalVar = 2,       // b: variable index
  MillTool = 3,        // a: column - 1 (0 radius, 1..6 lengths), b: tool row
  MillToolTDC = 4,     // a: column - 1 (0 value, 1 time), b: tool row
  LatheGeometry = 5,   // a: column - 1 (0 type, 1 radius, 2..4 lengths), b: tool row
  LatheWear = 6,       // as LatheGeometry
  WorkCoordinate = 7,  // a: axis row - 1, b: column (0 base, 1..6 G54..G59, 7.. G54P sets)
  BackupRegister = 8,  // b: register number
  SystemParameter = 9, // b: parameter number (asks for the maker password)
  UserParameter = 10,  // b: backup register number
};

// What the input pad says it is editing: the cell's row and column captions, and the value
// the cell shows now.
struct TEditTarget {
  QString what;
  QString current;
};

class StringGrid;
TEditTarget CellTarget(const StringGrid& grid, int col, int row);

}  // namespace talvo::app
