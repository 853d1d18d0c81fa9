// What the controller's key parameters say about the machine: the letters of axes 4 to 6
// (A, B, C are rotary, U, V, W linear) and the language of the controller's own screen,
// which decides the code page its texts come in. Read once after each login, as the program
// reads them when a connection completes.
#pragma once

#include <array>
#include <string>

#include "link/vandircnc.h"

namespace talvo::cli::adapter {

struct ControllerSetup {
  // Parameters 122, 288 and 289; the default is the controller's own: A, B, C.
  std::array<int, 3> axisParameters{0, 1, 2};
  // Parameter 202: 0 English, 1 traditional Chinese, 2 simplified Chinese.
  int screenLanguage = 0;
  bool operator==(const ControllerSetup&) const = default;
};

// Each holds 100 parameters from the one named: together the key parameters.
inline constexpr std::array<int, 2> kSetupParameterBlocks = {101, 201};

// From the link's cache, once the blocks above have been answered.
ControllerSetup ReadControllerSetup(vandir::TVandirCNC& link);

// "A" … "W", or "" for a value that names no axis (the program shows a blank).
std::string AxisLetter(int parameter);
// A, B and C turn; U, V and W, and the first three axes, move in a line.
bool IsRotaryAxis(int parameter);
// The interface language whose code page the controller's texts use (text/interface_language.h).
int TextLanguage(const ControllerSetup& setup);

}  // namespace talvo::cli::adapter
