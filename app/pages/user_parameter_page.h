// The User Parameter page: 40 user parameters, held in backup registers D51..D70 and
// D81..D100, with their function and explanation texts.
#pragma once

#include "app/pages/page.h"

namespace talvo::app {

class StringGrid;

// The grid both user-parameter pages show: number, value, function, explanation; a header
// and 40 rows.
StringGrid* NewUserParamGrid(const char* name);
inline constexpr int kUserParamRows = 40;

class TUserParameterPage : public TPage {
 public:
  explicit TUserParameterPage(QWidget* parent = nullptr);
  void LoadCaptions(const TLanguage& language) override;

  // The backup register shown on row 1..40.
  static int RegisterOfRow(int row);

 private:
  StringGrid* grid_;
};

}  // namespace talvo::app
