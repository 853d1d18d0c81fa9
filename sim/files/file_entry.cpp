#include "sim/files/file_entry.h"

#include <algorithm>
#include <limits>

#include "sim/wire/reply_data.h"

namespace vandir::sim {

namespace {

constexpr int kAttributes = 21;
constexpr int kTime = 22;
constexpr int kDate = 24;
constexpr int kSize = 26;
constexpr int kName = 30;
constexpr int kNameField = 13;
constexpr std::uint8_t kFolderAttribute = 0x10;
constexpr std::uint8_t kArchiveAttribute = 0x20;
constexpr int kFirstYear = 1980;
constexpr int kLastYear = kFirstYear + 127;

struct FatStamp {
  std::uint16_t time = 0;
  std::uint16_t date = (1 << 5) | 1;  // 1980-01-01 00:00:00
};

FatStamp FatStampOf(std::time_t when) {
  std::tm local{};
  if (localtime_r(&when, &local) == nullptr) return {};
  const int year = local.tm_year + 1900;
  if (year < kFirstYear) return {};
  if (year > kLastYear) {
    return {static_cast<std::uint16_t>((23 << 11) | (59 << 5) | 29),
            static_cast<std::uint16_t>((127 << 9) | (12 << 5) | 31)};
  }
  return {static_cast<std::uint16_t>((local.tm_hour << 11) | (local.tm_min << 5) |
                                     (local.tm_sec / 2)),
          static_cast<std::uint16_t>(((year - kFirstYear) << 9) | ((local.tm_mon + 1) << 5) |
                                     local.tm_mday)};
}

}  // namespace

void PutEntry(defPACKAGE& reply, int offset, const FileEntry& entry) {
  const FatStamp stamp = FatStampOf(entry.modified);
  reply.put_u8(offset + kAttributes, entry.folder ? kFolderAttribute : kArchiveAttribute);
  reply.put_u16(offset + kTime, stamp.time);
  reply.put_u16(offset + kDate, stamp.date);
  reply.put_i32(offset + kSize, static_cast<std::int32_t>(std::min<std::int64_t>(
                                    entry.size, std::numeric_limits<std::int32_t>::max())));
  PutText(reply, offset + kName, entry.name, kNameField);
}

}  // namespace vandir::sim
