#include "link/vandircnc.h"

#include "link/cache.h"
#include "link/data_recorder.h"
#include "link/dnc/dnc_thread.h"
#include "link/dnc/router.h"
#include "link/periodic_timer.h"
#include "link/transport.h"

namespace vandir {

namespace {

constexpr auto kKeepAliveInterval = std::chrono::milliseconds(500);
constexpr auto kEchoWait = std::chrono::seconds(1);

bool IsFileManagementCommand(int command) {
  return command == 401 || command == 402 || command == 405 || command == 407 || command == 409;
}

}  // namespace

TVandirCNC::TVandirCNC(std::shared_ptr<const Clock> clock)
    : TcpServer1888(std::make_unique<Router>()),
      Cache(std::make_unique<vandir::Cache>()),
      clock_(clock ? std::move(clock) : std::make_shared<SystemClock>()) {
  commandRecorder_ = std::make_unique<DataRecorder>(*Cache, DataRecorder::Channel::Command);
  SendCMD = std::make_unique<Send_Recv>(*Cache, FileListQueue, *clock_, commandRecorder_.get());
  dncRecorder_ = std::make_unique<DataRecorder>(*Cache, DataRecorder::Channel::Dnc);
  DNCThread = std::make_unique<DNC>(&TVandirCNC::RootPath, dncRecorder_.get());
  Cache->WithCurrent([](CacheData& c) {
    c.SetIdle = 1;
    c.SetStatus = kSetPending;
  });
  mtmConnect = std::make_unique<PeriodicTimer>(kKeepAliveInterval, [this] { mtmConnectTimer(); });
  mtmConnect->SetEnabled(true);
}

TVandirCNC::~TVandirCNC() {
  DisableRouter();
  DisableDNC();
  mtmConnect.reset();  // its handler uses the transport
  SendCMD.reset();     // joins the thread before the cache it writes goes away
}

int TVandirCNC::Connect_TCP(char type, const std::string& ip) {
  CNC_TCP_IP = ip;
  CNC_TCP_Port = static_cast<std::int16_t>(type == 2 ? kDncCommandPort : kCommandPort);
  SendCMD->SetHost(ip, CNC_TCP_Port);
  if (type == 2) EnableDNC();
  SendCMD->Start();
  if (ip.empty()) return kBadArgument;
  if (ConnectType != 0) return kNotConnected;
  IndexCounter = 0;
  LastCommandIndex = 0;
  LastReplyIndex = 0;
  MountOfReceivePackage = 0;
  MountOfSendPackage = 0;
  ConnectType = kConnectTypeUp;
  const std::int64_t now = Now();
  Cache->WithCurrent([now](CacheData& c) {
    c.LastReplyTime = now;
    c.SetIdle = 1;
    c.SetStatus = kSetPending;
  });
  return kOk;
}

void TVandirCNC::Disconnect() {
  ConnectType = 0;
  CNC_TCP_IP.assign(1, '0');  // the text "0": no controller
  CNC_TCP_Port = 0;
  SendCMD->SetHost("0", SendCMD->HostPort());
  SendCMD->Logout();
  DisableDNC();
  DisableRouter();
  Cache->Reset();
}

int TVandirCNC::EnableDNC() {
  if (CNC_TCP_Port != static_cast<std::int16_t>(kDncCommandPort) || DNCEnabled) return kRefused;
  DNCThread->Start(CNC_TCP_IP, kDncChannelPort);
  DNCEnabled = true;
  return kOk;
}

void TVandirCNC::DisableDNC() {
  if (!DNCEnabled) return;
  DNCThread->Stop();
  DNCEnabled = false;
}

int TVandirCNC::EnableRouter(const std::string& localAddress) {
  return TcpServer1888->Enable(localAddress, CNC_TCP_IP, kCommandPort);
}

void TVandirCNC::DisableRouter() { TcpServer1888->Disable(); }

int TVandirCNC::LoginIn(std::int16_t level) { return AskLogin(level, GetCPUID()); }

int TVandirCNC::SetRenewMode(int mode) { return (mode == 0 || mode == 1) ? kOk : kBadArgument; }

int TVandirCNC::GetConnectStatus() {
  if (ConnectType == 0) return kNotConnected;
  const std::int64_t last = Cache->WithCurrent([](const CacheData& c) { return c.LastReplyTime; });
  const std::int64_t seconds = Now() - last;
  if (seconds >= kStaleAfterSeconds && SendCMD->FileError < 0) return kNotConnected;
  return static_cast<int>(seconds);
}

int TVandirCNC::GetConnectType() const { return ConnectType == kConnectTypeUp ? kConnectTypeUp : 0; }

std::int16_t TVandirCNC::QueryUserStatus() {
  if (SendCMD->LoginStatusNew.exchange(false)) return SendCMD->LoginStatus;
  return kNoNewLogin;
}

std::int16_t TVandirCNC::QueryStatus() {
  const std::int64_t now = Now();
  return Cache->WithCurrent([now](CacheData& c) -> std::int16_t {
    if (c.SetIdle) return c.SetStatus;
    if (now - c.SetTime >= kSetGateTimeoutSeconds) {
      c.SetIdle = 1;
      return kSetTimedOut;
    }
    return kSetPending;
  });
}

int TVandirCNC::SendCommand(const defSEND_PACKAGE& package) {
  if (!LoggedIn()) return kRefused;
  return SendCMD->EnqueueNormal(package);
}

int TVandirCNC::SendSetCommand(const defSEND_PACKAGE& package) { return SendCommand(package); }

bool TVandirCNC::PriorityAllowed(const defSEND_PACKAGE& package) const {
  const std::int16_t login = SendCMD->LoginStatus;
  return login == kLoginFull ||
         (login == kLoginLimited && IsFileManagementCommand(package.iCommand()));
}

int TVandirCNC::SendPriorityCommand(const defSEND_PACKAGE& package) {
  if (!PriorityAllowed(package)) {
    Cache->WithCurrent([](CacheData& c) {
      c.SetIdle = 1;
      c.SetStatus = kSetNoRight;
    });
    return kRefused;
  }
  return SendCMD->EnqueuePriority(package);
}

int TVandirCNC::SendSetPriorityCommand(const defSEND_PACKAGE& package) {
  const std::int64_t now = Now();
  const bool opened = Cache->WithCurrent([&](CacheData& c) {
    if (c.SetIdle) {
      c.SetIdle = 0;
      c.SetIndex = package.iIndex();
      c.SetTime = now;
      c.SetStatus = kSetPending;
      return true;
    }
    if (now - c.SetTime >= kSetGateTimeoutSeconds) {
      c.SetIdle = 1;
      c.SetStatus = kSetTimedOut;
    }
    return false;
  });
  if (!opened) return kRefused;
  const int result = SendPriorityCommand(package);
  // A write the transport did not take (lists busy, no connection) was never sent: the gate
  // must not wait three minutes for its answer.
  if (result != kOk) {
    Cache->WithCurrent([](CacheData& c) {
      c.SetIdle = 1;
      c.SetStatus = kSetNoRight;
    });
  }
  return result;
}

void TVandirCNC::AskEcho(const std::string& /*address*/, std::int16_t port) {
  if (!SendCMD->SocketConnected()) return;
  SendCMD->ExchangeEcho(MakeEcho(port), kEchoWait);
}

void TVandirCNC::Echo() {
  AskEcho(SendCMD->HostAddress(), static_cast<std::int16_t>(SendCMD->HostPort()));
}

void TVandirCNC::mtmConnectTimer() {
  if (!SendCMD->IsSuspended()) return;
  if (SendCMD->CommandListCount() > 0) {
    SendCMD->Resume();
    return;
  }
  if (!SendCMD->Connected) return;
  // The timer only asks: the transport exchanges the echo itself when it is idle.
  SendCMD->RequestEcho(MakeEcho(static_cast<std::int16_t>(SendCMD->HostPort())));
}

int TVandirCNC::AskLogin(std::int16_t level, const std::string& identification) {
  defSEND_PACKAGE p = NewRequest(kCmdLogin, kHeaderSize, kPackageSize);
  p.set_iParam1(level);
  if (identification.size() >= static_cast<std::size_t>(kDataSize) ||
      !p.put_text(kData, identification))
    return kRefused;
  return SendSetPriorityCommand(p);
}

std::int16_t TVandirCNC::NextIndex() {
  return static_cast<std::int16_t>(++IndexCounter);
}

defSEND_PACKAGE TVandirCNC::NewRequest(std::int16_t command, std::int16_t replyLength,
                                       std::int16_t length) {
  defSEND_PACKAGE p;
  p.set_iHead(kPackageHead);
  p.set_iCommand(command);
  p.set_iLength(length);
  p.set_iIndex(NextIndex());
  p.set_iReplyLength(replyLength);
  return p;
}

defSEND_PACKAGE TVandirCNC::MakeEcho(std::int16_t port) {
  defSEND_PACKAGE echo = NewRequest(kCmdEcho, kHeaderSize);
  echo.set_iParam1(port);
  return echo;
}

void TVandirCNC::OnPackageSendError(void* Sender, const defSEND_PACKAGE& package, int error) {
  if (OnSendError) OnSendError(Sender, package.iCommand(), error);
}

void TVandirCNC::OnPackageSend(void* Sender, const defSEND_PACKAGE& package) {
  if (OnSend) OnSend(Sender, package.iCommand());
}

void TVandirCNC::OnPackageReceive(void* Sender, const defRECEIVE_PACKAGE& package) {
  if (OnReceive) OnReceive(Sender, package.iCommand());
}

void TVandirCNC::OnPackageReceiveError(void* Sender, const defRECEIVE_PACKAGE& package,
                                       int error) {
  if (OnReceiveError) OnReceiveError(Sender, package.iCommand(), error);
}

void TVandirCNC::OnPackageReplyError(void* Sender, const defRECEIVE_PACKAGE& package, int error) {
  if (OnReplyError) OnReplyError(Sender, package.iCommand(), error);
}

void TVandirCNC::OnPackageReceiveFile(void* /*Sender*/, const std::string& source,
                                      const std::string& target, int percent) {
  if (OnReceiveFile) OnReceiveFile(this, source, target, percent);
}

void TVandirCNC::OnPackageSendFile(void* Sender, const std::string& source,
                                   const std::string& target, int percent) {
  if (OnSendFile) OnSendFile(Sender, source, target, percent);
}

}  // namespace vandir
