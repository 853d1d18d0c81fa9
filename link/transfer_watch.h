// Following a file job to its end through the transport's published state. The maintenance
// service's per-tick check and the headless client's blocking wait read a job the same way.
#pragma once

#include <cstdint>

#include "export.h"

namespace vandir {

class Send_Recv;

enum class TransferDirection { kUpload, kDownload };

// What the transport publishes of one job: its flag (Sending or Receiving), FileError and
// its percentage (SendPercent or RecvPercent).
struct TransferState {
  bool flag = false;
  std::int32_t error = 0;
  std::int32_t percent = 0;
};

enum class TransferPhase { kRunning, kFinished, kFailed };

struct TransferProgress {
  TransferPhase phase = TransferPhase::kRunning;
  std::int32_t error = 0;    // the job's FileError once it failed
  std::int32_t percent = 0;  // the job's own figure while it runs, 100 once finished
  bool operator==(const TransferProgress&) const = default;
};

// The flag is read before the error: a job sets its error before it clears its flag, so a
// clear flag comes with the job's final error.
VANDIRCNC_EXPORT TransferState ReadTransfer(const Send_Recv& transport,
                                            TransferDirection direction);

// Failed as soon as there is an error; finished once the flag is clear without one; else
// running. The percentage cannot tell the end: an empty upload ends at 0 %, and a small one
// passes 100 % before its end package.
VANDIRCNC_EXPORT TransferProgress JudgeTransfer(const TransferState& state);

// A job's FileError that says the connection broke under it (a short send or read, or the
// transport's own drop), not that the controller or the local file refused the job.
VANDIRCNC_EXPORT bool ConnectionBroke(std::int32_t error, TransferDirection direction);

inline TransferProgress WatchTransfer(const Send_Recv& transport, TransferDirection direction) {
  return JudgeTransfer(ReadTransfer(transport, direction));
}

}  // namespace vandir
