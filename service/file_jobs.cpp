// Running one file job: starting it on the link, and the per-tick checks that follow its
// progress through the transport's state until it finishes, fails or needs an answer.
#include <filesystem>

#include "link/transport.h"
#include "service/talvo_service.h"

namespace talvo {
namespace {

bool OverwriteAllowed(int answer) { return answer == kAnswerYes || answer == kAnswerYesToAll; }

// The transport turns a request away for a moment while it takes one off its lists; a start
// refused so is made again on this many later ticks before the job counts as failed.
constexpr int kStartRetries = 10;

}  // namespace

bool TTalvoService::ExecuteCommand(const SFileCommand& record) {
  startError_ = 0;
  startRetries_ = 0;
  switch (record.Command) {
    case fcSendFile:
      ProcessKind = pkSendFile;
      startError_ = link_->SendFile(record.Name1, record.Name2, OverwriteAllowed(overwriteAnswer_));
      WatchTransfer();
      return true;
    case fcReceiveFile: {
      ProcessKind = pkReceiveFile;
      std::error_code ec;
      if (!OverwriteAllowed(overwriteAnswer_) && std::filesystem::exists(record.Name1, ec)) {
        if (overwriteAnswer_ == kAnswerNoToAll) {
          CheckProcessReturnValue(frSkipped, CalculateWholeProgress(100));
        } else {
          PostFileOverwrite(ProcessKind);
          ProcessKind = pkWaitOverwrite;
        }
        return true;
      }
      startError_ = link_->ReceiveFile(record.Name2, record.Name1);
      WatchTransfer();
      return true;
    }
    case fcFileRename:
      ProcessKind = pkFileRename;
      link_->ResetCount();
      startError_ = link_->NCFileRename(record.Name1, record.Name2);
      return true;
    case fcFileDelete:
      ProcessKind = pkFileDelete;
      link_->ResetCount();
      startError_ = link_->NCFileDelete(record.Name1);
      return true;
    case fcDirCreate:
      ProcessKind = pkDirCreate;
      link_->ResetCount();
      startError_ = link_->NCDirCreate(record.Name1);
      return true;
    default:
      return false;
  }
}

void TTalvoService::ProcessFileJob() {
  if (startError_ == vandir::kRefused && link_->SendCMD->SocketConnected() &&
      startRetries_ < kStartRetries && ProcessKind != pkGetFileList) {
    const int tries = startRetries_ + 1;
    ExecuteCommand(currentCommand_);
    startRetries_ = tries;
    return;
  }
  const EProcessKind kind = ProcessKind;
  int result = frRunning;
  int percent = 0;
  switch (kind) {
    case pkGetFileList:
      result = CheckGetFileListFinish();
      CheckProcessReturnValue(result, listing_->Percent());
      return;
    case pkSendFile:
      result = CheckUploadFileFinish(&percent);
      if (result == frFailed && LastError == vandir::kUploadTargetExists) {
        if (overwriteAnswer_ != kAnswerNoToAll) {
          PostFileOverwrite(kind);
          ProcessKind = pkWaitOverwrite;
          return;
        }
        result = frSkipped;
        percent = 100;
      }
      break;
    case pkReceiveFile:
      result = CheckDownloadFileFinish(&percent);
      break;
    default:
      result = CheckNcReturnFileName();
      if (kind == pkDirCreate && result == frFailed && LastError == kDirExists) {
        result = frSkipped;
        percent = 100;
      } else {
        percent = result == frFinished ? 100 : 0;
      }
      break;
  }
  CheckProcessReturnValue(result, CalculateWholeProgress(percent));
  if (result == frRunning && ProcessKind == kind && (kind == pkSendFile || kind == pkReceiveFile))
    WatchTransfer();
}

// A start the transport turned away is retried on the ticks, which count the retries.
void TTalvoService::WatchTransfer() {
  if (startError_ != vandir::kRefused) FileJobTimer->start();
}

int TTalvoService::CheckGetFileListFinish() {
  if (!CheckVandirConnectStatus()) return frLinkLost;
  listing_->TakeWaiting(link_->FileListQueue);
  if (listing_->Total() && listing_->Complete()) return frFinished;
  if (listing_->GivenUp(clock_->Now())) {
    AddDebugMsg("Listing given up: " + std::to_string(listing_->Taken()) + " of " +
                std::to_string(listing_->Total().value_or(-1)) + " entries");
    LastError = kListingNeverEnds;
    return frFailed;
  }
  FileJobTimer->start();
  if (!listing_->Total()) return frRunning;
  // One part at a time: the next is asked for once the link has dealt with the last request.
  if (link_->SendCMD->IsIdle() && link_->FileList(listDir_, 1) == vandir::kOk)
    listing_->PartAsked();
  return frRunning;
}

void TTalvoService::DebugTransferState(const char* direction, int error, int percent) {
  AddDebugMsg("Err = " + std::to_string(error));
  AddDebugMsg("Tar = " + link_->SendCMD->TargetFileName());
  AddDebugMsg("Src = " + link_->SendCMD->SourceFileName());
  AddDebugMsg(link_->GetCNC_TCP_IP() + direction + std::to_string(percent) + "%");
}

int TTalvoService::CheckUploadFileFinish(int* percent) {
  return CheckTransferFinish(vandir::TransferDirection::kUpload, percent);
}

int TTalvoService::CheckDownloadFileFinish(int* percent) {
  return CheckTransferFinish(vandir::TransferDirection::kDownload, percent);
}

int TTalvoService::CheckTransferFinish(vandir::TransferDirection direction, int* percent) {
  if (!CheckVandirConnectStatus()) return frLinkLost;
  const bool upload = direction == vandir::TransferDirection::kUpload;
  vandir::TransferState state = vandir::ReadTransfer(*link_->SendCMD, direction);
  // A start the link refused leaves no job to follow.
  if (startError_ != 0) state.error = startError_;
  DebugTransferState(upload ? " Upload File " : " Download File ", state.error, state.percent);
  const vandir::TransferProgress progress = vandir::JudgeTransfer(state);
  *percent = progress.percent;
  if (progress.phase != vandir::TransferPhase::kFailed) {
    return progress.phase == vandir::TransferPhase::kFinished ? frFinished : frRunning;
  }
  // The link drops a connection that a job broke before it publishes the job's error: such
  // a job went with the link, and ends as the link does.
  if (!CheckVandirConnectStatus()) return frLinkLost;
  LastError = progress.error;
  if (upload) {
    link_->CancelSendFile();
  } else {
    link_->CancelReceiveFile();
    // A failed download leaves no empty file behind.
    const std::string target = link_->SendCMD->TargetFileName();
    std::error_code ec;
    if (!target.empty() && std::filesystem::exists(target, ec) && FileSize(target) <= 0) {
      std::filesystem::remove(target, ec);
    }
  }
  return frFailed;
}

int TTalvoService::CheckNcReturnFileName() {
  if (!CheckVandirConnectStatus()) return frLinkLost;
  if (startError_ != 0) {
    LastError = startError_;
    return frFailed;
  }
  int requested = 0;
  int answered = 0;
  link_->GetCount(&requested, &answered);
  if (requested != answered) return frRunning;
  std::string name;
  int error = 0;
  link_->GetErrorFilename(&name, &error);
  AddDebugMsg("Err = " + std::to_string(error));
  AddDebugMsg("File Name= " + name);
  AddDebugMsg(link_->GetCNC_TCP_IP() + " Get Error File Name");
  if (error != 0) {
    LastError = error;
    link_->ResetCount();
    return frFailed;
  }
  return frFinished;
}

int TTalvoService::CalculateWholeProgress(int percent) const {
  if (!listRunning_ || cmdList_.empty()) return percent;
  const int step = 100 / static_cast<int>(cmdList_.size());
  return static_cast<int>(listIndex_ * step + percent * step * 0.01);
}

void TTalvoService::CheckProcessReturnValue(int result, int percent) {
  if (listRunning_ && listIndex_ >= 0 && listIndex_ < GetCmdListCount()) {
    SCmdResult& step = cmdResults_[static_cast<std::size_t>(listIndex_)];
    if (result == frFinished) step = {SCmdResult::Done, 0};
    if (result == frSkipped) step = {SCmdResult::Skipped, 0};
    if (result == frFailed) step = {SCmdResult::Failed, LastError};
  }
  if ((result == frRunning || result == frFinished) && percent != LastProgress) {
    LastProgress = percent;
    PostKindAndNumber(&TTalvoService::OnProgress, ProcessKind, percent);
  }
  switch (result) {
    case frFinished:
      if (listRunning_) {
        ExecuteNextCmdInList();
      } else {
        PostKind(&TTalvoService::OnProcessFinish, ProcessKind);
        ProcessKind = pkGetInformation;
      }
      break;
    case frSkipped:
    case frAbortList:
      if (listRunning_) {
        if (result == frAbortList) listAbort_ = true;
        ExecuteNextCmdInList();
      } else {
        ProcessKind = pkGetInformation;
      }
      break;
    case frFailed:
      listRunning_ = false;
      PostKindAndNumber(&TTalvoService::OnError, ProcessKind, LastError);
      ProcessKind = pkGetInformation;
      break;
    default:
      break;
  }
}

}  // namespace talvo
