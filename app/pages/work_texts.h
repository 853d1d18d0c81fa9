// What the Work page makes of the values it shows: the G code cells and the tools in and
// beside the spindle, apart from the widgets.
#pragma once

#include <QString>

#include <functional>

namespace talvo::app {

inline constexpr int kGGroups = 18;
inline constexpr int kGGridColumns = 10;

// The cell of G group `group` (0-17): "G" and the value, empty for a negative value and for
// the last group of a lathe, which has no such group.
QString GGroupText(int group, int value, bool lathe);

// The tool in the spindle and the one prepared, from the backup registers D55 (tool magazine
// present), D73 (tool in the spindle) and D74 (magazine pocket prepared, whose tool is in
// D1..D40).
struct TToolInSpindle {
  bool shown = false;
  int spindle = 0;
  int prepared = 0;
};
TToolInSpindle ToolInSpindle(bool milling, const std::function<int(int)>& backupRegister);

}  // namespace talvo::app
