// The file operations a page asks for, one at once or collected into a command list that
// runs in order with one overall progress figure.
#include <filesystem>

#include "service/talvo_service.h"

namespace talvo {
namespace {

bool UpperCaseEquals(const std::string& text, const char* upper) {
  std::string folded = text;
  for (char& c : folded) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return folded == upper;
}

}  // namespace

bool TTalvoService::Ready() const { return SessionReady && ProcessKind == pkGetInformation; }

bool TTalvoService::GetFileList(const std::string& dir,
                                std::vector<vandir::FileListQueue::Block>* list) {
  // Z: is the PC's own folder as the controller sees it; there is nothing to list remotely.
  if (!Ready() || dir.empty() || list == nullptr || UpperCaseEquals(dir, "Z:\\")) return false;
  listDir_ = dir;
  list->clear();
  listing_.emplace(*list, clock_->Now());
  ClearCmdListData();
  // Blocks left by a listing that was cancelled would be read as this listing's count.
  link_->FileListQueue.Clear();
  // A listing the link could not send would wait for its total for ever.
  if (link_->FileList(dir, 0) != vandir::kOk) return false;
  LastProgress = 0;
  ProcessKind = pkGetFileList;
  FileJobTimer->start();
  return true;
}

bool TTalvoService::SubmitCommand(std::uint8_t command, const std::string& name1,
                                  const std::string& name2) {
  SFileCommand record;
  if (!Ready() || !MakeFileCommand(command, name1, name2, &record)) return false;
  currentCommand_ = record;
  if (listBuilding_) {
    AddCmdListData(currentCommand_);
    return true;
  }
  ClearCmdListData();
  overwriteAnswer_ = 0;
  LastProgress = 0;
  ExecuteCommand(currentCommand_);
  return true;
}

bool TTalvoService::SendFile(const std::string& local, const std::string& remote) {
  if (local.empty() || remote.empty()) return false;
  return SubmitCommand(fcSendFile, local, remote);
}

bool TTalvoService::ReceiveFile(const std::string& remote, const std::string& local) {
  if (remote.empty() || local.empty()) return false;
  return SubmitCommand(fcReceiveFile, local, remote);
}

bool TTalvoService::FileRename(const std::string& oldName, const std::string& newName) {
  if (oldName.empty() || newName.empty()) return false;
  return SubmitCommand(fcFileRename, oldName, newName);
}

bool TTalvoService::FileDelete(const std::string& name) {
  if (name.empty()) return false;
  return SubmitCommand(fcFileDelete, name, "");
}

bool TTalvoService::DirCreate(const std::string& name) {
  if (name.empty()) return false;
  return SubmitCommand(fcDirCreate, name, "");
}

bool TTalvoService::BeginCommandList() {
  // Refused while a job or list runs; clearing first would throw the running list away.
  if (!Ready()) return false;
  ClearCmdListData();
  overwriteAnswer_ = 0;
  listBuilding_ = true;
  LastProgress = 0;
  return true;
}

bool TTalvoService::EndCommandList(bool execute) {
  if (Ready() && listBuilding_ && (!execute || !cmdList_.empty())) {
    if (!execute) {
      ClearCmdListData();
      return true;
    }
    listBuilding_ = false;
    listRunning_ = true;
    ExecuteNextCmdInList();
    return true;
  }
  ClearCmdListData();
  return false;
}

void TTalvoService::AbortCommandList() {
  if (listRunning_) listAbort_ = true;
}

void TTalvoService::ExecuteNextCmdInList() {
  for (;;) {
    ++listIndex_;
    const int count = GetCmdListCount();
    if (listIndex_ >= count && LastProgress != 100) {
      LastProgress = 100;
      PostKindAndNumber(&TTalvoService::OnProgress, ProcessKind, 100);
    }
    if (listAbort_ || listIndex_ >= count) {
      if (listAbort_) {
        PostKind(&TTalvoService::OnAbortCmdList, ProcessKind);
      } else {
        PostKind(&TTalvoService::OnProcessFinish, pkCommandList);
      }
      listRunning_ = false;
      listAbort_ = false;
      ProcessKind = pkGetInformation;
      return;
    }
    // "To all" answers hold for the rest of the list.
    if (overwriteAnswer_ != kAnswerNoToAll && overwriteAnswer_ != kAnswerYesToAll) {
      overwriteAnswer_ = 0;
    }
    currentCommand_ = *cmdList_[static_cast<std::size_t>(listIndex_)];
    if (ExecuteCommand(currentCommand_)) {
      // The values at this moment: a skipped receive has already moved on to the next.
      PostKindAndNumber(&TTalvoService::OnCmdListExecute, ProcessKind, listIndex_);
      return;
    }
  }
}

void TTalvoService::ConfirmFileOverwrite(int answer) {
  // An answer that arrives after the job was cancelled or the link closed must not start
  // the job again.
  if (ProcessKind != pkWaitOverwrite) return;
  overwriteAnswer_ = answer;
  if (answer == kAnswerYes || answer == kAnswerYesToAll) {
    ExecuteCommand(currentCommand_);
  } else if (answer == kAnswerNo || answer == kAnswerNoToAll) {
    CheckProcessReturnValue(frSkipped, CalculateWholeProgress(100));
  } else {
    CheckProcessReturnValue(frAbortList, CalculateWholeProgress(100));
  }
}

void TTalvoService::CancelCommand() {
  if (!SessionReady || ProcessKind == pkGetInformation) return;
  if (listRunning_) PostKind(&TTalvoService::OnAbortCmdList, ProcessKind);
  if (ProcessKind == pkSendFile) link_->CancelSendFile();
  if (ProcessKind == pkReceiveFile) link_->CancelReceiveFile();
  listBuilding_ = false;
  listRunning_ = false;
  listAbort_ = false;
  overwriteAnswer_ = 0;
  ProcessKind = pkGetInformation;
}

const SFileCommand* TTalvoService::GetCmdListItems(int index) const {
  if (index < 0 || index >= GetCmdListCount()) return nullptr;
  return cmdList_[static_cast<std::size_t>(index)];
}

SCmdResult TTalvoService::GetCmdListResult(int index) const {
  if (index < 0 || index >= GetCmdListCount()) return {};
  return cmdResults_[static_cast<std::size_t>(index)];
}

void TTalvoService::ClearCmdListData() {
  listBuilding_ = false;
  listRunning_ = false;
  listAbort_ = false;
  listIndex_ = -1;
  cmdList_.clear();
  cmdResults_.clear();
  cmdPool_.Clear();
}

int TTalvoService::AddCmdListData(const SFileCommand& record) {
  SFileCommand* slot = cmdPool_.Take();
  *slot = record;
  cmdList_.push_back(slot);
  cmdResults_.emplace_back();
  return GetCmdListCount() - 1;
}

std::int64_t TTalvoService::FileSize(const std::string& path) {
  std::error_code ec;
  const auto size = std::filesystem::file_size(path, ec);
  return ec ? 0 : static_cast<std::int64_t>(size);
}

}  // namespace talvo
