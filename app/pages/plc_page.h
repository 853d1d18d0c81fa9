// The PLC page: the five bit areas, counters, timers, registers R and backup registers D.
#pragma once

#include <array>
#include <memory>

#include "app/pages/grid_pass.h"
#include "app/pages/page.h"

namespace talvo::app {

class StringGrid;

class TPlcPage : public TPage {
 public:
  explicit TPlcPage(QWidget* parent = nullptr);
  void LoadCaptions(const TLanguage& language) override;
  // The page's objects report here; the D registers write through the window.
  void Attach(TFormMain& frame) override;

 private:
  void BitsChange(std::size_t area);
  void CounterTimerChange(std::size_t kind);
  void RegistersChange(bool backup);

  // By the areas' kinds: I, O, C, S, A.
  std::array<StringGrid*, 5> bits_{};
  StringGrid* counters_;
  StringGrid* timers_;
  StringGrid* registers_;
  StringGrid* dRegisters_;
  TFormMain* frame_ = nullptr;
  std::unique_ptr<TGridPass> pass_;
};

}  // namespace talvo::app
