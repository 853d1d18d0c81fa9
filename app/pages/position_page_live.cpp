// The Position page while connected: what its information objects show, the grids'
// editors and the offset go-to.
#include <QKeyEvent>

#include <algorithm>

#include "app/frame/info_objects.h"
#include "app/frame/main_window.h"
#include "app/pages/position_cells.h"
#include "app/pages/position_page.h"

namespace talvo::app {

void TPositionPage::Attach(TFormMain& frame) {
  frame_ = &frame;
  TInfoObjects& infos = frame.Infos();
  // Every handler writes its cells inside the pass, so the events of one poll or of the
  // forced refresh of a page change reach each grid's view once.
  for (TTalvoInfo_Position& column : infos.OffsetColumns)
    column.OnChange = [this, &column](TTalvoInfo*) {
      pass_->Touch();
      ShowOffsetColumn(*StringGridOffsetSetCoord, column);
    };
  infos.G54P.OnChange = [this, &sets = infos.G54P](TTalvoInfo*) {
    pass_->Touch();
    ShowExtendedOffsets(*StringGridOffsetSetCoord, sets);
  };
  for (TTalvoInfo_MillToolComp& comp : infos.MillTools)
    comp.OnChange = [this, &comp](TTalvoInfo*) {
      pass_->Touch();
      ShowMillTools(*gridMTools, *StringGridTDC, comp);
    };
  infos.MillToolTDCtime.OnChange = [this, &times = infos.MillToolTDCtime](TTalvoInfo*) {
    pass_->Touch();
    ShowTDCTimes(*StringGridTDC, times);
  };
  infos.LatheTools.OnChange = [this, &comp = infos.LatheTools](TTalvoInfo*) {
    pass_->Touch();
    ShowLatheTools(*gridGeom, *gridWear, comp);
  };

  ConnectEditor(*StringGridOffsetSetCoord, EEditKind::WorkCoordinate);
  ConnectEditor(*gridMTools, EEditKind::MillTool);
  ConnectEditor(*StringGridTDC, EEditKind::MillToolTDC);
  ConnectEditor(*gridGeom, EEditKind::LatheGeometry);
  ConnectEditor(*gridWear, EEditKind::LatheWear);
}

void TPositionPage::ConnectEditor(StringGrid& grid, EEditKind kind) {
  // The offsets are addressed by axis row and column, the tools by column and tool row.
  const auto edit = [this, &grid, kind](EEditHow how, const QString& text, int col, int row) {
    TEditTarget target = CellTarget(grid, col, row);
    if (kind == EEditKind::WorkCoordinate) {
      // The offsets' axis letters stand beside the grid, not in it.
      target.what += "  " + LabelOffsetSetCoord[static_cast<std::size_t>(row - 1)]->text();
      frame_->EditGridValue(how, kind, text, row - 1, col, target);
    } else {
      frame_->EditGridValue(how, kind, text, col - 1, row, target);
    }
  };
  grid.OnCellActivated = [this, &grid, edit](int col, int row) {
    if (row < 1 || !frame_->Service().GetSessionReady()) return;
    edit(EEditHow::DoubleClicked, grid.Cell(col, row), col, row);
  };
  // Only a printable key is the editor's; the rest still moves through the grid.
  grid.OnKey = [&grid, edit](QKeyEvent* event) {
    const QString typed = event->text();
    if (typed.size() != 1 || !typed[0].isPrint()) return false;
    edit(EEditHow::KeyTyped, typed, grid.Col(), grid.Row());
    return true;
  };
}

void TPositionPage::GotoOffset() {
  const int col = HeaderColumn(*StringGridOffsetSetCoord, EditPosOffsetGoto->text());
  if (col < 0) return;
  StringGridOffsetSetCoord->SetCurrentCell(col, std::max(StringGridOffsetSetCoord->Row(), 1));
}

}  // namespace talvo::app
