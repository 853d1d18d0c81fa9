#include "app/pages/user_parameter_page.h"

#include <QBoxLayout>

#include "app/language/language.h"
#include "app/pages/page_controls.h"
#include "app/widgets/string_grid.h"

namespace talvo::app {

StringGrid* NewUserParamGrid(const char* name) {
  return NewSizedGrid(name, 1 + kUserParamRows, {84, 100, 130, 418});
}

int TUserParameterPage::RegisterOfRow(int row) { return row <= 20 ? row + 50 : row + 60; }

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

}  // namespace talvo::app
