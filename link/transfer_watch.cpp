#include "link/transfer_watch.h"

#include "link/result_codes.h"
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

bool ConnectionBroke(std::int32_t error, TransferDirection direction) {
  switch (error) {
    case kUploadStartShortReply:
    case kUploadStartShortSend:
    case kUploadDataShortReply:
    case kUploadDataShortSend:
    case kUploadEndShortReply:
    case kUploadEndShortSend:
      return direction == TransferDirection::kUpload;
    case kDownloadPieceShortReply:
    case kDownloadPieceShortSend:
    case kDownloadFirstShortReply:
    case kDownloadFirstShortSend:
      return direction == TransferDirection::kDownload;
    case kJobConnectionLost:
      // The same number means an unreadable local file when an upload starts.
      return direction == TransferDirection::kDownload;
    default:
      return false;
  }
}

}  // namespace vandir
