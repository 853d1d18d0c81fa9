#include "link/data_recorder.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace vandir {

namespace {

constexpr int kMaxChannels = 40;
constexpr const char* kLineEnd = "\r\n";

// Offsets in the record's data area.
constexpr int kId = 0, kChannels = 2, kIsrTime = 4, kLocation = 8;
constexpr int kLetter = 12, kNumber = 52, kValue = 132;

int Channels(const defRECEIVE_PACKAGE& r) {
  return std::clamp<int>(r.i16(kData + kChannels), 0, kMaxChannels);
}

template <class... Args>
void Append(std::string& line, const char* format, Args... args) {
  char field[64];
  const int n = std::snprintf(field, sizeof field, format, args...);
  line.append(field, static_cast<std::size_t>(std::clamp(n, 0, static_cast<int>(sizeof field) - 1)));
}

std::tm SystemLocalTime() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return local;
}

bool WriteText(const std::string& path, const char* mode, const std::string& text) {
  std::FILE* file = std::fopen(path.c_str(), mode);
  if (!file) return false;
  const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
  return std::fclose(file) == 0 && written;
}

}  // namespace

std::string RecordHeaderLine(const defRECEIVE_PACKAGE& r) {
  std::string line = std::string("     ID     ") + "  Isr Time  " + "Location";
  for (int i = 0; i < Channels(r); ++i)
    Append(line, " %c%-3d ", static_cast<char>(r.u8(kData + kLetter + i)),
           r.i16(kData + kNumber + 2 * i));
  return line;
}

std::string RecordRuleLine(const defRECEIVE_PACKAGE& r) {
  std::string line(31, '=');
  line.append(static_cast<std::size_t>(6 * Channels(r)), '=');
  return line;
}

std::string RecordLine(const defRECEIVE_PACKAGE& r) {
  std::string line;
  Append(line, "%10d   ", r.i16(kData + kId));
  Append(line, "%10d   ", r.i32(kData + kIsrTime));
  Append(line, "  %3d   ", r.i8(kData + kLocation));
  for (int i = 0; i < Channels(r); ++i) Append(line, " %-4d ", r.i32(kData + kValue + 4 * i));
  return line;
}

std::string RecordFileName(const std::string& folder, const std::tm& t) {
  std::string name = folder;
  if (name.empty() || name.back() != '/') name += '/';
  Append(name, "%4d%02d%02d%02d%02d%02d", t.tm_year + 1900, t.tm_mon + 1, t.tm_mday, t.tm_hour,
         t.tm_min, t.tm_sec);
  return name;
}

DataRecorder::DataRecorder(Cache& cache, Channel channel, LocalTime localTime)
    : cache_(cache), channel_(channel), localTime_(localTime ? std::move(localTime) : SystemLocalTime) {}

void DataRecorder::WriteRecord(const defRECEIVE_PACKAGE& record) {
  if (record.iParam1() <= 0) return;
  if (channel_ == Channel::Dnc) {
    if (lastIndex_ == record.iIndex()) return;
    lastIndex_ = record.iIndex();
  }
  std::string folder;
  const bool startFile = cache_.WithCurrent([&](CacheData& c) {
    if (c.DRChangeTimer == 0) c.DRChangeTimer = kDefaultRecordsPerFile;
    if (c.DRRecordCount >= c.DRChangeTimer) c.DRRecordCount = 0;
    folder.assign(c.DRSavePath, strnlen(c.DRSavePath, sizeof c.DRSavePath));
    return c.DRRecordCount == 0;
  });
  // Without a folder there is nowhere sensible to write: the record is dropped.
  if (folder.empty()) return;
  if (startFile) StartFile(folder, record);
  if (fileName_.empty() || !WriteText(fileName_, "ab", RecordLine(record) + kLineEnd)) return;
  cache_.WithCurrent([](CacheData& c) { ++c.DRRecordCount; });
}

bool DataRecorder::StartFile(const std::string& folder, const defRECEIVE_PACKAGE& record) {
  fileName_ = RecordFileName(folder, localTime_());
  return WriteText(fileName_, "wb",
                   RecordHeaderLine(record) + kLineEnd + RecordRuleLine(record) + kLineEnd);
}

}  // namespace vandir
