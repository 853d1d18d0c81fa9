#include "link/listing_entry.h"

#include <cstring>

namespace vandir {
namespace {

constexpr std::size_t kAttributes = 21, kTime = 22, kDate = 24, kSize = 26, kName = 30;
constexpr std::size_t kNameSize = 13;  // 8.3 and its NUL

std::uint16_t U16(std::span<const std::uint8_t> b, std::size_t at) {
  return static_cast<std::uint16_t>(b[at] | b[at + 1] << 8);
}

}  // namespace

std::optional<int> DecodeListingTotal(std::span<const std::uint8_t> block) {
  if (block.size() != kListingTotalSize) return std::nullopt;
  return static_cast<std::int16_t>(U16(block, 0));
}

std::optional<ListingEntry> DecodeListingEntry(std::span<const std::uint8_t> block) {
  if (block.size() != kListingEntrySize) return std::nullopt;
  ListingEntry entry;
  entry.attributes = block[kAttributes];
  const std::uint16_t time = U16(block, kTime);
  const std::uint16_t date = U16(block, kDate);
  entry.year = 1980 + (date >> 9);
  entry.month = (date >> 5) & 0x0F;
  entry.day = date & 0x1F;
  entry.hour = time >> 11;
  entry.minute = (time >> 5) & 0x3F;
  entry.second = (time & 0x1F) * 2;
  entry.size = static_cast<std::int32_t>(static_cast<std::uint32_t>(U16(block, kSize)) |
                                         static_cast<std::uint32_t>(U16(block, kSize + 2)) << 16);
  const auto* name = reinterpret_cast<const char*>(block.data() + kName);
  entry.name.assign(name, strnlen(name, kNameSize));
  return entry;
}

std::vector<ListingEntry> DecodeListingEntries(std::span<const FileListQueue::Block> blocks) {
  std::vector<ListingEntry> entries;
  for (const auto& block : blocks)
    if (auto entry = DecodeListingEntry(block)) entries.push_back(std::move(*entry));
  return entries;
}

void ListingCollector::Take(FileListQueue::Block block) {
  if (!total_) {
    total_ = DecodeListingTotal(block);
  } else if (block.size() == kListingEntrySize) {
    entries_.push_back(std::move(block));
    ++taken_;
  }
}

void ListingCollector::TakeWaiting(FileListQueue& queue) {
  while (auto block = queue.Pop()) Take(std::move(*block));
}

bool ListingCollector::Complete() const {
  return total_ && taken_ >= *total_;
}

void ListingCollector::PartAsked() {
  barrenParts_ = taken_ == takenWhenAsked_ ? barrenParts_ + 1 : 0;
  takenWhenAsked_ = taken_;
}

bool ListingCollector::GivenUp(std::int64_t now) const {
  return !Complete() && (barrenParts_ >= kMostBarrenListingParts ||
                         now - startedAt_ >= kLongestListingSeconds);
}

int ListingCollector::Percent() const {
  if (!total_) return 0;
  if (Complete()) return 100;
  return static_cast<int>(taken_ * 100 / *total_);
}

}  // namespace vandir
