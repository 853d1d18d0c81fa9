#include "link/transfer_watch.h"

#include "link/transport.h"

namespace vandir {

TransferState ReadTransfer(const Send_Recv& transport, TransferDirection direction) {
  const bool upload = direction == TransferDirection::kUpload;
  TransferState state;
  state.flag = upload ? transport.Sending.load() : transport.Receiving.load();
  state.error = transport.FileError.load();
  state.percent = upload ? transport.SendPercent.load() : transport.RecvPercent.load();
  return state;
}

TransferProgress JudgeTransfer(const TransferState& state) {
  if (state.error != kJobFine) return {TransferPhase::kFailed, state.error, state.percent};
  if (state.flag) return {TransferPhase::kRunning, kJobFine, state.percent};
  return {TransferPhase::kFinished, kJobFine, 100};
}

}  // namespace vandir
