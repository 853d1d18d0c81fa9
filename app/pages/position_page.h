// The Position page: the five coordinate boxes, the work-coordinate offsets, and the tool
// compensation tables of a milling or a lathe controller.
#pragma once

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>

#include <array>
#include <optional>

#include "app/frame/edit_grid_value.h"
#include "app/pages/grid_pass.h"
#include "app/pages/page.h"
#include "app/widgets/coord_box.h"
#include "app/widgets/string_grid.h"

namespace talvo::app {

class TPositionPage : public TPage {
 public:
  static constexpr int kBoxes = 5;
  static constexpr int kAxes = 6;

  explicit TPositionPage(QWidget* parent = nullptr);

  void LoadCaptions(const TLanguage& language) override;
  // Rows of the boxes, offset columns, axis labels and the tool tables of the system type.
  void ApplySystemType(int type) override;
  // Axis letters of axes 1-6: beside the offset grid, in every box, and before `lengthSuffix`
  // as the headers of the six tool-length columns.
  void SetAxisLetters(const std::array<QString, kAxes>& letters, const QString& lengthSuffix);
  // Gives the offset and tool objects their handlers and the grids their editors.
  void Attach(TFormMain& frame) override;
  // Makes the offset column whose header is the typed name the current one.
  void GotoOffset();

  // In the order Coord1_ABS, Coord2_INC, Coord3_MAC, Coord4_DIS, Coord5_HandlePos.
  std::array<TTCoordBox*, kBoxes> CoordBoxes{};
  QGroupBox* GroupBoxPos;
  QGroupBox* GroupBoxOffset;
  StringGrid* StringGridOffsetSetCoord;
  std::array<QLabel*, kAxes> LabelOffsetSetCoord{};
  QLabel* LabelPosOffsetGoto;
  QLineEdit* EditPosOffsetGoto;
  QPushButton* SpeedButtonPosOffsetGoto;
  QGroupBox* GroupBoxTools;
  QStackedWidget* TypePage;
  QWidget* Milling;
  QWidget* Lathe;
  StringGrid* gridMTools;
  QGroupBox* GroupBoxTDC;
  StringGrid* StringGridTDC;
  QGroupBox* GroupBoxGeon;
  StringGrid* gridGeom;
  QGroupBox* GroupBoxWear;
  StringGrid* gridWear;

 private:
  // Double click (or Enter) and typed keys on `grid` write through the window's editor.
  void ConnectEditor(StringGrid& grid, EEditKind kind);

  TFormMain* frame_ = nullptr;
  std::optional<TGridPass> pass_;
};

}  // namespace talvo::app
