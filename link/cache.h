// The machine-data cache: a current copy written by the reply decoder on the transport
// thread and a reported copy that only the caller's thread touches (the value a read
// last handed out). The current copy is guarded by one mutex; a decoder applies a whole
// reply under it and a reader copies its fields out under it.
#pragma once

#include <cstdint>
#include <cstring>
#include <mutex>
#include <type_traits>

#include "link/machine_data.h"

namespace vandir {

enum PlcBitTable { kPlcI, kPlcO, kPlcC, kPlcS, kPlcA, kPlcBitTables };
enum NcPath { kNcRootPath, kNcMachinePath, kNcFilesPath, kNcPaths };
enum PartPath { kMainPartPath, kCurrentPartPath, kDefaultPartPath, kRootPartPath, kPartPaths };

struct CacheData {
  std::int32_t MachinePos[kAxes];
  std::int32_t AbsolutePos[kAxes];
  std::int32_t RelativePos[kAxes];
  std::int32_t DistanceToGo[kAxes];
  std::int16_t Mode;
  std::int16_t Status;

  std::int32_t CommandFeedRate;
  std::int32_t ActualFeedRate;
  double FeedRatePercentage;
  std::int32_t CommandSpindleSpeed;
  std::int32_t ActualSpindleSpeed;
  double SpindleSpeedPercentage;
  std::int8_t ActiveG[kGGroups];
  std::int16_t Code_H;
  std::int16_t Code_M[kMCodes];
  std::int16_t Code_T;
  std::int16_t Code_P;
  std::int16_t Code_Q;
  std::int16_t Code_R;
  std::int32_t Code_N;
  std::int32_t BlockLineNumber;
  std::int32_t ActualSpindleSpeed2;
  double SpindleSpeedPercentage2;
  std::int32_t ActualSpindleSpeed3;
  double SpindleSpeedPercentage3;
  std::int32_t CommandSpindleSpeed2;
  std::int32_t CommandSpindleSpeed3;

  char MainPart[32];
  char CurrentPart[32];
  std::int32_t MaxWorkPiece;
  std::int32_t NowWorkPiece;
  std::int32_t CurrentWorkTime;  // ms
  std::int32_t TotalWorkTime;    // ms

  std::int32_t SystemVariable[kSystemVariables];

  std::int16_t AlarmCount;
  std::int32_t Alarm[kAlarmSlots];
  std::int16_t WarningCount;
  std::int32_t Warning[kAlarmSlots];

  std::int32_t MillToolLength[kMillLengths][kMillTools];  // [length 1..6 - 1][tool]
  std::int32_t MillToolRadius[kMillTools];
  std::int32_t MillToolTDCValue[kMillTools];
  double MillToolTDCTime[kMillTools];

  std::int32_t LatheGeometry[kLatheValues][kLatheTools];  // X, Y, Z, nose radius
  std::int32_t LatheWear[kLatheValues][kLatheTools];
  std::int8_t LatheToolType[kLatheTools];

  std::int32_t CoordBase[kAxes];
  std::int32_t WorkOffset[kWorkOffsets][kAxes];  // G54 .. G59
  std::int32_t HandleIntPulse[kAxes];
  std::int32_t ExtendedOffset[kExtendedOffsets][kAxes];

  double GlobalVariable[kGlobalVariables];
  double LocalVariable[kLocalVariables];
  std::int32_t Parameter[kParameters];
  defBinRecordItem ParameterDetail[kParameters];

  std::uint8_t PlcBit[kPlcBitTables][kPlcBits];
  std::int16_t PlcTimerNow[kPlcWords];
  std::int16_t PlcTimerSet[kPlcWords];
  std::int16_t PlcCounterSet[kPlcWords];
  std::int16_t PlcCounterNow[kPlcWords];
  std::int32_t PlcRegister[kPlcWords];
  std::int32_t PlcBackupRegister[kPlcWords];

  char PartPathText[kPartPaths][kPartPathSize];

  // Tracking of the NC file commands (rename, delete, folder create and delete).
  std::int32_t FileCmdRequested;
  std::int32_t FileCmdAnswered;
  std::int32_t FileCmdError;
  char FileCmdName[kFileCmdNameSize];
  char FileCmdNewName[kFileCmdNameSize];

  std::uint8_t HardwareCheck[kHardwareChecks];
  char CardModelName[kCardNameSize];
  std::uint8_t ExtraHardwareFlag[kExtraHardwareFlags];
  char SoftwareInformation[32];
  char NcPathText[kNcPaths][kNcPathSize];
  std::uint8_t StorageCheck[kStorageChecks];

  // Data recorder settings and the records written to the current file.
  std::uint32_t DRChangeTimer;
  char DRSavePath[256];
  std::uint32_t DRRecordCount;

  std::uint16_t DiskFree[4];  // total clusters, available clusters, sectors/cluster, bytes/sector

  // The set gate: at most one write command is outstanding.
  std::uint8_t SetIdle;
  std::int16_t SetIndex;
  std::int64_t SetTime;
  std::int16_t SetStatus;

  std::int64_t LastReplyTime;  // seconds, set by every decoded reply
};
static_assert(std::is_trivially_copyable_v<CacheData>);

class Cache {
 public:
  Cache() { Reset(); }

  // Current copy all zero, reported copy all 0x01 bytes, so the first read of any field
  // reports a change.
  void Reset() {
    std::lock_guard lock(mutex_);
    std::memset(&current_, 0, sizeof current_);
    std::memset(&reported_, 1, sizeof reported_);
  }

  template <class F>
  decltype(auto) WithCurrent(F&& f) {
    std::lock_guard lock(mutex_);
    return f(current_);
  }
  template <class F>
  decltype(auto) WithCurrent(F&& f) const {
    std::lock_guard lock(mutex_);
    return f(current_);
  }

  // The caller's thread alone uses the reported copy.
  CacheData& Reported() { return reported_; }

 private:
  mutable std::mutex mutex_;
  CacheData current_;
  CacheData reported_;
};

}  // namespace vandir
