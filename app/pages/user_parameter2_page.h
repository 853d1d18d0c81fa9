// The User Parameter2 page: 40 read-only registers R whose numbers the parameters
// 1843..1882 give, with their function and explanation texts.
#pragma once

#include <array>

#include "app/pages/page.h"
#include "app/pages/user_parameter_page.h"

namespace talvo::app {

class StringGrid;

class TUserParameter2Page : public TPage {
 public:
  explicit TUserParameter2Page(QWidget* parent = nullptr);
  // The rows read "%03d" until a connection tells which register each shows.
  void LoadCaptions(const TLanguage& language) override;
  void Attach(TFormMain& frame) override;
  void ConnectionCompleted() override;

  static TUserParamTextKeys TextKeys(int row);
  // The element of the parameter table that names row 1..40's register.
  static int MapIndexOfRow(int row) { return 1841 + row; }

 private:
  void MapChanged();
  void ShowRegisters();

  TFormMain* frame_ = nullptr;
  StringGrid* grid_;
  // The register each row shows as last read; a number outside 0..255 shows none.
  std::array<int, kUserParamRows> rowRegister_{};
};

}  // namespace talvo::app
