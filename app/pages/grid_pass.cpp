#include "app/pages/grid_pass.h"

#include <QTimer>

#include "app/widgets/string_grid.h"

namespace talvo::app {

TGridPass::TGridPass(QObject* owner, std::initializer_list<StringGrid*> grids)
    : owner_(owner), grids_(grids) {}

TGridPass::TGridPass(QObject* owner, std::vector<StringGrid*> grids)
    : owner_(owner), grids_(std::move(grids)) {}

void TGridPass::Touch() {
  if (open_) return;
  open_ = true;
  for (StringGrid* grid : grids_) grid->BeginUpdate();
  QTimer::singleShot(0, owner_, [this] { Close(); });
}

void TGridPass::Close() {
  open_ = false;
  for (StringGrid* grid : grids_) grid->EndUpdate();
}

}  // namespace talvo::app
