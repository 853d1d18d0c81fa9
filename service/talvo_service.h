// TTalvoService: the program's one way to a controller. It turns "connect to this machine"
// into link calls spread over timer ticks, watches the link and reconnects by its settings,
// polls the registered information objects while the link is idle, runs queued file
// operations, and reports through events that are always delivered later on the main
// thread, in posting order, never inside the operation that caused them.
#pragma once

#include <QObject>
#include <QStringList>
#include <QTimer>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "link/clock.h"
#include "link/listing_entry.h"
#include "link/transfer_watch.h"
#include "link/vandircnc.h"
#include "service/file_command.h"
#include "service/memory_pool.h"
#include "service/process_states.h"
#include "service/result_codes.h"

namespace talvo {

class TTalvoInfo;
class TTalvoService;

using TNotifyEvent = std::function<void(TTalvoService* Sender)>;
using TDisconnectEvent =
    std::function<void(TTalvoService* Sender, EProcessKind Kind, EConnectState State, int Level)>;
// OnError, OnProgress and OnCmdListExecute.
using TProcessErrorEvent =
    std::function<void(TTalvoService* Sender, EProcessKind Kind, int ErrorNo)>;
using TConnectStateEvent = std::function<void(TTalvoService* Sender, EConnectState State)>;
using TProcessEvent = std::function<void(TTalvoService* Sender, EProcessKind Kind)>;
using TFileOverwriteEvent = std::function<void(TTalvoService* Sender, EProcessKind Kind,
                                               std::string FileName, int& Result)>;
using TConnectCountdownEvent = std::function<void(TTalvoService* Sender, int RemainTime)>;

// What became of one command of a list: still to end, done, skipped (the file was left as
// it was), or failed with the link's or the controller's code.
struct SCmdResult {
  enum EState { NotEnded, Done, Skipped, Failed };
  EState State = NotEnded;
  int Error = 0;
  bool operator==(const SCmdResult&) const = default;
};

class TTalvoService : public QObject {
 public:
  // `clock` is handed to the link (wall-clock seconds for its liveness); the system clock
  // when null.
  explicit TTalvoService(QObject* owner = nullptr,
                         std::shared_ptr<const vandir::Clock> clock = nullptr);
  ~TTalvoService() override;

  vandir::TVandirCNC* Link() const { return link_.get(); }

  // Published properties.
  bool KeepConnect = false;
  unsigned KeepConnectCount = 0;
  bool AutoReconnectEnabled = false;
  int GetKeepConnectInterval() const { return keepConnectInterval_; }
  void SetKeepConnectInterval(int milliseconds);
  int GetProcessInterval() const { return ProcessTimer->interval(); }
  void SetProcessInterval(int milliseconds) { ProcessTimer->setInterval(milliseconds); }

  // Events. OnConnectCountdown is raised directly from the timer tick; the others are posted.
  TNotifyEvent OnConnecting;
  TNotifyEvent OnConnect;
  TDisconnectEvent OnDisconnect;
  TProcessErrorEvent OnError;
  TConnectStateEvent OnConnectStateChange;
  TProcessErrorEvent OnProgress;
  TProcessEvent OnProcessFinish;
  TProcessErrorEvent OnCmdListExecute;
  TProcessEvent OnAbortCmdList;
  TFileOverwriteEvent OnFileOverwrite;
  TConnectCountdownEvent OnConnectCountdown;

  // Connection. PC folders get a trailing '/'; false while connected or busy.
  bool ConnectToMachine(int ChannelType, const std::string& CncIP, int DrChangeTimer,
                        const std::string& DrSavePath, const std::string& LocalResourceDir,
                        std::string RemoteZPath, const std::string& HmiStringFile, int Language);
  void ConnectCommand();
  void CloseConnect();
  void ReconnectToMachine();
  bool CheckVandirConnectStatus();
  void ClearConnectData();

  // The process loop; the timer calls it every ProcessInterval ms.
  void ProcessTimerOnTimer();

  // Information objects, registered by their SetService; not owned.
  void InsertTalvoInfo(TTalvoInfo* info);
  void RemoveTalvoInfo(TTalvoInfo* info);
  int GetTalvoInfoCount() const { return static_cast<int>(infos_.size()); }
  TTalvoInfo* GetTalvoInfos(int index) const;
  void AllInfoSetActive();
  void AllInfoSetInactive();
  void GroupInfoSetActive(int group);
  void GroupInfoSetInactive(int group);
  void GroupInfoForceGetCNCInfo(int group);

  // Debug lines, newest first; nothing is kept while DebugLines is null.
  void AddDebugMsg(const std::string& text);
  QStringList* DebugLines = nullptr;

  // File operations: true once accepted. Inside BeginCommandList/EndCommandList they only
  // append to the list. A listing fills `list` with the controller's raw entry records;
  // vandir::DecodeListingEntries reads them.
  bool GetFileList(const std::string& dir, std::vector<vandir::FileListQueue::Block>* list);
  bool SendFile(const std::string& local, const std::string& remote);
  bool ReceiveFile(const std::string& remote, const std::string& local);
  bool FileRename(const std::string& oldName, const std::string& newName);
  bool FileDelete(const std::string& name);
  bool DirCreate(const std::string& name);
  bool BeginCommandList();
  bool EndCommandList(bool execute);
  void AbortCommandList();
  void CancelCommand();
  void ConfirmFileOverwrite(int answer);
  int GetCmdListCount() const { return static_cast<int>(cmdList_.size()); }
  const SFileCommand* GetCmdListItems(int index) const;
  // Kept with the records until the list is cleared; NotEnded outside the list.
  SCmdResult GetCmdListResult(int index) const;
  void ClearCmdListData();
  int AddCmdListData(const SFileCommand& record);
  static std::int64_t FileSize(const std::string& path);
  int CalculateWholeProgress(int percent) const;
  void CheckProcessReturnValue(int result, int percent);

  // Read-only state.
  bool GetSessionReady() const { return SessionReady; }
  EProcessKind GetProcessKind() const { return ProcessKind; }
  EConnectState GetConnectState() const { return ConnectState; }
  int GetLoginResult() const { return LoginResult; }
  int GetLastError() const { return LastError; }
  int GetLastProgress() const { return LastProgress; }
  const std::string& GetCncIP() const { return CncIP; }
  const std::string& GetNcVersion() const { return NcVersion; }
  const std::string& GetNcRootPath() const { return NcRootPath; }
  const std::string& GetNcMachinePath() const { return NcMachinePath; }
  const std::string& GetNcResourcePath() const { return NcResourcePath; }
  const std::string& GetNcFilesPath() const { return NcFilesPath; }
  const std::string& GetRemoteZPath() const { return RemoteZPath; }
  const std::string& GetLocalResourceDir() const { return LocalResourceDir; }
  const std::string& GetDrSavePath() const { return DrSavePath; }
  int GetDrChangeTimer() const { return DrChangeTimer; }
  int GetLastConnectStatus() const { return LastConnectStatus; }
  unsigned GetReconnectCount() const { return ReconnectCount; }
  int GetSendCountBefore() const { return SendCountBefore; }
  int GetSendCountAfter() const { return SendCountAfter; }
  const std::vector<std::string>& GetHmiList() const { return HmiList; }
  std::size_t CmdPoolBlockCount() const { return cmdPool_.BlockCount(); }

 private:
  void ClearConnectSetting();
  int SendQueueLength() const;
  void Post(std::function<void()> delivery);
  void PostDisconnect();
  void PostConnectStateChange(EConnectState state);
  void PostKindAndNumber(TProcessErrorEvent TTalvoService::*event, EProcessKind kind,
                         int number);
  void PostKind(TProcessEvent TTalvoService::*event, EProcessKind kind);
  void PostFileOverwrite(EProcessKind kind);
  void MoveToState(EConnectState state);
  std::string StepMessage(const std::string& text) const;

  // Connect sequence.
  void ProcessConnectCountdown();
  void ProcessConnecting();
  void ProcessConnecting_Prepare();
  void ProcessConnecting_Connecting();
  void ProcessConnecting_GetVersion();
  void ProcessConnecting_GetRootPath();
  void ProcessConnecting_GetMachinePath();
  void ProcessConnecting_GetNcFilesPath();
  void ProcessConnecting_Complete();
  void ProcessGetInformation();
  // A controller path read for steps 4-6: true, with `target` set, once the link has it.
  bool ReadControllerPath(int (vandir::TVandirCNC::*read)(std::string*, int*),
                          std::string* target, const char* label);

  // Connect-time downloads.
  std::string TempTextFile() const;
  void StartTextDownload(const std::string& controllerFile);
  void StartMlcErrorDownload();  // the first of the four
  void ProcessConnecting_Download(EConnectState state);
  bool MergeDownloadedText();
  bool FinishDownloadStep(EConnectState state);
  void FailConnectAttempt(int error);

  // File jobs.
  bool Ready() const;
  bool SubmitCommand(std::uint8_t command, const std::string& name1, const std::string& name2);
  bool ExecuteCommand(const SFileCommand& record);
  void ExecuteNextCmdInList();
  bool CmdListRunning() const { return listRunning_; }
  void ProcessFileJob();
  void WatchTransfer();
  int CheckGetFileListFinish();
  // The transfer checks hand out the job's percentage (100 once finished) in `percent`.
  int CheckUploadFileFinish(int* percent);
  int CheckDownloadFileFinish(int* percent);
  int CheckTransferFinish(vandir::TransferDirection direction, int* percent);
  int CheckNcReturnFileName();
  void DebugTransferState(const char* direction, int error, int percent);

  // Information-object group operations.
  void ForEachTalvoInfo(void (TTalvoService::*op)(TTalvoInfo*));
  void PerformGetCNCInfo(TTalvoInfo* info);
  void PerformSetActive(TTalvoInfo* info);
  void PerformSetInactive(TTalvoInfo* info);
  void PerformGroupSetActive(TTalvoInfo* info);
  void PerformGroupSetInactive(TTalvoInfo* info);
  void PerformGroupForceGetCNCInfo(TTalvoInfo* info);

  std::shared_ptr<const vandir::Clock> clock_;  // the link's own, for the service's time rules
  std::unique_ptr<vandir::TVandirCNC> link_;
  std::vector<TTalvoInfo*> infos_;
  QTimer* ProcessTimer;
  // While a listing or a transfer runs, looks at it again within milliseconds rather than a
  // whole process tick later: a folder comes in parts of 11 entries, and a small file is
  // through long before the next tick, which would otherwise be the earliest moment the next
  // command of a list could start.
  QTimer* FileJobTimer;
  std::vector<std::string> WorkList;
  std::vector<std::string> HmiList;
  int LastError = 0;
  int CurrentGroup = -1;
  SFileCommand currentCommand_;
  unsigned CountdownElapsed = 0;
  // The listing being read: its total (unknown until the controller sends it), its folder,
  // and the caller's list it fills.
  std::optional<vandir::ListingCollector> listing_;
  std::string listDir_;
  int overwriteAnswer_ = 0;
  // What the link said when the current job was started; a refused start fails the job
  // instead of leaving it waiting for a transfer that never runs.
  int startError_ = 0;
  // Starts of the current command the transport turned away, made again on later ticks.
  int startRetries_ = 0;
  bool SessionReady = false;
  EProcessKind ProcessKind = pkNone;
  EConnectState ConnectState = csNone;
  int LoginResult = 0;
  int LastProgress = 0;
  int ChannelType = -1;
  std::string CncIP;
  int Language = 2;
  std::string HmiStringFile;
  std::string RemoteZPath;
  std::string LocalResourceDir;
  std::string DrSavePath;
  int DrChangeTimer = -1;
  std::string NcVersion;
  std::string NcRootPath;
  std::string NcMachinePath;
  std::string NcResourcePath;
  std::string NcFilesPath;
  int LastConnectStatus = vandir::kNotConnected;
  unsigned ReconnectCount = 0;
  int SendCountBefore = 0;
  int SendCountAfter = 0;
  bool listBuilding_ = false;
  bool listRunning_ = false;
  bool listAbort_ = false;
  int listIndex_ = -1;
  std::vector<SFileCommand*> cmdList_;
  std::vector<SCmdResult> cmdResults_;  // one for each record of cmdList_
  TMemoryPool<SFileCommand, 100> cmdPool_;
  int keepConnectInterval_ = 1000;
};

}  // namespace talvo
