// What the command-result dialog says about the outcome of a write: the controller's result
// codes and the link's own waiting, time-out and refusal states, each a text of section
// "ReturnCode"; any other value is shown as its number.
#pragma once

#include <QString>

namespace talvo::app {

class TLanguage;

// The controller's answer to a write with the wrong password; the password is asked again.
inline constexpr int kPasswordError = 402;

// The key of section "ReturnCode" for `value`, or null when the value has no text.
const char* ReturnCodeKey(int value);
// The text for `value` from the language file (its built-in text without one).
QString ReturnCodeText(const TLanguage* language, int value);

}  // namespace talvo::app
