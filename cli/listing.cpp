#include "cli/listing.h"

#include <cstdio>
#include <cstring>

namespace talvo::cli {

namespace {

constexpr std::size_t kTotalSize = 2;
constexpr std::size_t kAttributes = 21, kTime = 22, kDate = 24, kSize = 26, kName = 30;
constexpr std::size_t kNameSize = 13;  // 8.3 and its NUL
constexpr std::uint8_t kFolderAttribute = 0x10;

std::uint16_t U16(std::span<const std::uint8_t> b, std::size_t at) {
  return static_cast<std::uint16_t>(b[at] | b[at + 1] << 8);
}

}  // namespace

std::optional<DirectoryEntry> DecodeEntry(std::span<const std::uint8_t> block) {
  if (block.size() != kEntrySize) return std::nullopt;
  DirectoryEntry entry;
  entry.folder = (block[kAttributes] & kFolderAttribute) != 0;
  entry.fatTime = U16(block, kTime);
  entry.fatDate = U16(block, kDate);
  entry.size = static_cast<std::int32_t>(static_cast<std::uint32_t>(U16(block, kSize)) |
                                         static_cast<std::uint32_t>(U16(block, kSize + 2)) << 16);
  const auto* name = reinterpret_cast<const char*>(block.data() + kName);
  entry.name.assign(name, strnlen(name, kNameSize));
  return entry;
}

std::string FatTimestamp(std::uint16_t fatDate, std::uint16_t fatTime) {
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", 1980 + (fatDate >> 9),
                (fatDate >> 5) & 0x0F, fatDate & 0x1F, fatTime >> 11, (fatTime >> 5) & 0x3F,
                (fatTime & 0x1F) * 2);
  return text;
}

std::string ListingLine(const DirectoryEntry& entry) {
  char size[16];
  std::snprintf(size, sizeof size, "%10s",
                entry.folder ? "<DIR>" : std::to_string(entry.size).c_str());
  return FatTimestamp(entry.fatDate, entry.fatTime) + "  " + size + "  " + entry.name;
}

void ListingCollector::Take(std::span<const std::uint8_t> block) {
  if (block.size() == kTotalSize) {
    total_ = static_cast<std::int16_t>(U16(block, 0));
  } else if (auto entry = DecodeEntry(block)) {
    entries_.push_back(std::move(*entry));
  }
}

}  // namespace talvo::cli
