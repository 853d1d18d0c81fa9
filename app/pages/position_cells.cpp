#include "app/pages/position_cells.h"

#include <algorithm>

#include "app/format/display_format.h"
#include "app/widgets/string_grid.h"

namespace talvo::app {
namespace {

constexpr int kExtendedColumn0 = 7;

// Rows first + 1 .. of a block of `chunk` tools starting at index `first`, below `tools`.
template <class Show>
void ForBlock(int first, int chunk, int tools, Show show) {
  for (int index = std::max(first, 0); index < std::min(first + chunk, tools); ++index)
    show(index, index + 1);
}

}  // namespace

void ShowOffsetColumn(StringGrid& offsets, const TTalvoInfo_Position& column) {
  const int col = static_cast<int>(column.Kind) - static_cast<int>(EPositionKind::CoordBase);
  if (col < 0 || col >= kExtendedColumn0) return;
  for (int axis = 0; axis < TTalvoInfo_Position::kAxes; ++axis)
    offsets.SetCell(col, axis + 1, LengthText(column.Axis(axis)));
}

void ShowExtendedOffsets(StringGrid& offsets, const TTalvoInfo_G54P& sets) {
  ForBlock(sets.ChunkStart(), TTalvoInfo_G54P::kChunk, TTalvoInfo_G54P::kSets,
           [&](int set, int) {
             for (int axis = 0; axis < TTalvoInfo_G54P::kAxes; ++axis)
               offsets.SetCell(set + kExtendedColumn0, axis + 1, LengthText(sets.Value(set, axis)));
           });
}

void ShowMillTools(StringGrid& tools, StringGrid& tdc, const TTalvoInfo_MillToolComp& comp) {
  const int kind = static_cast<int>(comp.Kind);
  if (kind < static_cast<int>(EMillToolKind::Radius)) return;
  const bool tdcValue = comp.Kind == EMillToolKind::TDCValue;
  ForBlock(comp.ChunkStart(), TTalvoInfo_MillToolComp::kChunk, TTalvoInfo_MillToolComp::kTools,
           [&](int index, int row) {
             if (tdcValue) tdc.SetCell(1, row, QString::number(comp.Value(index)));
             else tools.SetCell(kind, row, GeneralLengthText(comp.Value(index)));
           });
}

void ShowTDCTimes(StringGrid& tdc, const TTalvoInfo_MillToolTDCtime& times) {
  ForBlock(times.ChunkStart(), TTalvoInfo_MillToolTDCtime::kChunk,
           TTalvoInfo_MillToolTDCtime::kTools,
           [&](int index, int row) { tdc.SetCell(2, row, GeneralText(times.Value(index))); });
}

void ShowLatheTools(StringGrid& geometry, StringGrid& wear, const TTalvoInfo_LatheToolComp& comp) {
  using enum ELatheToolTable;
  static constexpr ELatheToolTable kGeometry[] = {GeometryRadius, GeometryX, GeometryY, GeometryZ};
  static constexpr ELatheToolTable kWear[] = {WearRadius, WearX, WearY, WearZ};
  ForBlock(comp.ChunkStart(), TTalvoInfo_LatheToolComp::kChunk, TTalvoInfo_LatheToolComp::kTools,
           [&](int index, int row) {
             const QString type = QString::number(comp.Value(Type, index));
             geometry.SetCell(1, row, type);
             wear.SetCell(1, row, type);
             for (int i = 0; i < 4; ++i) {
               geometry.SetCell(i + 2, row, GeneralLengthText(comp.Value(kGeometry[i], index)));
               wear.SetCell(i + 2, row, GeneralLengthText(comp.Value(kWear[i], index)));
             }
           });
}

int HeaderColumn(const StringGrid& grid, const QString& typed) {
  const QString wanted = typed.trimmed().toUpper();
  if (wanted.isEmpty()) return -1;
  for (int col = 0; col < grid.ColCount(); ++col)
    if (grid.Cell(col, 0).toUpper() == wanted) return col;
  return -1;
}

}  // namespace talvo::app
