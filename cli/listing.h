// A controller folder listing: the blocks the link delivers, decoded into entries and
// printed one line per entry.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace talvo::cli {

// The entries use the controller's directory-search record: FAT-packed date and time,
// a 32-bit size and an 8.3 name.
inline constexpr std::size_t kEntrySize = 44;

struct DirectoryEntry {
  bool folder = false;
  std::uint16_t fatDate = 0;
  std::uint16_t fatTime = 0;
  std::int32_t size = 0;
  std::string name;  // bytes in the controller's code page
  bool operator==(const DirectoryEntry&) const = default;
};

// Nothing when the block is not one entry.
std::optional<DirectoryEntry> DecodeEntry(std::span<const std::uint8_t> block);

// "YYYY-MM-DD HH:MM:SS"; FAT keeps seconds in steps of two.
std::string FatTimestamp(std::uint16_t fatDate, std::uint16_t fatTime);

// "YYYY-MM-DD HH:MM:SS  SIZE  NAME": the size right-aligned in ten columns, or <DIR>.
std::string ListingLine(const DirectoryEntry& entry);

// Gathers one listing from its blocks: first the total number of entries, then the
// entries, over as many replies as the controller needs.
class ListingCollector {
 public:
  void Take(std::span<const std::uint8_t> block);
  std::optional<int> Total() const { return total_; }
  bool Complete() const { return total_ && static_cast<int>(entries_.size()) >= *total_; }
  const std::vector<DirectoryEntry>& Entries() const { return entries_; }

 private:
  std::optional<int> total_;
  std::vector<DirectoryEntry> entries_;
};

}  // namespace talvo::cli
