#include "app/pages/user_parameter_page.h"

#include <QBoxLayout>
#include <QKeyEvent>

#include "app/frame/main_window.h"
#include "app/language/language.h"
#include "app/pages/page_controls.h"
#include "app/widgets/string_grid.h"

namespace talvo::app {
namespace {

constexpr int kValueCol = 1;
constexpr int kFunctionCol = 2;
constexpr int kExplanationCol = 3;

}  // namespace

StringGrid* NewUserParamGrid(const char* name) {
  return NewSizedGrid(name, 1 + kUserParamRows, {84, 100, 130, 418});
}

void FillUserParamTexts(StringGrid& grid, const TDisplayStrings& texts, const QString& noUse,
                        const std::function<TUserParamTextKeys(int row)>& keys) {
  const auto text = [&](int key) {
    const QString t = texts.Text(key);
    return t.isEmpty() ? noUse : t;
  };
  grid.BeginUpdate();
  for (int row = 1; row <= kUserParamRows; ++row) {
    const TUserParamTextKeys k = keys(row);
    grid.SetCell(kFunctionCol, row, text(k.function));
    grid.SetCell(kExplanationCol, row, text(k.explanation));
  }
  grid.EndUpdate();
}

int TUserParameterPage::RegisterOfRow(int row) { return row <= 20 ? row + 50 : row + 60; }

int TUserParameterPage::RowOfRegister(int reg) {
  if (reg >= 51 && reg <= 70) return reg - 50;
  if (reg >= 81 && reg <= 100) return reg - 60;
  return 0;
}

TUserParamTextKeys TUserParameterPage::TextKeys(int row) {
  return row <= 20 ? TUserParamTextKeys{14551 + row - 1, 14801 + row - 1}
                   : TUserParamTextKeys{14581 + row - 21, 14831 + row - 21};
}

TUserParameterPage::TUserParameterPage(QWidget* parent)
    : TPage("TabSheetUserParam", page_tag::kUserParameter, parent),
      grid_(NewUserParamGrid("UserParamGrid")) {
  auto* page = new QVBoxLayout(this);
  page->addWidget(grid_);
}

void TUserParameterPage::LoadCaptions(const TLanguage& language) {
  LoadHeaders(*grid_, language, "UserParameter",
              {"UserParamNo_Label", "UserParamValue_Label", "UserParamFunction_Label",
               "UserParamExplain_Label"});
  LabelRows(*grid_, 1, kUserParamRows,
            [](int row) { return QString::asprintf("%03d - D%03d", row, RegisterOfRow(row)); });
}

void TUserParameterPage::Attach(TFormMain& frame) {
  frame_ = &frame;
  frame.Infos().UserParameterRegisters.OnChange = [this](TTalvoInfo*) { ShowRegisters(); };
  // A double click offers the pad at 0; a typed digit starts it with that digit.
  grid_->OnCellActivated = [this](int col, int row) {
    if (col == kValueCol && row >= 1)
      frame_->EditGridValue(EEditHow::DoubleClicked, EEditKind::BackupRegister,
                            grid_->Cell(col, row), 0, RegisterOfRow(row),
                            CellTarget(*grid_, col, row));
  };
  grid_->OnKey = [this](QKeyEvent* event) {
    if (grid_->Col() != kValueCol || grid_->Row() < 1 || event->text().isEmpty() ||
        !frame_->Service().GetSessionReady())
      return false;
    frame_->EditGridValue(EEditHow::KeyTyped, EEditKind::UserParameter, event->text(), 0,
                          RegisterOfRow(grid_->Row()), CellTarget(*grid_, kValueCol, grid_->Row()));
    return true;
  };
}

void TUserParameterPage::ConnectionCompleted() {
  FillUserParamTexts(*grid_, frame_->DisplayStrings(),
                     frame_->Language().Caption("Parameter", "SysParamNoUse"), &TextKeys);
}

void TUserParameterPage::ShowRegisters() {
  const TTalvoInfo_PLCRegister& registers = frame_->Infos().UserParameterRegisters;
  const int first = registers.ChunkStart();
  const int end = std::min(first + TTalvoInfo_PLCRegister::kChunk, TTalvoInfo_PLCRegister::kRegisters);
  grid_->BeginUpdate();
  for (int reg = first; reg < end; ++reg)
    if (const int row = RowOfRegister(reg))
      grid_->SetCell(kValueCol, row, QString::number(registers.Value(reg)));
  grid_->EndUpdate();
}

}  // namespace talvo::app
