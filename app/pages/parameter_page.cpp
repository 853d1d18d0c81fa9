#include "app/pages/parameter_page.h"

#include <QBoxLayout>
#include <QButtonGroup>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>

#include <QKeyEvent>

#include <string>

#include "app/frame/main_window.h"
#include "app/frame/message_box.h"
#include "app/language/language.h"
#include "app/pages/page_controls.h"
#include "app/pages/parameter_tables.h"
#include "app/widgets/string_grid.h"

namespace talvo::app {
namespace {

// The sheet of all parameters, then one per shown group.
struct TSheet {
  const char* tab;
  const char* grid;
  const char* button;
};
constexpr TSheet kSheets[TParameterPage::kSheetCount] = {
    {"TabSheetParamAll", "StringGridSysParamAll", "SpeedButtonParamAllGroup"},
    {"TabSheetParamGroup1", "StringGridSysParamGroup1", "SpeedButtonParamGroup1"},
    {"TabSheetParamGroup2", "StringGridSysParamGroup2", "SpeedButtonParamGroup2"},
    {"TabSheetParamGroup3", "StringGridSysParamGroup3", "SpeedButtonParamGroup3"},
    {"TabSheetParamGroup4", "StringGridSysParamGroup4", "SpeedButtonParamGroup4"},
    {"TabSheetParamGroup5", "StringGridSysParamGroup5", "SpeedButtonParamGroup5"},
    {"TabSheetParamGroup6", "StringGridSysParamGroup6", "SpeedButtonParamGroup6"},
    {"TabSheetParamGroup7", "StringGridSysParamGroup7", "SpeedButtonParamGroup7"},
    {"TabSheetParamGroup8", "StringGridSysParamGroup8", "SpeedButtonParamGroup8"}};
constexpr int kOtherSheet = 8;
constexpr int kValueCol = 2;
constexpr int kDescriptionCol = 4;

// Until a connection tells how many parameters each grid lists: the header and one row.
constexpr int kRowsUnknown = 2;

}  // namespace

TParameterPage::TParameterPage(QWidget* parent)
    : TPage("TabSheetParam", page_tag::kParameter, parent),
      sheets_(Named<QStackedWidget>("PageControlSysParam")),
      buttons_(new QButtonGroup(this)),
      panelGetParam_(Named<QLabel>("PanelGetParam")),
      gotoLabel_(Named<QLabel>("LabelParameterGoto")),
      gotoEdit_(Named<QLineEdit>("EditParameterGoto")),
      gotoButton_(Named<QPushButton>("SpeedButtonParameterGoto")),
      searchLabel_(Named<QLabel>("LabelParameterSearch")),
      searchEdit_(Named<QLineEdit>("EditParameterSearch")),
      searchButton_(Named<QPushButton>("SpeedButtonParameterSearch")) {
  auto* buttonColumn = new QVBoxLayout;
  for (int sheet = 0; sheet < kSheetCount; ++sheet) {
    grids_[sheet] = NewSizedGrid(kSheets[sheet].grid, kRowsUnknown, {79, 84, 144, 86, 270});
    auto* tab = Named<QWidget>(kSheets[sheet].tab);
    auto* fill = new QVBoxLayout(tab);
    fill->setContentsMargins(0, 0, 0, 0);
    fill->addWidget(grids_[sheet]);
    sheets_->addWidget(tab);

    auto* button = Named<QPushButton>(kSheets[sheet].button);
    button->setCheckable(true);
    button->setMinimumWidth(110);
    buttons_->addButton(button, sheet);
    buttonColumn->addWidget(button);
  }
  buttons_->button(kOtherSheet)->hide();
  buttonColumn->addStretch(1);
  connect(buttons_, &QButtonGroup::idClicked, this, [this](int sheet) { SelectSheet(sheet); });

  gotoEdit_->setMaximumWidth(80);
  searchEdit_->setMaximumWidth(240);
  auto* find = new QHBoxLayout;
  find->addWidget(gotoLabel_);
  find->addWidget(gotoEdit_);
  find->addWidget(gotoButton_);
  find->addSpacing(24);
  find->addWidget(searchLabel_);
  find->addWidget(searchEdit_, 1);
  find->addWidget(searchButton_);
  find->addStretch(1);

  panelGetParam_->setFrameStyle(QFrame::Panel | QFrame::Raised);
  panelGetParam_->setLineWidth(2);
  panelGetParam_->setAlignment(Qt::AlignCenter);
  panelGetParam_->setAutoFillBackground(true);
  panelGetParam_->setMinimumSize(320, 64);
  panelGetParam_->hide();
  auto* overlaid = new QGridLayout;
  overlaid->addWidget(sheets_, 0, 0);
  overlaid->addWidget(panelGetParam_, 0, 0, Qt::AlignCenter);

  auto* right = new QVBoxLayout;
  right->addLayout(find);
  right->addLayout(overlaid, 1);

  auto* page = new QHBoxLayout(this);
  page->addLayout(buttonColumn);
  page->addLayout(right, 1);
  SelectSheet(0);
}

StringGrid* TParameterPage::SheetGrid(int sheet) const {
  return sheet >= 0 && sheet < kSheetCount ? grids_[sheet] : nullptr;
}

int TParameterPage::SelectedSheet() const { return sheets_->currentIndex(); }

void TParameterPage::SelectSheet(int sheet) {
  if (sheet < 0 || sheet >= kSheetCount) return;
  sheets_->setCurrentIndex(sheet);
  buttons_->button(sheet)->setChecked(true);
}

QPushButton* TParameterPage::SheetButton(int sheet) const {
  return static_cast<QPushButton*>(buttons_->button(sheet));
}

void TParameterPage::Attach(TFormMain& frame) {
  frame_ = &frame;
  connect(gotoButton_, &QPushButton::clicked, this, [this] { GotoParameter(); });
  connect(searchButton_, &QPushButton::clicked, this, [this] { SearchDescription(); });
  for (StringGrid* grid : grids_) {
    grid->OnCellActivated = [this, grid](int col, int row) {
      if (col == kValueCol && row >= 1) EditParameter(*grid, row, EEditHow::DoubleClicked, {});
    };
    grid->OnKey = [this, grid](QKeyEvent* event) {
      if (grid->Col() != kValueCol || event->text().isEmpty() ||
          !frame_->Service().GetSessionReady())
        return false;
      EditParameter(*grid, grid->Row(), EEditHow::KeyTyped, event->text());
      return true;
    };
  }
}

StringGrid* TParameterPage::FindGrid() const {
  const int sheet = SelectedSheet();
  return sheet == kOtherSheet ? nullptr : grids_[static_cast<std::size_t>(sheet)];
}

void TParameterPage::GotoParameter() {
  StringGrid* grid = FindGrid();
  if (!grid) return;
  const auto row = FindParameterRow([grid](int col, int r) { return grid->Cell(col, r); },
                                    grid->RowCount(), gotoEdit_->text());
  if (row) grid->SetCurrentCell(kValueCol, *row);
  else ShowMessage(this, frame_->Language().Caption("Parameter", "SearchParamNotFound"));
}

void TParameterPage::SearchDescription() {
  StringGrid* grid = FindGrid();
  if (!grid || searchEdit_->text().trimmed().isEmpty()) return;
  const auto row =
      FindDescriptionRow([grid](int col, int r) { return grid->Cell(col, r); }, grid->RowCount(),
                         grid->Col(), grid->Row(), searchEdit_->text());
  if (!row) {
    ShowMessage(this, frame_->Language().Caption("Parameter", "SearchParamNotFound"));
    return;
  }
  grid->SetCurrentCell(kDescriptionCol, *row);
  // The next click finds the next match.
  searchEdit_->setFocus();
}

// Only maker-level writes are offered; the password is asked for first.
void TParameterPage::EditParameter(const StringGrid& grid, int row, EEditHow how,
                                   const QString& typed) {
  bool ok = false;
  const int n = grid.Cell(0, row).toInt(&ok, 10);
  if (!ok || n < 1 || n > kParameterCount) return;
  // The parameter's number and description say what is being changed.
  TEditTarget target = CellTarget(grid, kValueCol, row);
  target.what = grid.Cell(0, row).trimmed() + "  " + grid.Cell(kDescriptionCol, row).trimmed();
  frame_->EditGridValue(how, EEditKind::SystemParameter, typed, 0, n, target);
}

void TParameterPage::LoadCaptions(const TLanguage& language) {
  buttons_->button(0)->setText(language.Caption("Parameter", "SpeedButtonParamAllGroup_Label"));
  for (int sheet = 1; sheet < kSheetCount; ++sheet)
    buttons_->button(sheet)->setText(
        language.Caption("Parameter", "SysParamGroup" + std::to_string(sheet)));
  for (StringGrid* grid : grids_)
    LoadHeaders(*grid, language, "Parameter",
                {"SysParamNo_Label", "SysParamGroup_Label", "SysParamValue_Label",
                 "SysParamVisible_Label", "SysParamExplain_Label"});
  gotoLabel_->setText(language.Caption("Parameter", "ParameterGoto_Label"));
  gotoButton_->setText(language.Caption("Parameter", "ParameterGoto_Button"));
  searchLabel_->setText(language.Caption("Parameter", "ParameterSearch_Label"));
  searchButton_->setText(language.Caption("Parameter", "ParameterSearch_Button"));
}

}  // namespace talvo::app
