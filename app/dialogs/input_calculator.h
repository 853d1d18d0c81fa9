// The input pad's calculator: a four-function calculator over a 16-character display. The
// user types a value or computes it; what the display holds when the pad closes with OK is
// the caller's to convert. Every key is a code (the pad's button numbers), so buttons and
// keyboard go through the same Press.
#pragma once

#include <string>

namespace talvo::app {

class TInputCalculator {
 public:
  // Button numbers besides the character codes of '0'..'9', '.', '=', '+', '-', '*', '/'.
  static constexpr int kBackspace = 8;
  static constexpr int kClear = 27;  // CE
  static constexpr int kSign = 128;  // +/-
  static constexpr int kReciprocal = 144;
  static constexpr int kSquare = 145;
  static constexpr int kSquareRoot = 146;

  static constexpr const char* kErrorText = "Error!";

  enum EState { sFirstOperand = 0, sSecondOperand = 1, sResult = 2 };

  // Trimmed, cut to 16 characters, shown with one trailing blank.
  void SetDisplay(const std::string& text);
  // The display without its blanks.
  std::string GetDisplay() const;
  // The display as shown, trailing blank included.
  const std::string& ShownText() const { return display_; }

  // The pad was shown: forget everything, then take the display as the first operand.
  // Started selected, the display is a value to keep or replace: the first digit typed
  // replaces it, as typing over a selected text does.
  void Start(bool selected = false);
  // A button or key by its number; unknown numbers are ignored.
  void Press(int code);

  EState State() const { return state_; }
  bool Selected() const { return selected_; }
  // Whether any key was pressed since Start.
  bool Edited() const { return edited_; }
  bool Error() const { return error_; }
  double Accumulator() const { return accumulator_; }
  double Operand() const { return operand_; }
  int PendingOperator() const { return pending_; }

 private:
  void Reset();
  void Commit();
  void Entry(int code);
  void Operator(int code);
  void Control(int code);
  void Compute(int op);
  void Fail();
  double& Register() { return state_ == sSecondOperand ? operand_ : accumulator_; }

  std::string display_ = "0 ";
  EState state_ = sFirstOperand;
  double accumulator_ = 0;
  double operand_ = 0;
  int pending_ = 0;
  bool error_ = false;
  bool selected_ = false;
  bool edited_ = false;
};

// The pad's number reading: optional blanks around an optional sign, digits with at most
// one decimal point (at least one digit), an optional exponent. False for anything else.
bool TryTextToDouble(const std::string& text, double* value);
// A value as "0.###############": fixed notation, at most 15 decimals and 15 significant
// digits, no trailing zeros, no sign on a zero.
std::string FormatPadResult(double value);
// A value in general notation with 15 significant digits: fixed while it has at most 15
// integer digits and is not below 0.00001 in size, scientific ("1.5E-6") otherwise.
std::string FormatGeneral(double value);

}  // namespace talvo::app
