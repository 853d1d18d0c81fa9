#include "app/pages/parameter_tables.h"

namespace talvo::app {

constexpr int kNumberCol = 0;
constexpr int kDescriptionCol = 4;

int GroupOfSheet(int sheet) { return sheet == 8 ? kParamGroups : sheet; }

std::optional<TDescriptorRange> GroupRange(const ParamIndex& index, int group) {
  if (group < 1 || group > kParamGroups) return std::nullopt;
  const std::int64_t first = index.GroupStart[static_cast<std::size_t>(group - 1)];
  const std::int64_t end = first + index.GroupCount[static_cast<std::size_t>(group - 1)];
  if (first < 0 || first >= kParamTableSize || end < 1 || end > kParamTableSize) return std::nullopt;
  // A negative count inside the table lists nothing.
  return TDescriptorRange{static_cast<int>(first), static_cast<int>(std::max(first, end))};
}

QString ReduceFirstDoublePercent(QString text) {
  const qsizetype at = text.indexOf(QLatin1String("%%"));
  if (at >= 0) text.remove(at, 1);
  return text;
}

std::optional<int> FindParameterRow(const TCellText& cell, int rows, const QString& wanted) {
  bool number = false;
  const int n = wanted.trimmed().toInt(&number, 10);
  if (!number || n < 1 || n > kParameterCount) return std::nullopt;
  for (int row = 1; row < rows; ++row) {
    bool ok = false;
    if (cell(kNumberCol, row).toInt(&ok, 10) == n && ok) return row;
  }
  return std::nullopt;
}

std::optional<int> FindDescriptionRow(const TCellText& cell, int rows, int currentCol,
                                      int currentRow, const QString& wanted) {
  const QString upper = wanted.trimmed().toUpper();
  if (upper.isEmpty()) return std::nullopt;
  // Texts are compared as Unicode characters, so a match never begins inside a character
  // the controller writes in two bytes.
  for (int row = std::max(currentRow, 1); row < rows; ++row) {
    if (row == currentRow && currentCol == kDescriptionCol) continue;
    if (cell(kDescriptionCol, row).toUpper().contains(upper)) return row;
  }
  return std::nullopt;
}

}  // namespace talvo::app
