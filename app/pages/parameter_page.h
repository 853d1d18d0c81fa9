// The Parameter page: the 2000 system parameters in one grid of all of them and one grid
// per parameter group, on sheets chosen by the group buttons, with go-to and search.
#pragma once

#include <array>

#include "app/pages/page.h"

class QButtonGroup;
class QLabel;
class QLineEdit;
class QPushButton;
class QStackedWidget;

namespace talvo::app {

class StringGrid;

class TParameterPage : public TPage {
 public:
  // Sheet 0 holds all parameters, sheets 1..7 the groups 1..7, sheet 8 the group of
  // "Other" (its button stays hidden). A group button's number is its sheet's.
  static constexpr int kSheetCount = 9;

  explicit TParameterPage(QWidget* parent = nullptr);
  void LoadCaptions(const TLanguage& language) override;

  StringGrid* AllGrid() const { return grids_[0]; }
  // The grid of sheet 0..8.
  StringGrid* SheetGrid(int sheet) const;
  int SelectedSheet() const;
  // Shows the sheet and checks its button, as a click on the button does.
  void SelectSheet(int sheet);
  // The button of sheet 0..8 (the group buttons, by their numbers).
  QPushButton* SheetButton(int sheet) const;
  // The panel laid over the grids while they are filled; hidden until then.
  QLabel* PanelGetParam() const { return panelGetParam_; }

 private:
  std::array<StringGrid*, kSheetCount> grids_{};
  QStackedWidget* sheets_;
  QButtonGroup* buttons_;
  QLabel* panelGetParam_;
  QLabel* gotoLabel_;
  QLineEdit* gotoEdit_;
  QPushButton* gotoButton_;
  QLabel* searchLabel_;
  QLineEdit* searchEdit_;
  QPushButton* searchButton_;
};

}  // namespace talvo::app
