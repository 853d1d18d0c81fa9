// The texts the main window shows about the connection and failed file jobs. Plain
// functions of the service's event arguments, so they are tested without a window.
#pragma once

#include <QString>

#include "service/process_states.h"

namespace talvo::app {

class TLanguage;

// What follows "DisConnect" when a connection ends: the login refusal during the login
// step ("-None", "-Exclude", "-Failed", or "(level)"), nothing otherwise.
QString DisconnectReason(const TLanguage& language, EProcessKind kind, EConnectState state,
                         int level);
// " ( 1.5 )": the seconds left before the next attempt, with one decimal.
QString CountdownSuffix(int remainMilliseconds);
// The message of a failed file job, or empty for a kind that reports nothing.
QString FileJobErrorText(const TLanguage& language, EProcessKind kind, int errorNo);

// Axis letters from the key parameters' values: 0, 1, 2 give A, B, C; 3, 4, 5 give U, V, W;
// anything else a blank.
QString AxisLetter(int value);
// The controller's screen language from parameter 202: 0 -> English (2), 1 -> Traditional
// Chinese (0), 2 -> Simplified Chinese (1); any other value keeps `current`.
int ControllerLanguage(int parameter202, int current);

}  // namespace talvo::app
