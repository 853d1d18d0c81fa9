#include "service/talvo_service.h"

#include <QMetaObject>

#include <algorithm>

#include "link/transport.h"
#include "service/talvo_info.h"

namespace talvo {
namespace {

constexpr int kDefaultProcessInterval = 100;
constexpr int kDefaultDrChangeTimer = 10000;
constexpr qsizetype kDebugLinesHigh = 1000;
constexpr qsizetype kDebugLinesKept = 500;

// PC folders are written with '/' and always end with one.
std::string WithTrailingSlash(std::string folder) {
  if (!folder.empty() && folder.back() != '/') folder += '/';
  return folder;
}

}  // namespace

TTalvoService::TTalvoService(QObject* owner, std::shared_ptr<const vandir::Clock> clock)
    : QObject(owner),
      clock_(clock ? std::move(clock) : std::make_shared<vandir::SystemClock>()),
      link_(std::make_unique<vandir::TVandirCNC>(clock_)),
      ProcessTimer(new QTimer(this)),
      FileJobTimer(new QTimer(this)) {
  ProcessTimer->setObjectName("ProcessTimer");
  ProcessTimer->setInterval(kDefaultProcessInterval);
  connect(ProcessTimer, &QTimer::timeout, this, &TTalvoService::ProcessTimerOnTimer);
  FileJobTimer->setSingleShot(true);
  FileJobTimer->setInterval(2);
  connect(FileJobTimer, &QTimer::timeout, this, [this] {
    if (ProcessKind == pkGetFileList || ProcessKind == pkSendFile || ProcessKind == pkReceiveFile)
      ProcessFileJob();
  });
  ClearConnectData();
  ClearConnectSetting();
  ClearCmdListData();
}

TTalvoService::~TTalvoService() {
  ProcessTimer->stop();
  // Each detach removes the object from the list.
  while (!infos_.empty()) infos_.front()->SetService(nullptr);
  link_.reset();  // closes the connection
}

void TTalvoService::SetKeepConnectInterval(int milliseconds) {
  if (milliseconds < 0 || milliseconds == keepConnectInterval_) return;
  keepConnectInterval_ = milliseconds;
}

// ---- events ---------------------------------------------------------------------------

void TTalvoService::Post(std::function<void()> delivery) {
  // Queued on this object: delivered after the current operation returns, in posting
  // order, and dropped if the service is gone by then.
  QMetaObject::invokeMethod(this, std::move(delivery), Qt::QueuedConnection);
}

void TTalvoService::PostDisconnect() {
  const EProcessKind kind = ProcessKind;
  const EConnectState state = ConnectState;
  const int level = static_cast<std::int16_t>(LoginResult & 0xFFFF);
  Post([this, kind, state, level] {
    if (OnDisconnect) OnDisconnect(this, kind, state, level);
  });
}

void TTalvoService::PostConnectStateChange(EConnectState state) {
  Post([this, state] {
    if (OnConnectStateChange) OnConnectStateChange(this, state);
  });
}

void TTalvoService::PostKindAndNumber(TProcessErrorEvent TTalvoService::*event,
                                      EProcessKind kind, int number) {
  Post([this, event, kind, number] {
    if (this->*event) (this->*event)(this, kind, number);
  });
}

void TTalvoService::PostKind(TProcessEvent TTalvoService::*event, EProcessKind kind) {
  Post([this, event, kind] {
    if (this->*event) (this->*event)(this, kind);
  });
}

void TTalvoService::PostFileOverwrite(EProcessKind kind) {
  Post([this, kind] {
    // The name is the file that would be overwritten, read at delivery time.
    const SFileCommand& c = currentCommand_;
    const bool remoteTarget = c.Command == fcSendFile || c.Command == fcFileRename;
    int result = kAnswerYes;
    if (OnFileOverwrite) OnFileOverwrite(this, kind, remoteTarget ? c.Name2 : c.Name1, result);
    ConfirmFileOverwrite(result);
  });
}

// ---- connection -------------------------------------------------------------------------

bool TTalvoService::ConnectToMachine(int ChannelType_, const std::string& CncIP_,
                                     int DrChangeTimer_, const std::string& DrSavePath_,
                                     const std::string& LocalResourceDir_,
                                     std::string RemoteZPath_, const std::string& HmiStringFile_,
                                     int Language_) {
  if (!link_ || (ProcessKind != pkNone && ProcessKind != pkConnectCountdown)) return false;
  ChannelType = ChannelType_;
  CncIP = CncIP_;
  Language = Language_;
  HmiStringFile = HmiStringFile_;
  RemoteZPath = WithTrailingSlash(RemoteZPath_);
  LocalResourceDir = WithTrailingSlash(LocalResourceDir_);
  DrSavePath = DrSavePath_.empty() ? RemoteZPath_ : DrSavePath_;
  DrChangeTimer = DrChangeTimer_ < 0 ? kDefaultDrChangeTimer : DrChangeTimer_;
  ReconnectCount = 0;
  ConnectCommand();
  return true;
}

void TTalvoService::ConnectCommand() {
  CloseConnect();
  ClearConnectData();
  ProcessKind = pkConnecting;
  ConnectState = csPrepare;
  ProcessTimer->start();
}

void TTalvoService::CloseConnect() {
  if (ProcessKind == pkNone) return;
  link_->Disconnect();
  PostDisconnect();
  SessionReady = false;
  ProcessKind = pkNone;
  ProcessTimer->stop();
}

void TTalvoService::ClearConnectData() {
  SessionReady = false;
  ProcessKind = pkNone;
  ConnectState = csNone;
  LoginResult = 0;
  HmiList.clear();
  LastProgress = 0;
  NcVersion.clear();
  NcRootPath.clear();
  NcMachinePath.clear();
  NcResourcePath.clear();
  NcFilesPath.clear();
}

void TTalvoService::ClearConnectSetting() {
  ChannelType = -1;
  CncIP.clear();
  Language = 2;
  HmiStringFile.clear();
  RemoteZPath.clear();
  LocalResourceDir.clear();
  DrSavePath.clear();
  DrChangeTimer = -1;
}

void TTalvoService::ReconnectToMachine() {
  if (KeepConnect && (KeepConnectCount == 0 || ReconnectCount < KeepConnectCount)) {
    ++ReconnectCount;
    if (keepConnectInterval_ > 0) {
      CloseConnect();
      CountdownElapsed = 0;
      ProcessKind = pkConnectCountdown;
      ProcessTimer->start();
    } else {
      ConnectCommand();
    }
  } else if (ProcessKind != pkConnecting && AutoReconnectEnabled) {
    ConnectCommand();
  } else {
    CloseConnect();
  }
}

bool TTalvoService::CheckVandirConnectStatus() {
  LastConnectStatus = link_->GetConnectStatus();
  // A controller that closed or reset the connection is gone at once: waiting out the six
  // seconds of silence would show frozen values as live. The silence rule stays for a peer
  // that stops answering without closing.
  if (LastConnectStatus != vandir::kNotConnected &&
      LastConnectStatus < vandir::kStaleAfterSeconds && link_->SendCMD->SocketConnected()) {
    return true;
  }
  ReconnectToMachine();
  return false;
}

void TTalvoService::ProcessConnectCountdown() {
  CountdownElapsed += static_cast<unsigned>(GetProcessInterval());
  if (CountdownElapsed < static_cast<unsigned>(keepConnectInterval_)) {
    if (OnConnectCountdown) {
      OnConnectCountdown(this, keepConnectInterval_ - static_cast<int>(CountdownElapsed));
    }
  } else {
    ConnectCommand();
  }
}

// ---- the process loop ---------------------------------------------------------------------

int TTalvoService::SendQueueLength() const {
  return static_cast<int>(link_->SendCMD->CommandListCount());
}

void TTalvoService::ProcessTimerOnTimer() {
  SendCountBefore = SendQueueLength();
  switch (ProcessKind) {
    case pkNone:
      ProcessTimer->stop();
      break;
    case pkConnectCountdown:
      ProcessConnectCountdown();
      break;
    case pkConnecting:
      ProcessConnecting();
      break;
    case pkGetInformation:
      ProcessGetInformation();
      break;
    case pkGetFileList:
    case pkSendFile:
    case pkReceiveFile:
    case pkFileRename:
    case pkFileDelete:
    case pkDirCreate:
      ProcessFileJob();
      break;
    case pkWaitOverwrite:
    case pkCommandList:
      break;
  }
  SendCountAfter = SendQueueLength();
}

void TTalvoService::ProcessGetInformation() {
  if (CheckVandirConnectStatus() && SendCountBefore <= 0) ForEachTalvoInfo(&TTalvoService::PerformGetCNCInfo);
}

// ---- information objects ------------------------------------------------------------------

void TTalvoService::InsertTalvoInfo(TTalvoInfo* info) {
  if (info != nullptr) infos_.push_back(info);
}

void TTalvoService::RemoveTalvoInfo(TTalvoInfo* info) {
  infos_.erase(std::remove(infos_.begin(), infos_.end(), info), infos_.end());
}

TTalvoInfo* TTalvoService::GetTalvoInfos(int index) const {
  if (index < 0 || index >= GetTalvoInfoCount()) return nullptr;
  return infos_[static_cast<std::size_t>(index)];
}

void TTalvoService::ForEachTalvoInfo(void (TTalvoService::*op)(TTalvoInfo*)) {
  // The count is read again on every step: a change handler may register or remove objects.
  for (int i = 0; i < GetTalvoInfoCount(); ++i) (this->*op)(GetTalvoInfos(i));
}

void TTalvoService::PerformGetCNCInfo(TTalvoInfo* info) {
  if (info != nullptr) info->Refresh(false);
}
void TTalvoService::PerformSetActive(TTalvoInfo* info) {
  if (info != nullptr) info->Active = true;
}
void TTalvoService::PerformSetInactive(TTalvoInfo* info) {
  if (info != nullptr) info->Active = false;
}
void TTalvoService::PerformGroupSetActive(TTalvoInfo* info) {
  if (info != nullptr && info->Group == CurrentGroup) info->Active = true;
}
void TTalvoService::PerformGroupSetInactive(TTalvoInfo* info) {
  if (info != nullptr && info->Group == CurrentGroup) info->Active = false;
}
void TTalvoService::PerformGroupForceGetCNCInfo(TTalvoInfo* info) {
  if (info != nullptr && info->Group == CurrentGroup) info->Refresh(true);
}

void TTalvoService::AllInfoSetActive() { ForEachTalvoInfo(&TTalvoService::PerformSetActive); }
void TTalvoService::AllInfoSetInactive() { ForEachTalvoInfo(&TTalvoService::PerformSetInactive); }

void TTalvoService::GroupInfoSetActive(int group) {
  CurrentGroup = group;
  ForEachTalvoInfo(&TTalvoService::PerformGroupSetActive);
}
void TTalvoService::GroupInfoSetInactive(int group) {
  CurrentGroup = group;
  ForEachTalvoInfo(&TTalvoService::PerformGroupSetInactive);
}
void TTalvoService::GroupInfoForceGetCNCInfo(int group) {
  CurrentGroup = group;
  ForEachTalvoInfo(&TTalvoService::PerformGroupForceGetCNCInfo);
}

// ---- debug lines --------------------------------------------------------------------------

void TTalvoService::AddDebugMsg(const std::string& text) {
  if (DebugLines == nullptr) return;
  DebugLines->prepend(QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())));
  if (DebugLines->size() > kDebugLinesHigh) DebugLines->resize(kDebugLinesKept);
}

}  // namespace talvo
