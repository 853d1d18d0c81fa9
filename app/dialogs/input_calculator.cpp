#include "app/dialogs/input_calculator.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "text/trim.h"

namespace talvo::app {
namespace {

// Values the pad keeps: what a controller's 32-bit integer can hold.
constexpr double kLowest = -2147483648.0;
constexpr double kHighest = 2147483647.0;
constexpr std::size_t kDisplayWidth = 16;
constexpr std::size_t kEntryWidth = 15;  // digits and the dot stop here; the sign does not
constexpr int kSignificantDigits = 15;

bool InRange(double value) { return value >= kLowest && value <= kHighest; }  // NaN: false


bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The value's 15 significant digits (trailing zeros removed) and the decimal exponent of
// the first one.
struct Digits {
  std::string digits;
  int exponent = 0;
};

Digits SignificantDigits(double magnitude) {
  char buffer[40];
  std::snprintf(buffer, sizeof buffer, "%.*e", kSignificantDigits - 1, magnitude);
  const std::string text = buffer;  // d.dddddddddddddde[+-]XX
  const std::size_t e = text.find('e');
  Digits result;
  result.digits = text.substr(0, 1) + text.substr(2, e - 2);
  result.exponent = std::atoi(text.c_str() + e + 1);
  while (result.digits.size() > 1 && result.digits.back() == '0') result.digits.pop_back();
  return result;
}

bool AllZeros(const std::string& text) {
  return text.find_first_not_of("-0.") == std::string::npos;
}

}  // namespace

bool TryTextToDouble(const std::string& text, double* value) {
  const std::string t(text::TrimmedBlanks(text));
  std::size_t i = 0;
  const bool negative = i < t.size() && t[i] == '-';
  if (i < t.size() && (t[i] == '-' || t[i] == '+')) ++i;
  const std::size_t start = i;
  const auto skipDigits = [&] {
    const std::size_t from = i;
    while (i < t.size() && IsDigit(t[i])) ++i;
    return i - from;
  };
  std::size_t digits = skipDigits();
  if (i < t.size() && t[i] == '.') ++i;
  digits += skipDigits();
  if (digits == 0) return false;
  if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
    ++i;
    if (i < t.size() && (t[i] == '-' || t[i] == '+')) ++i;
    if (skipDigits() == 0) return false;
  }
  if (i != t.size()) return false;
  // from_chars takes no '+' and no leading sign we already read; it refuses overflow.
  std::string body = t.substr(start);
  if (body.front() == '.') body.insert(0, "0");
  double magnitude = 0;
  const auto [end, error] = std::from_chars(body.data(), body.data() + body.size(), magnitude);
  if (error != std::errc() || end != body.data() + body.size()) return false;
  *value = negative ? -magnitude : magnitude;
  return true;
}

std::string FormatPadResult(double value) {
  if (value == 0 || !std::isfinite(value)) return "0";
  const int exponent = SignificantDigits(std::fabs(value)).exponent;
  const int decimals = std::clamp(kSignificantDigits - 1 - exponent, 0, kSignificantDigits);
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
  std::string text = buffer;
  if (text.find('.') != std::string::npos) {
    while (text.back() == '0') text.pop_back();
    if (text.back() == '.') text.pop_back();
  }
  return AllZeros(text) ? "0" : text;
}

std::string FormatGeneral(double value) {
  if (value == 0 || !std::isfinite(value)) return "0";
  const Digits d = SignificantDigits(std::fabs(value));
  std::string text = value < 0 ? "-" : "";
  if (d.exponent >= kSignificantDigits || d.exponent < -5) {
    text += d.digits.substr(0, 1);
    if (d.digits.size() > 1) text += "." + d.digits.substr(1);
    return text + "E" + std::to_string(d.exponent);
  }
  if (d.exponent < 0) return text + "0." + std::string(-d.exponent - 1, '0') + d.digits;
  const std::size_t integerDigits = static_cast<std::size_t>(d.exponent) + 1;
  if (d.digits.size() <= integerDigits)
    return text + d.digits + std::string(integerDigits - d.digits.size(), '0');
  return text + d.digits.substr(0, integerDigits) + "." + d.digits.substr(integerDigits);
}

void TInputCalculator::SetDisplay(const std::string& text) {
  display_ = std::string(text::TrimmedBlanks(text).substr(0, kDisplayWidth)) + " ";
}

std::string TInputCalculator::GetDisplay() const { return std::string(text::TrimmedBlanks(display_)); }

void TInputCalculator::Start(bool selected) {
  Reset();
  Commit();
  selected_ = selected && !error_;
  edited_ = false;
}

void TInputCalculator::Press(int code) {
  const bool replace = selected_;
  selected_ = false;
  edited_ = true;
  if (replace && ((code >= '0' && code <= '9') || code == '.' || code == kBackspace)) {
    Reset();
    SetDisplay("0");
    if (code == kBackspace) return;
  }
  switch (code) {
    case '0': case '1': case '2': case '3': case '4':
    case '5': case '6': case '7': case '8': case '9':
    case '.': case kSign:
      Entry(code);
      break;
    case '=': case '+': case '-': case '*': case '/':
    case kReciprocal: case kSquare: case kSquareRoot:
      Operator(code);
      break;
    case kBackspace: case kClear:
      Control(code);
      break;
    default:
      break;
  }
}

void TInputCalculator::Reset() {
  state_ = sFirstOperand;
  accumulator_ = 0;
  operand_ = 0;
  pending_ = 0;
  error_ = false;
}

void TInputCalculator::Fail() {
  error_ = true;
  SetDisplay(kErrorText);
}

// The display becomes the register being entered; a value no register may hold puts the
// register's own value back on the display.
void TInputCalculator::Commit() {
  std::string text = GetDisplay();
  if (text == "-") {
    text = "-0";
    SetDisplay(text);
  }
  double value = 0;
  if (!TryTextToDouble(text, &value)) {
    Fail();
    return;
  }
  if (InRange(value))
    Register() = value;
  else
    SetDisplay(FormatGeneral(Register()));
}

void TInputCalculator::Entry(int code) {
  if (error_) return;
  if (state_ == sFirstOperand && pending_ != 0) {
    state_ = sSecondOperand;
    SetDisplay("0");
  }
  if (state_ == sResult && code != kSign) {  // a new number replaces the result
    Reset();
    SetDisplay("0");
  }
  std::string text = GetDisplay();
  if (text.size() >= kEntryWidth && code != kSign) return;
  if (code == '.') {
    if (text.find('.') == std::string::npos) SetDisplay(text + ".");
    return;
  }
  if (code == kSign) {
    const std::size_t minus = text.find('-');
    if (minus != std::string::npos)
      text.erase(minus, 1);
    else
      text.insert(0, "-");
  } else if (text == "0") {
    text = std::string(1, static_cast<char>(code));
  } else if (text == "-0") {
    text = std::string("-") + static_cast<char>(code);
  } else {
    text += static_cast<char>(code);
  }
  SetDisplay(text);
  Commit();
}

void TInputCalculator::Operator(int code) {
  if (error_) return;
  switch (code) {
    case '+': case '-': case '*': case '/':
      if (state_ == sSecondOperand) Compute(pending_);
      state_ = sFirstOperand;
      pending_ = code;
      break;
    case '=':
      // In the result state this repeats the last operation with the same operand.
      if (state_ == sFirstOperand) return;
      Compute(pending_);
      state_ = sResult;
      break;
    default:
      Compute(code);
      break;
  }
}

void TInputCalculator::Control(int code) {
  if (code == kClear || error_) {
    Reset();
    SetDisplay("0");
    return;
  }
  std::string text = GetDisplay();
  if (!text.empty()) text.pop_back();
  if (text.empty() || text == "-") text = "0";
  SetDisplay(text);
  Commit();
}

void TInputCalculator::Compute(int op) {
  double result = 0;
  switch (op) {
    case '+':
      result = accumulator_ = operand_ + accumulator_;
      break;
    case '-':
      result = accumulator_ = accumulator_ - operand_;
      break;
    case '*':
      result = accumulator_ = operand_ * accumulator_;
      break;
    case '/':
      if (operand_ == 0) return Fail();
      result = accumulator_ = accumulator_ / operand_;
      break;
    case kReciprocal:
      if (Register() == 0) return Fail();
      result = Register() = 1 / Register();
      break;
    case kSquare:
      result = Register() = Register() * Register();
      break;
    case kSquareRoot:
      if (Register() < 0) return Fail();
      result = Register() = std::sqrt(Register());
      break;
    default:  // no operator pending
      return;
  }
  if (!InRange(result)) return Fail();
  SetDisplay(FormatPadResult(result));
}

}  // namespace talvo::app
