// The User Parameter page: 40 user parameters, held in backup registers D51..D70 and
// D81..D100, with their function and explanation texts; the values are editable.
#pragma once

#include <QString>

#include <functional>

#include "app/frame/edit_grid_value.h"
#include "app/pages/page.h"

namespace talvo::app {

class StringGrid;
class TDisplayStrings;

// The grid both user-parameter pages show: number, value, function, explanation; a header
// and 40 rows.
StringGrid* NewUserParamGrid(const char* name);
inline constexpr int kUserParamRows = 40;

// The display-string numbers of a row's function and explanation.
struct TUserParamTextKeys {
  int function;
  int explanation;
};
// Columns 2 and 3 of rows 1..40 from the display strings; a missing text reads `noUse`.
void FillUserParamTexts(StringGrid& grid, const TDisplayStrings& texts, const QString& noUse,
                        const std::function<TUserParamTextKeys(int row)>& keys);

class TUserParameterPage : public TPage {
 public:
  explicit TUserParameterPage(QWidget* parent = nullptr);
  void LoadCaptions(const TLanguage& language) override;
  void Attach(TFormMain& frame) override;
  void ConnectionCompleted() override;

  // The backup register shown on row 1..40, and the row of a register (0: not shown).
  static int RegisterOfRow(int row);
  static int RowOfRegister(int reg);
  static TUserParamTextKeys TextKeys(int row);

 private:
  void ShowRegisters();


  TFormMain* frame_ = nullptr;
  StringGrid* grid_;
};

}  // namespace talvo::app
