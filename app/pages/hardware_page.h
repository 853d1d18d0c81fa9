// The Hardware page: the diagnosis of the remote I/O sets and storage, the dog, index and
// encoder signals of six axes, the motion card, and the 180 system variables.
#pragma once

#include <array>
#include <memory>

#include "app/pages/grid_pass.h"
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
  // The page's objects report here; the comments come from the display strings.
  void Attach(TFormMain& frame) override;
  // A new controller brings its own display strings, and with them the comments.
  void ConnectionCompleted() override;
  void MachineChanged() override;

 private:
  // Lamp rows: dog, index, encoder fault.
  static constexpr int kLampRows = 3;

  void Diagnosis1Change();
  void Diagnosis2Change();
  void SystemVariableChange();
  void LoadComments();
  // "FALSE" for a set flag, "OK" for a clear one, in the current language.
  QString StatusText(bool flag) const;

  StringGrid* gridHardware_;
  StringGrid* gridSystemInfo_;
  QLabel* cardInfLabel_;
  QLabel* dogLabel_;
  QLabel* indexLabel_;
  QLabel* encoderFalseLabel_;
  std::array<QLabel*, kAxes> axisLabels_{};
  QLabel* cardType_;
  std::array<std::array<Lamp*, kAxes>, kLampRows> lamps_{};
  TFormMain* frame_ = nullptr;
  std::unique_ptr<TGridPass> pass_;
};

}  // namespace talvo::app
