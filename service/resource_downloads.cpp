// The last four steps of a connect sequence: the controller's alarm texts, user strings and
// display strings, merged into one local display-string table, and its parameter index.
#include <filesystem>

#include "link/transfer_watch.h"
#include "link/transport.h"
#include "text/hmi_merge.h"
#include "service/talvo_service.h"

namespace talvo {
namespace {

using text::LoadLines;
using text::MergeLines;
using text::SaveLines;

bool ChineseSet(int language) { return language == 0 || language == 1; }

}  // namespace

std::string TTalvoService::TempTextFile() const { return LocalResourceDir + CncIP + "_Temp.str"; }

void TTalvoService::StartTextDownload(const std::string& controllerFile) {
  startError_ = link_->ReceiveFile(controllerFile, TempTextFile());
}

void TTalvoService::StartMlcErrorDownload() {
  StartTextDownload(NcMachinePath + (ChineseSet(Language) ? "chi_mlc.err" : "eng_mlc.err"));
}

bool TTalvoService::MergeDownloadedText() {
  WorkList.clear();
  const bool loaded = LoadLines(TempTextFile(), &WorkList);
  if (loaded) MergeLines(WorkList, &HmiList);
  WorkList.clear();
  std::error_code ec;
  std::filesystem::remove(TempTextFile(), ec);
  return loaded;
}

void TTalvoService::ProcessConnecting_Download(EConnectState state) {
  int percent = 0;
  const int result = CheckDownloadFileFinish(&percent);
  if (result == frFailed && (!link_->SendCMD->SocketConnected() ||
                             vandir::ConnectionBroke(LastError, vandir::TransferDirection::kDownload))) {
    // The download failed because the link dropped under it: that is a lost link, which the
    // reconnect policy answers, not a missing controller file.
    ReconnectToMachine();
  } else if (result == frFailed) {
    FailConnectAttempt(LastError);
  } else if (result == frFinished) {
    if (!FinishDownloadStep(state)) return;
    MoveToState(static_cast<EConnectState>(state + 1));
  }
}

// The work of a finished download; false after ending the attempt because a local file
// could not be read or written (repeating the step could only fail again).
bool TTalvoService::FinishDownloadStep(EConnectState state) {
  const bool chinese = ChineseSet(Language);
  switch (state) {
    case csDownloadMlcErrStr:
      HmiList.assign(1, text::kHmiSection);
      if (!MergeDownloadedText()) break;
      StartTextDownload(NcMachinePath + (chinese ? "USRCHI.STR" : "USRENG.STR"));
      return true;
    case csDownloadUsrStr:
      if (!MergeDownloadedText()) break;
      StartTextDownload(NcResourcePath + (chinese ? "DspC.str" : "DspE.str"));
      return true;
    case csDownloadDspStr:
      if (!MergeDownloadedText()) break;
      if (!SaveLines(HmiStringFile, HmiList)) {
        FailConnectAttempt(kHmiFileNotWritten);
        return false;
      }
      startError_ = link_->ReceiveFile(NcResourcePath + "param.idx", LocalResourceDir + "param.idx");
      return true;
    default:
      return true;
  }
  FailConnectAttempt(kTextNotLoaded);
  return false;
}

void TTalvoService::FailConnectAttempt(int error) {
  PostKindAndNumber(&TTalvoService::OnError, ProcessKind, error);
  CloseConnect();
}

}  // namespace talvo
