// TVandirCNC: the link component. It owns the transport thread, the machine-data cache
// and the keep-alive timer, admits requests by login level into the transport's lists and
// lets one write ("set") command be outstanding at a time. Every operation reports through
// its return value; nothing throws across this interface.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "link/cache.h"
#include "link/clock.h"
#include "link/file_list_queue.h"
#include "link/package.h"
#include "link/periodic_timer.h"
#include "link/transport.h"

namespace vandir {

using TPackageEvent = std::function<void(void* Sender, int iCommand)>;
using TPackageErrorEvent = std::function<void(void* Sender, int iCommand, int iError)>;
using TFileEvent = std::function<void(void* Sender, const std::string& stSourceFileName,
                                      const std::string& stTargetFileName, int iPercentange)>;

// Results shared by many operations.
inline constexpr int kOk = 0;
inline constexpr int kRefused = -1;
inline constexpr int kBadArgument = -17;
inline constexpr int kNotConnected = -65;
inline constexpr std::int16_t kSetPending = 999;
inline constexpr std::int16_t kSetTimedOut = -999;
inline constexpr std::int16_t kSetNoRight = -1000;
inline constexpr std::int16_t kNoNewLogin = 999;

class TVandirCNC {
 public:
  // `clock` supplies wall-clock seconds; the system clock when null.
  explicit TVandirCNC(std::shared_ptr<const Clock> clock = nullptr);
  ~TVandirCNC();
  TVandirCNC(const TVandirCNC&) = delete;
  TVandirCNC& operator=(const TVandirCNC&) = delete;

  // Properties.
  std::string GetCNC_TCP_IP() const { return CNC_TCP_IP; }
  void SetCNC_TCP_IP(const std::string& value) { CNC_TCP_IP = value; }
  std::int16_t GetCNC_TCP_Port() const { return CNC_TCP_Port; }
  void SetCNC_TCP_Port(std::int16_t value) { CNC_TCP_Port = value; }

  // Events. Nothing inside the library raises them; the dispatch operations below do.
  TPackageErrorEvent OnSendError;
  TPackageEvent OnSend;
  TPackageErrorEvent OnReceiveError;
  TPackageEvent OnReceive;
  TPackageErrorEvent OnReplyError;
  TFileEvent OnReceiveFile;
  TFileEvent OnSendFile;

  // Connection. Connect_TCP returns at once; the outcome arrives through QueryUserStatus.
  int Connect_TCP(char type, const std::string& ip);
  void Disconnect();
  int LoginIn(std::int16_t level);
  int SetRenewMode(int mode);

  // Status.
  int GetConnectStatus();
  int GetConnectType() const;
  std::int16_t QueryUserStatus();
  std::int16_t QueryStatus();
  int GetLastCommandIndex() const { return LastCommandIndex; }
  int GetLastReplyIndex() const { return LastReplyIndex; }
  int GetMountOfSendPackage() const { return MountOfSendPackage; }
  int GetMountOfReceivePackage() const { return MountOfReceivePackage; }

  // Submission: 0 when queued, -1 otherwise.
  int SendCommand(const defSEND_PACKAGE& package);
  int SendSetCommand(const defSEND_PACKAGE& package);
  int SendPriorityCommand(const defSEND_PACKAGE& package);
  int SendSetPriorityCommand(const defSEND_PACKAGE& package);

  // Keep-alive. AskEcho waits at most one second for the answer.
  void AskEcho(const std::string& address, std::int16_t port);
  void Echo();
  void mtmConnectTimer();

  // Requests of the link machinery.
  int AskLogin(std::int16_t level, const std::string& identification);
  // The PC's processor identification: eight upper-case hexadecimal digits.
  std::string GetCPUID() const;

  // Event dispatch.
  void OnPackageSendError(void* Sender, const defSEND_PACKAGE& package, int error);
  void OnPackageSend(void* Sender, const defSEND_PACKAGE& package);
  void OnPackageReceive(void* Sender, const defRECEIVE_PACKAGE& package);
  void OnPackageReceiveError(void* Sender, const defRECEIVE_PACKAGE& package, int error);
  void OnPackageReplyError(void* Sender, const defRECEIVE_PACKAGE& package, int error);
  void OnPackageReceiveFile(void* Sender, const std::string& source, const std::string& target,
                            int percent);
  void OnPackageSendFile(void* Sender, const std::string& source, const std::string& target,
                         int percent);

  // Published objects. The transport and the file-list queue are read directly by the
  // maintenance service.
  vandir::FileListQueue FileListQueue;
  std::unique_ptr<Send_Recv> SendCMD;

 protected:
  // iIndex for the next request: the counter is incremented first and wraps at 16 bits.
  std::int16_t NextIndex();
  // A zeroed request with the header words every builder fills, and the next index.
  defSEND_PACKAGE NewRequest(std::int16_t command, std::int16_t replyLength,
                             std::int16_t length = kHeaderSize);
  std::int64_t Now() const { return clock_->Now(); }

 private:
  bool PriorityAllowed(const defSEND_PACKAGE& package) const;
  defSEND_PACKAGE MakeEcho(std::int16_t port);

  std::shared_ptr<const Clock> clock_;
  vandir::Cache Cache;
  int ConnectType = 0;
  std::atomic<std::uint16_t> IndexCounter{0};
  std::int16_t LastCommandIndex = 0;
  std::int16_t LastReplyIndex = 0;
  int MountOfSendPackage = 0;
  int MountOfReceivePackage = 0;
  std::int16_t CNC_TCP_Port = 0;
  std::string CNC_TCP_IP;
  std::unique_ptr<PeriodicTimer> mtmConnect;
};

}  // namespace vandir
