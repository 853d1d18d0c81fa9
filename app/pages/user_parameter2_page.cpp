#include "app/pages/user_parameter2_page.h"

#include <QBoxLayout>

#include "app/frame/main_window.h"
#include "app/language/language.h"
#include "app/pages/page_controls.h"
#include "app/widgets/string_grid.h"

namespace talvo::app {
namespace {

constexpr int kValueCol = 1;

bool IsRegister(int number) { return number >= 0 && number < TTalvoInfo_PLCRegister::kRegisters; }

}  // namespace

TUserParamTextKeys TUserParameter2Page::TextKeys(int row) {
  return {19501 + row - 1, 19701 + row - 1};
}

TUserParameter2Page::TUserParameter2Page(QWidget* parent)
    : TPage("TabSheetUserParam2", page_tag::kUserParameter2, parent),
      grid_(NewUserParamGrid("UserParamGrid2")) {
  auto* page = new QVBoxLayout(this);
  page->addWidget(grid_);
  rowRegister_.fill(-1);
}

void TUserParameter2Page::LoadCaptions(const TLanguage& language) {
  LoadHeaders(*grid_, language, "UserParameter2",
              {"UserParam2No_Label", "UserParam2Value_Label", "UserParam2Function_Label",
               "UserParam2Explain_Label"});
  LabelRows(*grid_, 1, kUserParamRows, [](int row) { return QString::asprintf("%03d", row); });
}

void TUserParameter2Page::Attach(TFormMain& frame) {
  frame_ = &frame;
  frame.Infos().UserParameter2Map.OnChange = [this](TTalvoInfo*) { MapChanged(); };
  frame.Infos().UserParameter2Registers.OnChange = [this](TTalvoInfo*) { ShowRegisters(); };
}

// Until the page's own map is read, the rows follow the parameters read at the connection.
void TUserParameter2Page::ConnectionCompleted() {
  FillUserParamTexts(*grid_, frame_->DisplayStrings(),
                     frame_->Language().Caption("Parameter", "SysParamNoUse"), &TextKeys);
  for (int row = 1; row <= kUserParamRows; ++row)
    rowRegister_[static_cast<std::size_t>(row - 1)] =
        frame_->Infos().Parameter.Value(MapIndexOfRow(row));
}

void TUserParameter2Page::MapChanged() {
  const TTalvoInfo_Parameter& map = frame_->Infos().UserParameter2Map;
  const TTalvoInfo_PLCRegister& registers = frame_->Infos().UserParameter2Registers;
  grid_->BeginUpdate();
  for (int row = 1; row <= kUserParamRows; ++row) {
    const int m = map.Value(MapIndexOfRow(row));
    rowRegister_[static_cast<std::size_t>(row - 1)] = m;
    if (!IsRegister(m)) continue;
    grid_->SetCell(0, row, QString::asprintf("%03d - R%03d", row, m));
    grid_->SetCell(kValueCol, row, QString::number(registers.Value(m)));
  }
  grid_->EndUpdate();
}

// The labels stay: only the map's change names the registers.
void TUserParameter2Page::ShowRegisters() {
  const TTalvoInfo_PLCRegister& registers = frame_->Infos().UserParameter2Registers;
  grid_->BeginUpdate();
  for (int row = 1; row <= kUserParamRows; ++row) {
    const int m = rowRegister_[static_cast<std::size_t>(row - 1)];
    if (IsRegister(m)) grid_->SetCell(kValueCol, row, QString::number(registers.Value(m)));
  }
  grid_->EndUpdate();
}

}  // namespace talvo::app
