// The service's own result codes: what a finish check says of the job it follows, the
// answers to the overwrite question, the controller's codes the service acts on, and the
// OnError numbers of a connect attempt that the link does not report itself. The link's
// codes, which OnError passes on unchanged, are in link/result_codes.h.
#pragma once

#include "link/result_codes.h"

namespace talvo {

// The result of a finish check, which CheckProcessReturnValue acts on.
enum EFinishResult : int {
  frFinished = 1,
  frRunning = 0,
  frLinkLost = -1,   // the liveness check failed and the reconnect policy has acted
  frFailed = -2,     // the link or the controller reported LastError: OnError
  frSkipped = -3,    // this file is left alone; a list goes on with the next
  frAbortList = -4,  // a list ends with OnAbortCmdList
};

// Answers to the overwrite question (the modal results of the dialog that asks it). Any
// other answer aborts the list; the dialog's cancel gives kAnswerCancel.
inline constexpr int kAnswerCancel = 2;
inline constexpr int kAnswerYes = 6;
inline constexpr int kAnswerNo = 7;
inline constexpr int kAnswerNoToAll = 9;
inline constexpr int kAnswerYesToAll = 10;

// The controller's answer to a folder creation where the folder exists; the service skips
// the command instead of failing. (An upload onto an existing target, which the service
// turns into the overwrite question, is vandir::kUploadTargetExists.)
inline constexpr int kDirExists = 12;

// A login result the link gives when it stops waiting for the handshake, besides its own
// vandir::kLoginNoConnection and vandir::kLoginShortReply; like them it ends the attempt.
inline constexpr int kLoginTimedOut = -999;

// OnError numbers of a connect attempt that the link does not report itself.
inline constexpr int kTextNotLoaded = -40;      // a downloaded text could not be read back
inline constexpr int kHmiFileNotWritten = -41;  // the display-string file could not be written
// OnError of a folder listing given up unfinished: its total never came, or the controller
// kept answering without reaching it.
inline constexpr int kListingNeverEnds = -42;

}  // namespace talvo
