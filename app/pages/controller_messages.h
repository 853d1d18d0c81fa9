// What the machine data and setup pages say on the controller's own screen around a
// transfer. Those texts come from the language file of the controller's display language,
// whatever language the program itself shows.
#pragma once

#include <QStringList>

#include <string>
#include <string_view>

class QWidget;

namespace talvo::app {

class TFormMain;

// The bytes of a caption in the language file matching the controller's screen: English
// when the controller shows English, else Traditional Chinese.
std::string ControllerCaption(const TFormMain& frame, std::string_view section,
                              std::string_view key);

// The controller is not in the state a transfer needs: the operator is asked on the
// controller's screen (when the settings allow messages there) and the user on the PC.
void RefuseForControllerState(TFormMain& frame, QWidget* parent);

// Asks before a restore or a setup replaces what the controller's staging folder holds: to
// which machine (its name in the machine list and its address), what goes (`what`, a line
// each), from which PC folder, and what the user should know first (`warnings`). True only
// for Yes; No is the default.
bool ConfirmSendToController(TFormMain& frame, QWidget* parent, const QStringList& what,
                             const std::string& folder, const QStringList& warnings);

// A restore or upgrade has arrived in the staging folder: the operator is told what to do
// next (when the settings allow messages there), and the controller gets the operator
// message `code` that marks the transfer's end.
void TellControllerTransferDone(TFormMain& frame, const char* messageKey, int code);

}  // namespace talvo::app
