// What the command-result dialog says about the outcome of a write: the controller's result
// codes and the link's own waiting, time-out and refusal states, each a text of section
// "ReturnCode"; any other value is shown as its number.
#pragma once

#include <QString>

namespace talvo::app {

class TLanguage;

// The controller's answer to a write with the wrong password; the password is asked again.
inline constexpr int kPasswordError = 402;
// The controller's codes for a value out of range, a number no table holds and bad data,
// which also name the link's own refusals of such arguments; and a network fault.
inline constexpr int kValueOutOfRange = 4;
inline constexpr int kNumberOutOfRange = 6;
inline constexpr int kDataError = 10;
inline constexpr int kNetConnectError = 100;
// The program's own outcomes of a write: refused because an earlier one still waits for its
// reply (or the link stayed too busy to take it), sent but its reply lost with the link, and
// sent but no reply came on a link that stayed up.
inline constexpr int kWriteBusy = -1001;
inline constexpr int kWriteResultUnknown = -1002;
inline constexpr int kWriteNoReply = -1003;

// The key of section "ReturnCode" for `value`, or null when the value has no text.
const char* ReturnCodeKey(int value);
// The text for `value` from the language file (its built-in text without one).
QString ReturnCodeText(const TLanguage* language, int value);

}  // namespace talvo::app
