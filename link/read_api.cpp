// The read operations: each queues the request that refreshes its value and hands out
// what the cache holds now, with a flag telling whether it differs from what was handed
// out last time (the reported copy).
#include <algorithm>
#include <cstring>

#include "link/cache.h"
#include "link/vandircnc.h"

namespace vandir {

namespace {

template <class T>
bool Take(const T& current, T& reported) {
  if (current == reported) return false;
  reported = current;
  return true;
}

template <std::size_t N>
bool TakeText(const char (&current)[N], char (&reported)[N]) {
  if (std::strncmp(current, reported, N) == 0) return false;
  std::memcpy(reported, current, N);
  return true;
}

}  // namespace

template <class Field, class Out>
int TVandirCNC::ReadValue(Field field, Out* value, int* changed) {
  CacheData& reported = Cache->Reported();
  const bool differs =
      Cache->WithCurrent([&](CacheData& c) { return Take(field(c), field(reported)); });
  if (differs) *changed = kChanged;
  *value = static_cast<Out>(field(reported));
  return 1;
}

template <class Field>
int TVandirCNC::ReadAxes(Field field, std::int32_t* values, int* changed) {
  CacheData& reported = Cache->Reported();
  Cache->WithCurrent([&](CacheData& c) {
    for (int axis = 0; axis < kAxes; ++axis)
      if (Take(field(c)[axis], field(reported)[axis])) *changed = kChanged;
  });
  std::memcpy(values, field(reported), sizeof(std::int32_t) * kAxes);
  return 1;
}

template <class Field>
int TVandirCNC::ReadText(Field field, std::string* text, int* changed) {
  CacheData& reported = Cache->Reported();
  if (Cache->WithCurrent([&](CacheData& c) { return TakeText(field(c), field(reported)); }))
    *changed = kChanged;
  const auto& stored = field(reported);
  *text = std::string(stored, strnlen(stored, sizeof stored));
  return 1;
}

template <class Element, class Out>
void TVandirCNC::ReadRange(Element element, int firstIndex, int count, int lastIndex, Out* out,
                           int* changed) {
  CacheData& reported = Cache->Reported();
  Cache->WithCurrent([&](CacheData& c) {
    for (int i = 0; i < count && firstIndex + i <= lastIndex; ++i)
      if (Take(element(c, firstIndex + i), element(reported, firstIndex + i)))
        *changed = kChanged;
  });
  for (int i = 0; i < count && firstIndex + i <= lastIndex; ++i)
    out[i] = static_cast<Out>(element(reported, firstIndex + i));
}

// Single values.
#define VANDIR_READ_VALUE(Name, Ask, Out, member)                                  \
  int TVandirCNC::Name(Out* value, int* changed) {                                 \
    *changed = kUnchanged;                                                         \
    Ask();                                                                         \
    return ReadValue([](CacheData& c) -> auto& { return c.member; }, value, changed); \
  }

VANDIR_READ_VALUE(GetStstus, AskStatusMode, std::int16_t, Status)
VANDIR_READ_VALUE(GetMode, AskStatusMode, std::int16_t, Mode)
VANDIR_READ_VALUE(GetCommandFeedRate, AskInformation1, std::int32_t, CommandFeedRate)
VANDIR_READ_VALUE(GetActualFeedRate, AskInformation1, std::int32_t, ActualFeedRate)
VANDIR_READ_VALUE(GetFeedRatePercentage, AskInformation1, double, FeedRatePercentage)
VANDIR_READ_VALUE(GetCommandSpindleSpeed, AskInformation1, std::int32_t, CommandSpindleSpeed)
VANDIR_READ_VALUE(GetCommandSpindleSpeed2, AskInformation1, std::int32_t, CommandSpindleSpeed2)
VANDIR_READ_VALUE(GetCommandSpindleSpeed3, AskInformation1, std::int32_t, CommandSpindleSpeed3)
VANDIR_READ_VALUE(GetActualSpindleSpeed, AskInformation1, std::int32_t, ActualSpindleSpeed)
VANDIR_READ_VALUE(GetActualSpindleSpeed2, AskInformation1, std::int32_t, ActualSpindleSpeed2)
VANDIR_READ_VALUE(GetActualSpindleSpeed3, AskInformation1, std::int32_t, ActualSpindleSpeed3)
VANDIR_READ_VALUE(GetSpindleSpeedPercentage, AskInformation1, double, SpindleSpeedPercentage)
VANDIR_READ_VALUE(GetSpindleSpeedPercentage2, AskInformation1, double, SpindleSpeedPercentage2)
VANDIR_READ_VALUE(GetSpindleSpeedPercentage3, AskInformation1, double, SpindleSpeedPercentage3)
VANDIR_READ_VALUE(GetCode_H, AskInformation1, std::int16_t, Code_H)
VANDIR_READ_VALUE(GetCode_T, AskInformation1, std::int16_t, Code_T)
VANDIR_READ_VALUE(GetCode_P, AskInformation1, std::int16_t, Code_P)
VANDIR_READ_VALUE(GetCode_Q, AskInformation1, std::int16_t, Code_Q)
VANDIR_READ_VALUE(GetCode_R, AskInformation1, std::int16_t, Code_R)
VANDIR_READ_VALUE(GetCode_N, AskInformation1, std::int32_t, Code_N)
VANDIR_READ_VALUE(GetBlockLineNumber, AskInformation1, std::int32_t, BlockLineNumber)
VANDIR_READ_VALUE(GetMaxWorkPiece, AskInformation2, std::int32_t, MaxWorkPiece)
VANDIR_READ_VALUE(GetNowWorkPiece, AskInformation2, std::int32_t, NowWorkPiece)
VANDIR_READ_VALUE(GetCurrentWorkTime, AskInformation2, std::int32_t, CurrentWorkTime)
VANDIR_READ_VALUE(GetTotalWorkTime, AskInformation2, std::int32_t, TotalWorkTime)
#undef VANDIR_READ_VALUE

int TVandirCNC::GetCode_M(std::int16_t index, std::int16_t* value, int* changed) {
  *changed = kUnchanged;
  if (index < 0 || index >= kMCodes) return 0;
  AskInformation1();
  return ReadValue([index](CacheData& c) -> auto& { return c.Code_M[index]; }, value, changed);
}

// Six-axis values.
#define VANDIR_READ_AXES(Name, Ask, member)                                             \
  int TVandirCNC::Name(std::int32_t* values, int* changed) {                            \
    *changed = kUnchanged;                                                              \
    Ask();                                                                              \
    return ReadAxes([](CacheData& c) -> auto& { return c.member; }, values, changed);   \
  }

VANDIR_READ_AXES(GetMachinePos, AskPosition, MachinePos)
VANDIR_READ_AXES(GetAbsolutePos, AskPosition, AbsolutePos)
VANDIR_READ_AXES(GetRelativePos, AskPosition, RelativePos)
VANDIR_READ_AXES(GetDistanceToGo, AskPosition, DistanceToGo)
VANDIR_READ_AXES(GetCoordBase, AskWorkCoordinate, CoordBase)
VANDIR_READ_AXES(GetG54, AskWorkCoordinate, WorkOffset[0])
VANDIR_READ_AXES(GetG55, AskWorkCoordinate, WorkOffset[1])
VANDIR_READ_AXES(GetG56, AskWorkCoordinate, WorkOffset[2])
VANDIR_READ_AXES(GetG57, AskWorkCoordinate, WorkOffset[3])
VANDIR_READ_AXES(GetG58, AskWorkCoordinate, WorkOffset[4])
VANDIR_READ_AXES(GetG59, AskWorkCoordinate, WorkOffset[5])
VANDIR_READ_AXES(GetHandleIntPulse, AskHandleIntPulse, HandleIntPulse)
#undef VANDIR_READ_AXES

// Texts.
#define VANDIR_READ_TEXT(Name, Ask, member)                                          \
  int TVandirCNC::Name(std::string* text, int* changed) {                            \
    *changed = kUnchanged;                                                           \
    Ask();                                                                           \
    return ReadText([](CacheData& c) -> auto& { return c.member; }, text, changed);  \
  }

VANDIR_READ_TEXT(GetMainPart, AskInformation2, MainPart)
VANDIR_READ_TEXT(GetCurrentPart, AskInformation2, CurrentPart)
VANDIR_READ_TEXT(GetPathMainPart, AskMainPart, PartPathText[kMainPartPath])
VANDIR_READ_TEXT(GetPathCurrentPart, AskCurrentPart, PartPathText[kCurrentPartPath])
VANDIR_READ_TEXT(GetPathDefaultPart, AskDefaultPart, PartPathText[kDefaultPartPath])
VANDIR_READ_TEXT(GetPathRootPart, AskRootPart, PartPathText[kRootPartPath])
VANDIR_READ_TEXT(SWInformation, AskSWInformation, SoftwareInformation)
VANDIR_READ_TEXT(Get_NC_Root_Path, AskNCRootPath, NcPathText[kNcRootPath])
VANDIR_READ_TEXT(Get_NC_Machine_Path, AskNCMachinePath, NcPathText[kNcMachinePath])
VANDIR_READ_TEXT(Get_NC_Files_Path, AskNCFilesPath, NcPathText[kNcFilesPath])
#undef VANDIR_READ_TEXT

// Ranges: `first` is checked against the accepted range, then values are handed out while
// the table index stays at or below its bound.
#define VANDIR_READ_RANGE(Name, Out, low, high, last, ask, member)                              \
  int TVandirCNC::Name(int first, int count, Out* values, int* changed) {                       \
    if (first < (low) || first > (high)) {                                                      \
      *changed = kIndexRefused;                                                                 \
      return 0;                                                                                 \
    }                                                                                           \
    *changed = kUnchanged;                                                                      \
    ask;                                                                                        \
    ReadRange([](CacheData& c, int i) -> auto& { return c.member; }, first, count, last, values, \
              changed);                                                                         \
    return 1;                                                                                   \
  }

VANDIR_READ_RANGE(GetActiveG_OfGroup, int, 0, 17, 18, AskInformation1(), ActiveG[i])
VANDIR_READ_RANGE(GetSystemVariable, std::int32_t, 0, 47, 47, AskSystemInfo(), SystemVariable[i])
VANDIR_READ_RANGE(GetMillToolLength_1, std::int32_t, 1, 99, 99, AskMillToolInfo(first), MillToolLength[0][i])
VANDIR_READ_RANGE(GetMillToolLength_2, std::int32_t, 1, 99, 99, AskMillToolInfo(first), MillToolLength[1][i])
VANDIR_READ_RANGE(GetMillToolLength_3, std::int32_t, 1, 99, 99, AskMillToolInfo(first), MillToolLength[2][i])
VANDIR_READ_RANGE(GetMillToolLength_4, std::int32_t, 1, 99, 99, AskMillToolInfo(first), MillToolLength[3][i])
VANDIR_READ_RANGE(GetMillToolLength_5, std::int32_t, 1, 99, 99, AskMillToolInfo(first), MillToolLength[4][i])
VANDIR_READ_RANGE(GetMillToolLength_6, std::int32_t, 1, 99, 99, AskMillToolInfo(first), MillToolLength[5][i])
VANDIR_READ_RANGE(GetMillToolRadius, std::int32_t, 1, 99, 99, AskMillToolInfo(first), MillToolRadius[i])
VANDIR_READ_RANGE(GetMillToolTDCval, std::int32_t, 1, 99, 99, AskMillToolInfo(first), MillToolTDCValue[i])
VANDIR_READ_RANGE(GetMillToolTDCtime, double, 1, 99, 99, AskMillToolInfo(first), MillToolTDCTime[i])
VANDIR_READ_RANGE(GetPLC_I_Bit, char, 0, 511, 511, AskPLC_I_Bit(static_cast<std::int16_t>(first)), PlcBit[kPlcI][i])
VANDIR_READ_RANGE(GetPLC_O_Bit, char, 0, 511, 511, AskPLC_O_Bit(static_cast<std::int16_t>(first)), PlcBit[kPlcO][i])
VANDIR_READ_RANGE(GetPLC_C_Bit, char, 0, 511, 511, AskPLC_C_Bit(static_cast<std::int16_t>(first)), PlcBit[kPlcC][i])
VANDIR_READ_RANGE(GetPLC_S_Bit, char, 0, 511, 511, AskPLC_S_Bit(static_cast<std::int16_t>(first)), PlcBit[kPlcS][i])
VANDIR_READ_RANGE(GetPLC_A_Bit, char, 0, 511, 511, AskPLC_A_Bit(static_cast<std::int16_t>(first)), PlcBit[kPlcA][i])
VANDIR_READ_RANGE(GetPLC_TimerNow, int, 0, 255, 255, AskPLC_Timer(static_cast<std::int16_t>(first)), PlcTimerNow[i])
VANDIR_READ_RANGE(GetPLC_TimerSet, int, 0, 255, 255, AskPLC_Timer(static_cast<std::int16_t>(first)), PlcTimerSet[i])
VANDIR_READ_RANGE(GetPLC_CounterNow, int, 0, 255, 255, AskPLC_Counter(static_cast<std::int16_t>(first)), PlcCounterNow[i])
VANDIR_READ_RANGE(GetPLC_CounterSet, int, 0, 255, 255, AskPLC_Counter(static_cast<std::int16_t>(first)), PlcCounterSet[i])
VANDIR_READ_RANGE(GetPLC_Register, int, 0, 255, 255, AskPLC_Register(static_cast<std::int16_t>(first)), PlcRegister[i])
VANDIR_READ_RANGE(GetPLC_BackupRegister, int, 0, 255, 255, AskPLC_BackupRegister(static_cast<std::int16_t>(first)), PlcBackupRegister[i])
// Macro variables are numbered from 1; the tables from 0.
VANDIR_READ_RANGE(GetMacroGlobalVariable, double, 1, 1101, 1101, AskMacroGlobalVariable(first - 1), GlobalVariable[i - 1])
VANDIR_READ_RANGE(GetMacroLocalVariable, double, 1, 49, 49, AskMacroLocalVariable(), LocalVariable[i - 1])
#undef VANDIR_READ_RANGE

int TVandirCNC::GetParameter(int first, int count, std::int32_t* values, int* changed) {
  if (first < 1 || first > 2000 || count > 100) {
    *changed = kIndexRefused;
    return 0;
  }
  *changed = kUnchanged;
  AskParameter(first);
  ReadRange([](CacheData& c, int i) -> auto& { return c.Parameter[i]; }, first, count, 1999,
            values, changed);
  return 1;
}

int TVandirCNC::ReadNumberList(bool alarms, std::int16_t* count, std::int32_t* numbers,
                               int* changed) {
  *changed = kUnchanged;
  AskAlarmWarring();
  CacheData& reported = Cache->Reported();
  auto& reportedCount = alarms ? reported.AlarmCount : reported.WarningCount;
  auto& reportedList = alarms ? reported.Alarm : reported.Warning;
  Cache->WithCurrent([&](CacheData& c) {
    const auto& currentList = alarms ? c.Alarm : c.Warning;
    if (Take(alarms ? c.AlarmCount : c.WarningCount, reportedCount)) *changed = kChanged;
    const int n = std::clamp<int>(reportedCount, 0, kAlarmSlots);
    for (int i = 0; i < n; ++i)
      if (Take(currentList[i], reportedList[i])) *changed = kChanged;
  });
  const int n = std::clamp<int>(reportedCount, 0, kAlarmSlots);
  *count = static_cast<std::int16_t>(n);
  std::memcpy(numbers, reportedList, sizeof(std::int32_t) * static_cast<std::size_t>(n));
  return 1;
}

int TVandirCNC::GetAlarm(std::int16_t* count, std::int32_t* numbers, int* changed) {
  return ReadNumberList(true, count, numbers, changed);
}

int TVandirCNC::GetWarning(std::int16_t* count, std::int32_t* numbers, int* changed) {
  return ReadNumberList(false, count, numbers, changed);
}

int TVandirCNC::GetLatheTool(int first, int count, std::int32_t* geometryX,
                             std::int32_t* geometryY, std::int32_t* geometryZ,
                             std::int32_t* geometryRadius, std::int32_t* wearX,
                             std::int32_t* wearY, std::int32_t* wearZ, std::int32_t* wearRadius,
                             std::int32_t* toolType, int* changed) {
  constexpr int kLastTool = 30;
  if (first < 1 || first > kLastTool) {
    *changed = kIndexRefused;
    return 0;
  }
  *changed = kUnchanged;
  for (int i = 0; i < count && first + i <= kLastTool; ++i) AskLatheToolInfo(first + i);
  std::int32_t* geometry[kLatheValues] = {geometryX, geometryY, geometryZ, geometryRadius};
  std::int32_t* wear[kLatheValues] = {wearX, wearY, wearZ, wearRadius};
  for (int v = 0; v < kLatheValues; ++v) {
    ReadRange([v](CacheData& c, int t) -> auto& { return c.LatheGeometry[v][t]; }, first, count,
              kLastTool, geometry[v], changed);
    ReadRange([v](CacheData& c, int t) -> auto& { return c.LatheWear[v][t]; }, first, count,
              kLastTool, wear[v], changed);
  }
  ReadRange([](CacheData& c, int t) -> auto& { return c.LatheToolType[t]; }, first, count,
            kLastTool, toolType, changed);
  return 1;
}

int TVandirCNC::GetG54P(int first, int count, std::int32_t* values, int* changed) {
  constexpr int kMaxSets = 20;
  *changed = kUnchanged;
  // A negative first names no set: refused like an oversized count.
  if (count > kMaxSets || first < 0) return kRefused;
  AskWorkG54Coordinate(first);
  const int sets = std::max(0, std::min(count, kExtendedOffsets - first));
  CacheData& reported = Cache->Reported();
  Cache->WithCurrent([&](CacheData& c) {
    for (int i = 0; i < sets; ++i)
      for (int axis = 0; axis < kAxes; ++axis)
        if (Take(c.ExtendedOffset[first + i][axis], reported.ExtendedOffset[first + i][axis]))
          *changed = kChanged;
  });
  for (int i = 0; i < sets; ++i)
    std::memcpy(values + kAxes * i, reported.ExtendedOffset[first + i], sizeof(std::int32_t) * kAxes);
  return 1;
}

int TVandirCNC::GetParameterDetail(int number, defBinRecordItem* record, int* valid) {
  AskParamDetail(number);
  if (number < 1 || number > 2000) {
    *valid = kIndexRefused;
    return 1;
  }
  CacheData& reported = Cache->Reported();
  Cache->WithCurrent([&](CacheData& c) {
    const defBinRecordItem& current = c.ParameterDetail[number];
    *valid = (current.Bytes[0] | current.Bytes[1] | current.Bytes[2] | current.Bytes[3]) != 0;
    reported.ParameterDetail[number] = current;
  });
  *record = reported.ParameterDetail[number];
  return 0;
}

}  // namespace vandir
