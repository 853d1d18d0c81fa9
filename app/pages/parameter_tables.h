// The rules of the parameter grids that need no screen: which group each sheet lists and
// whether the index's range for it can be trusted, the description texts, the go-to and the
// search through a grid's texts, and the user-parameter rows.
#pragma once

#include <QString>

#include <functional>
#include <optional>

#include "service/param_index.h"

namespace talvo::app {

inline constexpr int kParameterCount = 2000;
// Sheets 1..7 list groups 1..7, sheet 8 the group of "Other" (11); sheet 0 lists them all.
int GroupOfSheet(int sheet);

// Descriptors [First, End) of the index's record table.
struct TDescriptorRange {
  int First = 0;
  int End = 0;
};
// The range of a group, or nothing when the index puts it outside the table: its first
// descriptor must lie in 0..5000 and its end in 1..5001.
std::optional<TDescriptorRange> GroupRange(const ParamIndex& index, int group);

// A description from the display strings: the first "%%" stands for one percent sign.
QString ReduceFirstDoublePercent(QString text);

// A grid's texts as the go-to and the search read them: (column, row) -> text.
using TCellText = std::function<QString(int col, int row)>;

// The row 1..rows-1 whose number column reads as `wanted`, or nothing. `wanted` is the
// go-to box's text: a parameter number 1..2000, else nothing is found.
std::optional<int> FindParameterRow(const TCellText& cell, int rows, const QString& wanted);

// The next row, from the current row down, whose description contains `wanted` (blanks
// around it ignored, letters in any case); the current cell itself is never the match.
// Nothing when `wanted` is blank or no row below matches.
std::optional<int> FindDescriptionRow(const TCellText& cell, int rows, int currentCol,
                                      int currentRow, const QString& wanted);

}  // namespace talvo::app
