#include "app/pages/user_parameter2_page.h"

#include <QBoxLayout>

#include "app/language/language.h"
#include "app/pages/page_controls.h"
#include "app/pages/user_parameter_page.h"
#include "app/widgets/string_grid.h"

namespace talvo::app {

TUserParameter2Page::TUserParameter2Page(QWidget* parent)
    : TPage("TabSheetUserParam2", page_tag::kUserParameter2, parent),
      grid_(NewUserParamGrid("UserParamGrid2")) {
  auto* page = new QVBoxLayout(this);
  page->addWidget(grid_);
}

void TUserParameter2Page::LoadCaptions(const TLanguage& language) {
  LoadHeaders(*grid_, language, "UserParameter2",
              {"UserParam2No_Label", "UserParam2Value_Label", "UserParam2Function_Label",
               "UserParam2Explain_Label"});
  LabelRows(*grid_, 1, kUserParamRows, [](int row) { return QString::asprintf("%03d", row); });
}

}  // namespace talvo::app
