// A controller folder listing as FileListQueue hands it out, decoded: first a block with
// the total number of entries, then one block per entry in the controller's
// directory-search layout. The maintenance service, the headless client and the NC files
// frame all read listings through this one decoding.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "export.h"
#include "file_list_queue.h"

namespace vandir {

inline constexpr std::size_t kListingTotalSize = 2;
inline constexpr std::size_t kListingEntrySize = 44;

// Attribute bits of an entry.
inline constexpr std::uint8_t kAttributeReadOnly = 0x01;
inline constexpr std::uint8_t kAttributeHidden = 0x02;
inline constexpr std::uint8_t kAttributeSystem = 0x04;
inline constexpr std::uint8_t kAttributeFolder = 0x10;
inline constexpr std::uint8_t kAttributeArchive = 0x20;

// One file or folder. The modification time comes FAT-packed, so the seconds are even and
// an unset date reads as 1980-00-00.
struct ListingEntry {
  std::string name;  // the 8.3 name, bytes in the controller's code page
  std::int32_t size = 0;
  std::uint8_t attributes = 0;
  int year = 1980;
  int month = 0;
  int day = 0;
  int hour = 0;
  int minute = 0;
  int second = 0;

  bool IsFolder() const { return (attributes & kAttributeFolder) != 0; }
  bool operator==(const ListingEntry&) const = default;
};

// The signed count that opens a listing; nothing when the block is not one.
VANDIRCNC_EXPORT std::optional<int> DecodeListingTotal(std::span<const std::uint8_t> block);
// Nothing when the block is not one entry.
VANDIRCNC_EXPORT std::optional<ListingEntry> DecodeListingEntry(
    std::span<const std::uint8_t> block);
// The entries among `blocks`, in order; other blocks are left out.
VANDIRCNC_EXPORT std::vector<ListingEntry> DecodeListingEntries(
    std::span<const FileListQueue::Block> blocks);

// A listing whose total is never reached would be asked for more for ever. It is given up
// after this many parts in a row that brought no entry, or after this long.
inline constexpr int kMostBarrenListingParts = 50;
inline constexpr std::int64_t kLongestListingSeconds = 60;

// Follows one listing over as many replies as the controller needs. The entry blocks are
// appended, as they came, to the caller's list.
class VANDIRCNC_EXPORT ListingCollector {
 public:
  // `startedAt`: the caller's clock, in seconds, when the listing was asked for.
  explicit ListingCollector(std::vector<FileListQueue::Block>& entries,
                            std::int64_t startedAt = 0)
      : entries_(entries), startedAt_(startedAt) {}

  // The listing's first reply always brings the total first, so blocks before it belong to
  // no listing this one started and are dropped, as is anything that is not an entry.
  void Take(FileListQueue::Block block);
  void TakeWaiting(FileListQueue& queue);

  std::optional<int> Total() const { return total_; }
  // A total of zero or less is complete at once.
  bool Complete() const;
  // 0 until the total is known, 100 once complete, else entries × 100 ÷ total.
  int Percent() const;
  long Taken() const { return taken_; }

  // The caller asks for the next part; the one asked before has been answered.
  void PartAsked();
  // Whether the listing is to be given up unfinished at `now` (the caller's clock).
  bool GivenUp(std::int64_t now) const;

 private:
  std::vector<FileListQueue::Block>& entries_;
  std::optional<int> total_;
  long taken_ = 0;  // entries of this listing; the caller's list may hold more
  std::int64_t startedAt_;
  long takenWhenAsked_ = 0;
  int barrenParts_ = 0;  // parts in a row that brought nothing
};

}  // namespace vandir
