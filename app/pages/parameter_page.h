// The Parameter page: the 2000 system parameters in one grid of all of them and one grid
// per parameter group, on sheets chosen by the group buttons, with go-to and search.
#pragma once

#include <array>

#include "app/frame/edit_grid_value.h"
#include "app/pages/page.h"

class QButtonGroup;
class QLabel;
class QLineEdit;
class QPushButton;
class QStackedWidget;

namespace talvo {
class TTalvoInfo_Parameter;
}

namespace talvo::app {

class StringGrid;

class TParameterPage : public TPage {
 public:
  // Sheet 0 holds all parameters, sheets 1..7 the groups 1..7, sheet 8 the group of
  // "Other" (its button stays hidden). A group button's number is its sheet's.
  static constexpr int kSheetCount = 9;

  explicit TParameterPage(QWidget* parent = nullptr);
  void LoadCaptions(const TLanguage& language) override;
  void Attach(TFormMain& frame) override;
  // A block of parameter values was read: its cells in every grid that lists them.
  void SharedInfoChanged(TTalvoInfo& info) override;
  // The grids take the new index's sizes, and their texts are filled once the window's
  // pending work has run.
  void ConnectionCompleted() override;

  // Writes the numbers, group names, activation types and descriptions into the grids,
  // letting the window's events run every 20 parameters while the loading panel counts;
  // ends early when the window stops loading (closed, disconnected) or a newer fill starts.
  // A faulty index leaves the panel showing why, after a message box.
  void BuildParameterTables();
  // Whether the last fill ran to its end (a faulty index or a stop leaves it false).
  bool TablesBuilt() const { return tablesBuilt_; }

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
  // The grid of the selected sheet that the go-to and search act on: none for the hidden
  // sheet of "Other".
  StringGrid* FindGrid() const;
  void GotoParameter();
  void SearchDescription();
  void EditParameter(const StringGrid& grid, int row, EEditHow how, const QString& typed);
  void ShowValues(const TTalvoInfo_Parameter& values);
  bool FillDescriptions(int generation);
  bool FillGroups();

  TFormMain* frame_ = nullptr;
  int fillGeneration_ = 0;
  bool tablesBuilt_ = false;
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
