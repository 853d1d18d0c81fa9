// The Hardware page: the diagnosis of the remote I/O sets and storage, the dog, index and
// encoder signals of six axes, the motion card, and the 180 system variables.
#pragma once

#include <array>

#include "app/pages/page.h"

class QLabel;

namespace talvo::app {

class Lamp;
class StringGrid;

class THardwarePage : public TPage {
 public:
  static constexpr int kAxes = 6;
  static constexpr int kSystemVariables = 180;

  explicit THardwarePage(QWidget* parent = nullptr);
  // Headers and row labels; the system variables' comments come from the display strings.
  void LoadCaptions(const TLanguage& language) override;

  // The axis letter above lamp column 1..6 (`LabelHardwareAxis1`..6).
  QLabel* AxisLabel(int axis) const;

 private:
  StringGrid* gridHardware_;
  StringGrid* gridSystemInfo_;
  QLabel* cardInfLabel_;
  QLabel* dogLabel_;
  QLabel* indexLabel_;
  QLabel* encoderFalseLabel_;
  std::array<QLabel*, kAxes> axisLabels_{};
};

}  // namespace talvo::app
