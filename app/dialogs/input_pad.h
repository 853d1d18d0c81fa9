// TFrmInput: the modal pad in which the user types, or computes, every number the program
// writes to the controller. The caller sets the starting text, shows the pad and, after OK,
// reads the display back and converts it itself. Enter is "=" here: only OK and Cancel close.
#pragma once

#include <QDialog>

#include <string>

#include "app/dialogs/input_calculator.h"

class QLabel;
class QPushButton;

namespace talvo::app {

class TLanguage;

class TFrmInput : public QDialog {
 public:
  explicit TFrmInput(QWidget* parent);

  // The current language file for the captions; null shows the built-in texts.
  void SetLanguage(const TLanguage* language) { language_ = language; }
  // The starting text; a selected one is the value being edited, which the first digit
  // typed replaces.
  void SetDisplay(const QString& text, bool selected = false);
  QString GetDisplay() const;
  // What the value being entered is for and the value it has now, shown above the display
  // so that the user sees which cell a number goes to; empty texts show nothing.
  void SetTarget(const QString& what, const QString& current);
  // Whether the pad holds anything but the value it was started with.
  bool Edited() const;

  const TInputCalculator& Calculator() const { return calculator_; }

 protected:
  void showEvent(QShowEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void AddButton(const char* name, const char* caption, int code, int row, int col,
                 int colSpan = 1);
  void Press(int code);
  void ShowDisplay();

  TInputCalculator calculator_;
  bool startSelected_ = false;
  std::string startText_;  // the display as the pad was shown
  const TLanguage* language_ = nullptr;
  QLabel* LabelTarget;
  QLabel* LabelCurrent;
  QLabel* LabelData;
  QPushButton* SpeedButtonOK;
  QPushButton* SpeedButtonCancel;
};

}  // namespace talvo::app
