// The connect sequence: one step per timer tick, each either staying (and asking again on
// the next tick) or moving on and announcing the new state.
#include "service/talvo_service.h"

namespace talvo {
namespace {

bool LoginAccepted(int result) {
  return result == vandir::kLoginLimited || result == vandir::kLoginFull;
}

bool LoginFailed(int result) {
  return result == vandir::kLoginRefused || result == vandir::kLoginRefusedOther ||
         result == kLoginTimedOut || result == vandir::kLoginShortReply ||
         result == vandir::kLoginNoConnection;
}

}  // namespace

std::string TTalvoService::StepMessage(const std::string& text) const {
  return link_->GetCNC_TCP_IP() + text;
}

void TTalvoService::MoveToState(EConnectState state) {
  ConnectState = state;
  PostConnectStateChange(state);
}

void TTalvoService::ProcessConnecting() {
  switch (ConnectState) {
    case csPrepare:
      ProcessConnecting_Prepare();
      break;
    case csConnecting:
      ProcessConnecting_Connecting();
      break;
    case csGetVersion:
      ProcessConnecting_GetVersion();
      break;
    case csGetRootPath:
      ProcessConnecting_GetRootPath();
      break;
    case csGetMachinePath:
      ProcessConnecting_GetMachinePath();
      break;
    case csGetNcFilesPath:
      ProcessConnecting_GetNcFilesPath();
      break;
    case csDownloadMlcErrStr:
    case csDownloadUsrStr:
    case csDownloadDspStr:
    case csDownloadParamIndex:
      ProcessConnecting_Download(ConnectState);
      break;
    case csConnected:
      ProcessConnecting_Complete();
      break;
    case csNone:
      break;
  }
}

void TTalvoService::ProcessConnecting_Prepare() {
  vandir::TVandirCNC::SetRootPath(RemoteZPath);
  link_->Set_DR_Save_Path(DrSavePath);
  link_->Set_DR_ChangeTimer(static_cast<unsigned>(DrChangeTimer));
  link_->Connect_TCP(static_cast<char>(ChannelType), CncIP);
  ConnectState = csConnecting;
  Post([this] {
    if (OnConnecting) OnConnecting(this);
  });
  PostConnectStateChange(csConnecting);
}

void TTalvoService::ProcessConnecting_Connecting() {
  LoginResult = link_->QueryUserStatus();
  AddDebugMsg(StepMessage(" Login: ... (" + std::to_string(LoginResult) + ")"));
  if (LoginAccepted(LoginResult)) {
    MoveToState(csGetVersion);
  } else if (LoginFailed(LoginResult)) {
    if (KeepConnect) {
      ReconnectToMachine();
    } else {
      CloseConnect();
    }
  }
}

void TTalvoService::ProcessConnecting_GetVersion() {
  if (!CheckVandirConnectStatus()) return;
  int valid = 0;
  link_->SWInformation(&NcVersion, &valid);
  if (valid == vandir::kChanged && !NcVersion.empty()) {
    AddDebugMsg(StepMessage(" Version: " + NcVersion));
    MoveToState(csGetRootPath);
  } else {
    AddDebugMsg(StepMessage(" Version: ..."));
  }
}

bool TTalvoService::ReadControllerPath(int (vandir::TVandirCNC::*read)(std::string*, int*),
                                       std::string* target, const char* label) {
  if (!CheckVandirConnectStatus()) return false;
  int valid = 0;
  ((*link_).*read)(target, &valid);
  if (valid == vandir::kUnchanged || target->empty()) {
    AddDebugMsg(StepMessage(std::string(label) + "..."));
    return false;
  }
  if (target->back() != '\\') *target += '\\';
  AddDebugMsg(StepMessage(label + *target));
  return true;
}

void TTalvoService::ProcessConnecting_GetRootPath() {
  if (!ReadControllerPath(&vandir::TVandirCNC::Get_NC_Root_Path, &NcRootPath, " NcRootPath: ")) {
    return;
  }
  NcResourcePath = NcRootPath + "resource\\";
  MoveToState(csGetMachinePath);
}

void TTalvoService::ProcessConnecting_GetMachinePath() {
  if (ReadControllerPath(&vandir::TVandirCNC::Get_NC_Machine_Path, &NcMachinePath,
                         " NcMachinePath: ")) {
    MoveToState(csGetNcFilesPath);
  }
}

void TTalvoService::ProcessConnecting_GetNcFilesPath() {
  if (!ReadControllerPath(&vandir::TVandirCNC::Get_NC_Files_Path, &NcFilesPath,
                          " NcFilePath: ")) {
    return;
  }
  StartMlcErrorDownload();
  MoveToState(csDownloadMlcErrStr);
}

void TTalvoService::ProcessConnecting_Complete() {
  ReconnectCount = 0;
  SessionReady = true;
  ProcessKind = pkGetInformation;
  Post([this] {
    if (OnConnect) OnConnect(this);
  });
}

}  // namespace talvo
