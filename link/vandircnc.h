// TVandirCNC: the link component. It owns the transport thread, the machine-data cache
// and the keep-alive timer, admits requests by login level into the transport's lists and
// lets one write ("set") command be outstanding at a time. Every operation reports through
// its return value; nothing throws across this interface.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

// The installed headers sit together in one folder of their own, so they name each other
// relative to themselves.
#include "clock.h"
#include "export.h"
#include "file_list_queue.h"
#include "machine_data.h"
#include "package.h"
#include "result_codes.h"

namespace vandir {

// The link's inside, only named here: its headers are the project's own, not installed.
class Cache;
class DataRecorder;
class DNC;
class PeriodicTimer;
class Router;
class Send_Recv;

using TPackageEvent = std::function<void(void* Sender, int iCommand)>;
using TPackageErrorEvent = std::function<void(void* Sender, int iCommand, int iError)>;
using TFileEvent = std::function<void(void* Sender, const std::string& stSourceFileName,
                                      const std::string& stTargetFileName, int iPercentange)>;

class VANDIRCNC_EXPORT TVandirCNC {
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

  // DNC channel: with a DNC connection (port 1988) EnableDNC starts the DNC thread, which
  // connects to the controller's port 2000 and serves its requests on the DNC root folder.
  // -1 when the link is not a DNC connection or DNC is already enabled. Connect_TCP with type
  // 2 enables it; Disconnect and the destructor disable it.
  int EnableDNC();
  void DisableDNC();
  bool GetDNCEnabled() const { return DNCEnabled; }

  // Router: listens on `localAddress` at port 1888 and relays one client at a time to the
  // controller's port 1888 (CNC_TCP_IP as it is now). 0 when listening, -17 for a text that
  // is not an IP address, -1 when it cannot listen there. Disconnect and the destructor
  // disable it.
  int EnableRouter(const std::string& localAddress);
  void DisableRouter();

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

  // Request builders: each queues one request and returns 0, or -1 when the link refused
  // it (-17 when a text does not fit in the package).
  int AskLogin(std::int16_t level, const std::string& identification);
  int AskPosition();
  int AskStatusMode();
  int AskInformation1();
  int AskSystemInfo();
  int AskInformation2();
  int AskAlarmWarring();
  int AskMillToolInfo(int first);
  int AskLatheToolInfo(int tool);
  int AskWorkCoordinate();
  int AskMacroGlobalVariable(int first);
  int AskMacroLocalVariable();
  int AskParameter(int first);
  int AskHandleIntPulse();
  int AskWorkG54Coordinate(int first);
  int AskPLC_I_Bit(std::int16_t first);
  int AskPLC_O_Bit(std::int16_t first);
  int AskPLC_C_Bit(std::int16_t first);
  int AskPLC_S_Bit(std::int16_t first);
  int AskPLC_A_Bit(std::int16_t first);
  int AskPLC_Timer(std::int16_t first);
  int AskPLC_Counter(std::int16_t first);
  int AskPLC_Register(std::int16_t first);
  int AskPLC_BackupRegister(std::int16_t first);
  int AskMainPart();
  int AskCurrentPart();
  int AskDefaultPart();
  int AskRootPart();
  int AskParamDetail(int number);
  int AskHWDiagnosis();
  int AskSWInformation();
  int AskNCRootPath();
  int AskNCMachinePath();
  int AskGetDiskFree(unsigned drive);
  int AskHWDiagnosis2(int kind);
  int AskNCFilesPath();

  int AskSetParameter(std::int16_t number, int value, int level, const std::string& password);
  int AskSetPLC_C_Bit(std::int16_t address, std::int16_t value);
  int AskSetPLC_A_Bit(std::int16_t address, std::int16_t value);
  int AskSetPLC_Register(std::int16_t address, std::int32_t value);
  int AskSetPLC_BackupRegister(std::int16_t address, std::int32_t value);
  int AskSetGlobalVar(int index, double value);
  int AskSetLocalVar(int index, double value);
  int AskReset();
  int AskSetMainPart(const std::string& path);
  int AskCNCReboot();
  int AskSetProgramRestartLine(std::int16_t argument, std::int32_t line);
  int AskSetProgramRestartState();
  int AskRunMDI(const std::string& program);
  int AskSetProPos(std::int16_t argument, std::int16_t axis, std::int32_t value);
  int AskSetToolData(int tool, int kind, double value);
  int AskSetCoord(int code, int axis, double value);
  int AskSetMaxPartCount(std::int32_t count);
  int AskSetPartCount(std::int32_t count);
  int AskResetRunTime();
  int AskSendMessage(std::int16_t kind, const std::string& message);

  int AskFileInformation(const std::string& name);
  int AskFileRename(const std::string& oldName, const std::string& newName);
  int AskFileDelete(const std::string& name);
  int AskDirCreate(const std::string& folder);
  int AskDirDelete(const std::string& folder);
  int AskFileList(const std::string& folder, std::int16_t mode);
  int AskMessageBox(const std::string& message, const std::string& title);

  // The PC's processor identification: eight upper-case hexadecimal digits.
  std::string GetCPUID() const;

  // Reads. Each queues the request that refreshes its value and hands out the cached value
  // at once. `changed` receives 1 when the value differs from what was last handed out, 0
  // when not, -1 when an index argument is out of range.
  int GetStstus(std::int16_t* value, int* changed);
  int GetMode(std::int16_t* value, int* changed);
  int GetCommandFeedRate(std::int32_t* value, int* changed);
  int GetActualFeedRate(std::int32_t* value, int* changed);
  int GetFeedRatePercentage(double* value, int* changed);
  int GetCommandSpindleSpeed(std::int32_t* value, int* changed);
  int GetCommandSpindleSpeed2(std::int32_t* value, int* changed);
  int GetCommandSpindleSpeed3(std::int32_t* value, int* changed);
  int GetActualSpindleSpeed(std::int32_t* value, int* changed);
  int GetActualSpindleSpeed2(std::int32_t* value, int* changed);
  int GetActualSpindleSpeed3(std::int32_t* value, int* changed);
  int GetSpindleSpeedPercentage(double* value, int* changed);
  int GetSpindleSpeedPercentage2(double* value, int* changed);
  int GetSpindleSpeedPercentage3(double* value, int* changed);
  int GetCode_H(std::int16_t* value, int* changed);
  int GetCode_M(std::int16_t index, std::int16_t* value, int* changed);
  int GetCode_T(std::int16_t* value, int* changed);
  int GetCode_P(std::int16_t* value, int* changed);
  int GetCode_Q(std::int16_t* value, int* changed);
  int GetCode_R(std::int16_t* value, int* changed);
  int GetCode_N(std::int32_t* value, int* changed);
  int GetBlockLineNumber(std::int32_t* value, int* changed);
  int GetMaxWorkPiece(std::int32_t* value, int* changed);
  int GetNowWorkPiece(std::int32_t* value, int* changed);
  int GetCurrentWorkTime(std::int32_t* value, int* changed);
  int GetTotalWorkTime(std::int32_t* value, int* changed);

  int GetMachinePos(std::int32_t* values, int* changed);
  int GetAbsolutePos(std::int32_t* values, int* changed);
  int GetRelativePos(std::int32_t* values, int* changed);
  int GetDistanceToGo(std::int32_t* values, int* changed);
  int GetCoordBase(std::int32_t* values, int* changed);
  int GetG54(std::int32_t* values, int* changed);
  int GetG55(std::int32_t* values, int* changed);
  int GetG56(std::int32_t* values, int* changed);
  int GetG57(std::int32_t* values, int* changed);
  int GetG58(std::int32_t* values, int* changed);
  int GetG59(std::int32_t* values, int* changed);
  int GetHandleIntPulse(std::int32_t* values, int* changed);

  int GetMainPart(std::string* text, int* changed);
  int GetCurrentPart(std::string* text, int* changed);
  int GetPathMainPart(std::string* text, int* changed);
  int GetPathCurrentPart(std::string* text, int* changed);
  int GetPathDefaultPart(std::string* text, int* changed);
  int GetPathRootPart(std::string* text, int* changed);

  int GetActiveG_OfGroup(int first, int count, int* values, int* changed);
  int GetSystemVariable(int first, int count, std::int32_t* values, int* changed);
  int GetMillToolLength_1(int first, int count, std::int32_t* values, int* changed);
  int GetMillToolLength_2(int first, int count, std::int32_t* values, int* changed);
  int GetMillToolLength_3(int first, int count, std::int32_t* values, int* changed);
  int GetMillToolLength_4(int first, int count, std::int32_t* values, int* changed);
  int GetMillToolLength_5(int first, int count, std::int32_t* values, int* changed);
  int GetMillToolLength_6(int first, int count, std::int32_t* values, int* changed);
  int GetMillToolRadius(int first, int count, std::int32_t* values, int* changed);
  int GetMillToolTDCval(int first, int count, std::int32_t* values, int* changed);
  int GetMillToolTDCtime(int first, int count, double* values, int* changed);
  int GetMacroGlobalVariable(int first, int count, double* values, int* changed);
  int GetMacroLocalVariable(int first, int count, double* values, int* changed);
  int GetParameter(int first, int count, std::int32_t* values, int* changed);
  int GetPLC_I_Bit(int first, int count, char* values, int* changed);
  int GetPLC_O_Bit(int first, int count, char* values, int* changed);
  int GetPLC_C_Bit(int first, int count, char* values, int* changed);
  int GetPLC_S_Bit(int first, int count, char* values, int* changed);
  int GetPLC_A_Bit(int first, int count, char* values, int* changed);
  int GetPLC_TimerNow(int first, int count, int* values, int* changed);
  int GetPLC_TimerSet(int first, int count, int* values, int* changed);
  int GetPLC_CounterNow(int first, int count, int* values, int* changed);
  int GetPLC_CounterSet(int first, int count, int* values, int* changed);
  int GetPLC_Register(int first, int count, int* values, int* changed);
  int GetPLC_BackupRegister(int first, int count, int* values, int* changed);

  // The caller provides room for 20 numbers.
  int GetAlarm(std::int16_t* count, std::int32_t* numbers, int* changed);
  int GetWarning(std::int16_t* count, std::int32_t* numbers, int* changed);
  int GetLatheTool(int first, int count, std::int32_t* geometryX, std::int32_t* geometryY,
                   std::int32_t* geometryZ, std::int32_t* geometryRadius, std::int32_t* wearX,
                   std::int32_t* wearY, std::int32_t* wearZ, std::int32_t* wearRadius,
                   std::int32_t* toolType, int* changed);
  // Six values per set; at most 20 sets.
  int GetG54P(int first, int count, std::int32_t* values, int* changed);
  // Returns 0 for an accepted number (valid = 1 when the record is filled), 1 otherwise.
  int GetParameterDetail(int number, defBinRecordItem* record, int* valid);

  // Writes and control. 0 when queued behind the set gate, -1 when refused; -17, -71 or 4
  // for refused arguments. The outcome arrives through QueryStatus.
  int SetUserParameter(std::int16_t number, int value, const std::string& password);
  int SetMakerParameter(std::int16_t number, int value, const std::string& password);
  int SetSuperParameter(std::int16_t number, int value, const std::string& password);
  int SetPLC_C_Bit(std::int16_t address, std::int16_t value);
  int SetPLC_A_Bit(std::int16_t address, std::int16_t value);
  int SetPLC_Register(std::int16_t address, std::int32_t value);
  int SetPLC_BackupRegister(std::int16_t address, std::int32_t value);
  int SetGlobalVar(int index, double value);
  int SetLocalVar(int index, double value);
  int SetLatheToolType(int tool, double value);
  int SetLatheToolGeometryRadius(int tool, double value);
  int SetLatheToolWearRadius(int tool, double value);
  int SetLatheToolGeometryLength(int tool, int axis, double value);
  int SetLatheToolWearLength(int tool, int axis, double value);
  int SetMillToolGeometryRadius(int tool, double value);
  int SetMillToolWearLength(int tool, int index, double value);
  int SetMillToolTDCValue(int tool, double value);
  int SetMillToolTDCTime(int tool, double value);
  int SetCoordBase(int axis, double value);
  int SetG54(int axis, double value);
  int SetG55(int axis, double value);
  int SetG56(int axis, double value);
  int SetG57(int axis, double value);
  int SetG58(int axis, double value);
  int SetG59(int axis, double value);
  int SetG54P(int setNumber, int axis, double value);
  int Set_MaxPartCount(std::int32_t count);
  int Set_PartCount(std::int32_t count);
  int ResetPartCount();
  int ResetRunTime();
  int Reset();
  int SetMainPart(const std::string& path);
  int RunMDI(const std::string& program);

  // File transfer. The jobs run on the transport thread; follow them through SendCMD's
  // FileError, Sending/Receiving and SendPercent/RecvPercent. SendFile: -1 not logged in,
  // -21 a name missing or too long, -22 no such local file, -23 unreadable. ReceiveFile: -1,
  // or -17 for a name missing or too long. Starting one kind of job cancels the other. A
  // download replaces the local file only when it is complete; a failed or cancelled one
  // leaves it as it was.
  int SendFile(const std::string& localName, const std::string& controllerName, bool overwrite);
  int AskSendFilePiece(const std::string& source, const std::string& target, int offset,
                       int pieceSize, int fileSize, bool overwrite);
  int ReceiveFile(const std::string& controllerName, const std::string& localName);
  int AskReceiveFilePiece(const std::string& source, const std::string& target, int, int, int);
  void CancelSendFile();
  void CancelReceiveFile();
  int SendPercentange() const;
  int RecvPercentange() const;

  // NC file commands. A listing arrives on FileListQueue; the other four are followed with
  // GetCount until answered equals requested. -1 for a refused text, and for a request the
  // transport turned away (not connected, list busy), which is then not counted.
  int FileList(const std::string& folder, int mode);
  int NCFileRename(const std::string& oldName, const std::string& newName);
  int NCFileDelete(const std::string& name);
  int NCDirCreate(const std::string& folder);
  int NCDirDelete(const std::string& folder);
  int GetCount(int* requested, int* answered);
  void ResetCount();
  int GetErrorFilename(std::string* name, int* error);
  int GetErrorNewname(std::string* name);

  // Diagnostics and system information, read like the other Get operations.
  void HWDiagnosis(bool* checks /* 24 */, char* cardName /* >= 10 */, bool* extra /* 6 */,
                   int* changed);
  void HWDiagnosis2(bool* storage /* 3 */, int* changed);
  int SWInformation(std::string* text, int* changed);
  int Get_NC_Root_Path(std::string* text, int* changed);
  int Get_NC_Machine_Path(std::string* text, int* changed);
  int Get_NC_Files_Path(std::string* text, int* changed);
  struct defDiskFree {
    std::uint16_t TotalClusters, AvailableClusters, SectorsPerCluster, BytesPerSector;
  };
  int GetDiskFree(unsigned drive, defDiskFree* record, int* changed);

  // Operator messages (behind the set gate) and message boxes on the controller's screen.
  int SendMessageA(std::int16_t kind, const std::string& message);
  int Send_DIAGLOG(const std::string& message);
  int Send_HINT(const std::string& message);
  int Send_DIAGLOG_HINT(const std::string& message);
  int Send_SETUP_FINISH(const std::string& message);
  int Send_UPLOAD_MACHINE_FINISH(const std::string& message);
  int MessageBoxA(const std::string& message, const std::string& title);

  // Data recorder. A save path over 255 characters is refused (-17) and nothing is recorded.
  int Set_DR_Save_Path(const std::string& path);
  void Set_DR_ChangeTimer(unsigned count);
  int Get_DR_Data();
  int AskGetDRData();

  // The DNC root path, shared by every link component of the process. A path longer than
  // 255 characters is refused with -17 and the previous one kept.
  static constexpr std::size_t kMaxRootPath = 255;
  static int SetRootPath(const std::string& path);
  static std::string RootPath();

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
  // The DNC thread (its DNCConnected and DNCInService flags) and the router.
  std::unique_ptr<DNC> DNCThread;
  const std::unique_ptr<Router> TcpServer1888;

 protected:
  // iIndex for the next request: the counter is incremented first and wraps at 16 bits.
  std::int16_t NextIndex();
  // A zeroed request with the header words every builder fills, and the next index.
  defSEND_PACKAGE NewRequest(std::int16_t command, std::int16_t replyLength,
                             std::int16_t length = kHeaderSize);
  std::int64_t Now() const { return clock_->Now(); }

  // Written by the transport thread's decoder; read through the Get operations.
  const std::unique_ptr<vandir::Cache> Cache;

 private:
  enum class Path { Normal, NormalSet, Priority, PrioritySet };
  int Submit(const defSEND_PACKAGE& package, Path path);
  int Ask(std::int16_t command, std::int16_t replyLength, Path path, std::int16_t param1 = 0,
          std::int16_t length = kHeaderSize);
  int AskSetBitOrWord(std::int16_t command, std::int16_t replyLength, std::int16_t address,
                      std::int32_t value, bool wordValue);
  int AskSetVariable(std::int16_t command, int index, double value);
  int AskSetTarget(std::int16_t command, int target, int selector, double value);
  int AskSetCount(std::int16_t command, std::int32_t count);
  int AskTwoTexts(std::int16_t command, std::int16_t replyLength, const std::string& first,
                  const std::string& second);
  int AskOneName(std::int16_t command, const std::string& name);
  bool PriorityAllowed(const defSEND_PACKAGE& package) const;
  bool LoggedIn() const;
  template <class Send>
  int TrackedFileCommand(Send send);
  template <class Field, class Out>
  int ReadValue(Field field, Out* value, int* changed);
  template <class Field>
  int ReadAxes(Field field, std::int32_t* values, int* changed);
  template <class Field>
  int ReadText(Field field, std::string* text, int* changed);
  template <class Element, class Out>
  void ReadRange(Element element, int firstIndex, int count, int lastIndex, Out* out,
                 int* changed);
  int ReadNumberList(bool alarms, std::int16_t* count, std::int32_t* numbers, int* changed);
  defSEND_PACKAGE MakeEcho(std::int16_t port);

  std::shared_ptr<const Clock> clock_;
  int ConnectType = 0;
  std::atomic<std::uint16_t> IndexCounter{0};
  std::int16_t LastCommandIndex = 0;
  std::int16_t LastReplyIndex = 0;
  int MountOfSendPackage = 0;
  int MountOfReceivePackage = 0;
  bool DNCEnabled = false;
  std::int16_t CNC_TCP_Port = 0;
  std::string CNC_TCP_IP;
  std::unique_ptr<PeriodicTimer> mtmConnect;
  std::unique_ptr<DataRecorder> commandRecorder_;
  std::unique_ptr<DataRecorder> dncRecorder_;
};

}  // namespace vandir
