#include "link/reply_decoder.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <type_traits>

namespace vandir {

namespace {

constexpr std::array<int, 20> kSetResultReplies = {592, 596, 598, 601, 602, 603, 607,
                                                   608, 609, 610, 611, 612, 630, 641,
                                                   647, 650, 652, 653, 654, 678};

// Reads values of one reply, refusing any that lie (even partly) beyond the bytes received.
class Reply {
 public:
  Reply(const defRECEIVE_PACKAGE& p, int received) : p_(p), end_(std::min(received, kPackageSize)) {}

  const defRECEIVE_PACKAGE& operator*() const { return p_; }
  bool Has(int dataOffset, std::size_t size) const {
    return dataOffset >= 0 && kData + dataOffset + static_cast<int>(size) <= end_;
  }
  template <class T>
  bool Read(int dataOffset, T& out) const;
  // The NUL-terminated text at the data offset, at most capacity - 1 characters, into a
  // zero-filled field.
  void Text(int dataOffset, char* field, int capacity) const {
    std::memset(field, 0, static_cast<std::size_t>(capacity));
    if (dataOffset < 0 || kData + dataOffset >= end_) return;
    const int limit = std::min(end_, kData + dataOffset + capacity - 1);
    const std::string text = p_.text(kData + dataOffset, limit);
    std::memcpy(field, text.data(), text.size());
  }

 private:
  const defRECEIVE_PACKAGE& p_;
  const int end_;
};

template <class T>
bool Reply::Read(int off, T& out) const {
  if (!Has(off, sizeof(T))) return false;
  const int at = kData + off;
  if constexpr (std::is_same_v<T, double>)
    out = p_.f64(at);
  else if constexpr (sizeof(T) == 4)
    out = static_cast<T>(p_.u32(at));
  else if constexpr (sizeof(T) == 2)
    out = static_cast<T>(p_.u16(at));
  else
    out = static_cast<T>(p_.u8(at));
  return true;
}

template <class T, std::size_t N>
void ReadArray(const Reply& r, int off, T (&out)[N]) {
  for (std::size_t i = 0; i < N; ++i) r.Read(off + static_cast<int>(i * sizeof(T)), out[i]);
}

bool InTable(long index, int size) { return index >= 0 && index < size; }

void Positions(CacheData& c, const Reply& r) {
  ReadArray(r, 0, c.MachinePos);
  ReadArray(r, 24, c.AbsolutePos);
  ReadArray(r, 48, c.RelativePos);
  ReadArray(r, 72, c.DistanceToGo);
}

void Information1(CacheData& c, const Reply& r) {
  r.Read(0, c.CommandFeedRate);
  r.Read(4, c.ActualFeedRate);
  r.Read(8, c.FeedRatePercentage);
  r.Read(20, c.ActualSpindleSpeed);
  r.Read(24, c.SpindleSpeedPercentage);
  ReadArray(r, 32, c.ActiveG);
  r.Read(52, c.Code_H);
  r.Read(54, c.Code_M[0]);
  r.Read(56, c.Code_T);
  r.Read(58, c.Code_P);
  r.Read(60, c.Code_Q);
  r.Read(62, c.Code_R);
  r.Read(64, c.Code_N);
  r.Read(68, c.BlockLineNumber);
  r.Read(72, c.ActualSpindleSpeed2);
  r.Read(76, c.SpindleSpeedPercentage2);
  r.Read(84, c.ActualSpindleSpeed3);
  r.Read(88, c.SpindleSpeedPercentage3);
  r.Read(96, c.CommandSpindleSpeed);
  r.Read(100, c.CommandSpindleSpeed2);
  r.Read(104, c.CommandSpindleSpeed3);
  r.Read(108, c.Code_M[1]);
  r.Read(110, c.Code_M[2]);
}

void Information2(CacheData& c, const Reply& r) {
  constexpr int kNameBytes = 13;
  for (int i = 0; i < kNameBytes; ++i) {
    std::int8_t ch;
    if (r.Read(i, ch)) c.MainPart[i] = static_cast<char>(ch);
    if (r.Read(kNameBytes + i, ch)) c.CurrentPart[i] = static_cast<char>(ch);
  }
  r.Read(26, c.MaxWorkPiece);
  r.Read(30, c.NowWorkPiece);
  r.Read(34, c.CurrentWorkTime);
  r.Read(38, c.TotalWorkTime);
}

// Warnings come as bit masks (scanned bit 0 first), alarms as a list of group/number pairs.
void AlarmsAndWarnings(CacheData& c, const Reply& r) {
  int warnings = 0;
  const auto scan = [&](std::int32_t word, int base) {
    for (int bit = 0; bit < 32 && warnings < kAlarmSlots; ++bit)
      if ((static_cast<std::uint32_t>(word) >> bit) & 1u) c.Warning[warnings++] = base + bit;
  };
  std::int32_t word;
  if (r.Read(0, word)) scan(word, 9000);
  if (r.Read(4, word)) scan(word, 6000);
  for (int k = 0; k < 6; ++k) {
    if (!r.Read(8 + 4 * k, word)) continue;
    c.PlcRegister[40 + k] = word;
    scan(word, 2000 + 16 * k);  // 16, not 32: neighbouring words overlap by design
  }
  c.WarningCount = static_cast<std::int16_t>(warnings);

  const int count = std::clamp<int>((*r).iParam2(), 0, kAlarmSlots);
  for (int i = 0; i < count; ++i) {
    std::int32_t group, number;
    if (r.Read(32 + 8 * i, group) && r.Read(36 + 8 * i, number))
      c.Alarm[i] = static_cast<std::int32_t>(static_cast<std::uint32_t>(group) * 1000u +
                                             static_cast<std::uint32_t>(number % 1000));
  }
  for (int i = count; i < std::clamp<int>(c.AlarmCount, 0, kAlarmSlots); ++i) c.Alarm[i] = 0;
  c.AlarmCount = static_cast<std::int16_t>(count);
}

void MillTools(CacheData& c, const Reply& r) {
  // Lengths 2 and 3 stand crossed in the record.
  constexpr int kLengthSlot[kMillLengths] = {0, 8, 4, 12, 16, 20};
  const int first = (*r).iParam1();
  for (int i = 0; i <= 10; ++i) {
    const int tool = first + i;
    if (tool >= kMillTools) break;
    if (tool < 0) continue;
    const int rec = 44 * i;
    for (int n = 0; n < kMillLengths; ++n) r.Read(rec + kLengthSlot[n], c.MillToolLength[n][tool]);
    r.Read(rec + 24, c.MillToolRadius[tool]);
    r.Read(rec + 28, c.MillToolTDCValue[tool]);
    r.Read(rec + 32, c.MillToolTDCTime[tool]);
  }
}

void LatheTool(CacheData& c, const Reply& r) {
  const int tool = (*r).iParam2();
  if (!InTable(tool, kLatheTools)) return;
  for (int v = 0; v < kLatheValues; ++v) {
    r.Read(4 * v, c.LatheGeometry[v][tool]);
    r.Read(16 + 4 * v, c.LatheWear[v][tool]);
  }
  r.Read(32, c.LatheToolType[tool]);
}

void WorkCoordinates(CacheData& c, const Reply& r) {
  ReadArray(r, 0, c.CoordBase);
  for (int g = 0; g < kWorkOffsets; ++g) ReadArray(r, 24 * (g + 1), c.WorkOffset[g]);
}

// Values s..e of a table, at most 100, from consecutive slots of `width` bytes.
template <class T, int N>
void Range(T (&table)[N], const Reply& r, int first, int last, int width) {
  for (int i = 0; i < 100 && first + i <= last; ++i) {
    const int index = first + i;
    if (index >= N) break;
    if (index >= 0 && !r.Read(width * i, table[index])) break;
  }
}

void LocalVariables(CacheData& c, const Reply& r) {
  const int count = (*r).iParam1() == 1 ? 33 : 49;
  for (int i = 0; i < count; ++i) r.Read(8 * i, c.LocalVariable[i]);
}

void ExtendedOffsets(CacheData& c, const Reply& r) {
  const int first = (*r).iParam1(), count = (*r).iParam2();
  // A set cut off by the end of the reply still takes the values that arrived whole.
  for (int k = 0; k < count && r.Has(24 * k, sizeof(std::int32_t)); ++k)
    if (InTable(first + k, kExtendedOffsets)) ReadArray(r, 24 * k, c.ExtendedOffset[first + k]);
}

void PlcBits(std::uint8_t (&table)[kPlcBits], const Reply& r) {
  const int first = (*r).iParam2();
  for (int k = 0; k < kDataSize && first + k < kPlcBits; ++k) {
    std::int8_t value;
    if (!r.Read(k, value)) break;
    if (first + k >= 0) table[first + k] = value != 0 ? 1 : 0;
  }
}

// Timer and counter pairs: 124 slots of two 16-bit values.
void PlcPairs(std::int16_t (&atSlot)[kPlcWords], std::int16_t (&afterSlot)[kPlcWords],
              const Reply& r) {
  const int first = (*r).iParam2();
  for (int i = 0; i < 124 && first + i < kPlcWords; ++i) {
    if (!r.Has(4 * i, 4)) break;
    if (first + i < 0) continue;
    r.Read(4 * i, atSlot[first + i]);
    r.Read(4 * i + 2, afterSlot[first + i]);
  }
}

void PlcWords(std::int32_t (&table)[kPlcWords], const Reply& r) {
  if ((*r).iParam1() == -1) return;
  const int first = (*r).iParam2();
  for (int i = 0; i < 124 && first + i < kPlcWords; ++i) {
    if (!r.Has(4 * i, 4)) break;
    if (first + i >= 0) r.Read(4 * i, table[first + i]);
  }
}

void PartPath(CacheData& c, const Reply& r, PartPath which) {
  if ((*r).iParam2() > 128) return;
  r.Text(0, c.PartPathText[which], kPartPathSize);
}

void FileCommandResult(CacheData& c, const Reply& r) {
  c.FileCmdError = (*r).iParam1();
  r.Text(0, c.FileCmdName, kFileCmdNameSize);
  ++c.FileCmdAnswered;
}

void FileList(FileListQueue& queue, const Reply& r) {
  constexpr int kEntry = 44;
  const defRECEIVE_PACKAGE& p = *r;
  if (p.iParam1() == -1) return;
  if (p.iParam1() == 0) {
    const auto total = static_cast<std::uint16_t>(p.iParam3());
    queue.Push({static_cast<std::uint8_t>(total), static_cast<std::uint8_t>(total >> 8)});
  }
  for (int k = 0; k < p.iParam2() && r.Has(kEntry * k, kEntry); ++k) {
    const auto* entry = p.bytes.data() + kData + kEntry * k;
    queue.Push(FileListQueue::Block(entry, entry + kEntry));
  }
}

void HardwareDiagnosis(CacheData& c, const Reply& r) {
  constexpr int kFlagBit[kHardwareChecks] = {0,  1,  2,  3,  4,  5,  6,  7,  8,  17, 18, 19,
                                             9,  10, 11, 12, 20, 21, 13, 14, 15, 16, 22, 23};
  std::int32_t bits;
  if (r.Read(0, bits))
    for (int f = 0; f < kHardwareChecks; ++f)
      c.HardwareCheck[f] = (static_cast<std::uint32_t>(bits) >> kFlagBit[f]) & 1u;
  std::int16_t code;
  if (r.Read(4, code)) {
    std::memset(c.CardModelName, 0, sizeof c.CardModelName);
    std::strncpy(c.CardModelName, CardModelName(code & 0xF0FF), kCardNameSize - 1);
  }
  std::int8_t flag;
  if (r.Read(6, flag)) c.ExtraHardwareFlag[0] = flag != 0;
  if (r.Read(7, flag)) c.ExtraHardwareFlag[1] = flag != 0;
  for (int i = 0; i < 4; ++i) {
    std::int16_t word;
    if (r.Read(8 + 2 * i, word)) c.ExtraHardwareFlag[2 + i] = word != 0;
  }
}

void DiskFree(CacheData& c, const Reply& r) {
  if ((*r).iParam1() != 0 || !r.Has(0, 8)) return;
  ReadArray(r, 0, c.DiskFree);
}

void HardwareDiagnosis2(CacheData& c, const Reply& r) {
  std::int32_t kind;
  if (!r.Read(0, kind)) return;
  const std::uint8_t bit = (*r).iParam1() & 1;
  if (kind >= 11 && kind <= 13)
    c.StorageCheck[kind - 11] = bit;
  else
    std::memset(c.StorageCheck, 0, sizeof c.StorageCheck);
}

void Apply(CacheData& c, const Reply& r) {
  const defRECEIVE_PACKAGE& p = *r;
  const int code = p.iCommand();
  switch (code) {
    case 513: Positions(c, r); return;
    case 514:
      c.Mode = p.iParam2();
      c.Status = p.iParam3();
      return;
    case 515: Information1(c, r); return;
    case 517: ReadArray(r, 0, c.SystemVariable); return;
    case 518: Information2(c, r); return;
    case 519: AlarmsAndWarnings(c, r); return;
    case 520: MillTools(c, r); return;
    case 521: LatheTool(c, r); return;
    case 522: WorkCoordinates(c, r); return;
    case 523: Range(c.GlobalVariable, r, p.iParam2(), p.iParam3(), 8); return;
    case 525: LocalVariables(c, r); return;
    case 526: Range(c.Parameter, r, p.iParam2(), p.iParam3(), 4); return;
    case 528: ReadArray(r, 0, c.HandleIntPulse); return;
    case 538: ExtendedOffsets(c, r); return;
    case 544: case 545: case 546: case 547: case 548:
      PlcBits(c.PlcBit[code - 544], r);
      return;
    case 549: PlcPairs(c.PlcTimerNow, c.PlcTimerSet, r); return;
    case 550: PlcPairs(c.PlcCounterSet, c.PlcCounterNow, r); return;
    case 551: PlcWords(c.PlcRegister, r); return;
    case 552: PlcWords(c.PlcBackupRegister, r); return;
    case 554: case 555: case 556: case 557:
      PartPath(c, r, static_cast<enum PartPath>(code - 554));
      return;
    case 657:
      r.Text(p.iParam2() + 1, c.FileCmdNewName, kFileCmdNameSize);
      FileCommandResult(c, r);
      return;
    case 658: case 661: case 663: FileCommandResult(c, r); return;
    case 672: HardwareDiagnosis(c, r); return;
    case 673: r.Text(0, c.SoftwareInformation, sizeof c.SoftwareInformation); return;
    case 675: r.Text(0, c.NcPathText[kNcRootPath], kNcPathSize); return;
    case 676: r.Text(0, c.NcPathText[kNcMachinePath], kNcPathSize); return;
    case 680: r.Text(0, c.NcPathText[kNcFilesPath], kNcPathSize); return;
    case 677: DiskFree(c, r); return;
    case 679: HardwareDiagnosis2(c, r); return;
    default:
      if (IsSetResultReply(code)) {
        c.SetIdle = 1;
        c.SetStatus = p.iParam1();
      }
  }
}

}  // namespace

bool IsSetResultReply(int replyCode) {
  return std::find(kSetResultReplies.begin(), kSetResultReplies.end(), replyCode) !=
         kSetResultReplies.end();
}

const char* CardModelName(int code) {
  switch (code) {
    case 0x1001: return "VC-M1";
    case 0x1002: return "VC-M2";
    case 0x1003: return "VC-M3";
    case 0x1004: return "VC-M4";
    case 0x1005: return "VC-M5";
    case 0x1006: return "VC-M6";
    case 0x1009: return "VC-M9";
    case 0x2001: return "VC-L1";
    case 0x3001: return "VC-X1";
    default: return "unknow";
  }
}

void DecodeReply(Cache& cache, FileListQueue& fileList, const defRECEIVE_PACKAGE& reply,
                 int received, std::int64_t now, DataRecordSink* recorder) {
  const Reply r(reply, received);
  cache.WithCurrent([&](CacheData& c) {
    Apply(c, r);
    c.LastReplyTime = now;
  });
  // Neither touches the cache: kept outside its lock.
  if (reply.iCommand() == 665) FileList(fileList, r);
  if (reply.iCommand() == kReplyDataRecord && recorder) recorder->WriteRecord(reply);
}

}  // namespace vandir
