// The PLC page: the five bit areas, counters, timers, registers R and backup registers D.
#pragma once

#include <array>

#include "app/pages/page.h"

namespace talvo::app {

class StringGrid;

class TPlcPage : public TPage {
 public:
  explicit TPlcPage(QWidget* parent = nullptr);
  void LoadCaptions(const TLanguage& language) override;

 private:
  // By the areas' kinds: I, O, C, S, A.
  std::array<StringGrid*, 5> bits_{};
  StringGrid* counters_;
  StringGrid* timers_;
  StringGrid* registers_;
  StringGrid* dRegisters_;
};

}  // namespace talvo::app
