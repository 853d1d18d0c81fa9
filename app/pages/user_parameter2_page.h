// The User Parameter2 page: 40 read-only registers R whose numbers the parameters
// 1843..1882 give, with their function and explanation texts.
#pragma once

#include "app/pages/page.h"

namespace talvo::app {

class StringGrid;

class TUserParameter2Page : public TPage {
 public:
  explicit TUserParameter2Page(QWidget* parent = nullptr);
  // The rows read "%03d" until a connection tells which register each shows.
  void LoadCaptions(const TLanguage& language) override;

 private:
  StringGrid* grid_;
};

}  // namespace talvo::app
