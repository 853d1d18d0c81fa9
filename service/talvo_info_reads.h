// The two ways an information object reads the link. Most objects make a few reads and
// report them with one change event; the table objects read their table slice by slice and
// report each slice that changed, so that a page redraws only that slice.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>

#include "service/talvo_info.h"

namespace talvo {

// What a forced update does with the reads: a page that was just shown must be drawn at
// once, so most objects report the values they hold; those whose page must show what the
// controller has now (positions, tool, PLC and parameter tables, diagnosis) read anyway.
enum class EForcedRead { Skip, Read };

// Element `index` of a held table, or `outside` when the index is not in the table.
template <class T, std::size_t N>
T Element(const std::array<T, N>& table, int index, T outside = T{}) {
  return index >= 0 && static_cast<std::size_t>(index) < N ? table[index] : outside;
}

// The read chosen by an owner's kind selector 1..N: null for 0 (idle) and for values the
// table does not know, so that such an object reads nothing.
template <class Read, std::size_t N, class Kind>
Read SelectedRead(const Read (&reads)[N], Kind kind) {
  const int k = static_cast<int>(kind);
  return k >= 1 && k <= static_cast<int>(N) ? reads[k - 1] : nullptr;
}

// The reads of one update of an object that reports all its items with one event. Each read
// is a callable taking the link's changed flag; only 1 counts as a change (-1, a refused
// index, does not).
class TItemReads {
 public:
  TItemReads(bool force, EForcedRead forcedRead)
      : force_(force), read_(!force || forcedRead == EForcedRead::Read) {}

  // `flag`, when given, receives whether this item counts as changed.
  template <class Read>
  void Item(bool* flag, Read read) {
    int changed = 0;
    if (read_) read(&changed);
    const bool itemChanged = changed == 1 || force_;
    if (flag != nullptr) *flag = itemChanged;
    any_ = any_ || itemChanged;
  }

  // An item the owner may switch off: not read, and never counted as changed.
  template <class Read>
  void ItemIf(bool enabled, bool* flag, Read read) {
    if (enabled)
      Item(flag, read);
    else
      *flag = false;
  }

  // True when the object's event is due: an item changed, or the update is forced.
  bool Raise() const { return any_ || force_; }

 private:
  bool force_;
  bool read_;
  bool any_ = false;
};

// An object that reads a table in slices and raises its event once per slice that changed,
// with the slice's first element stored first.
class TTalvoInfoChunked : public TTalvoInfo {
 public:
  // First table element of the slice just read; valid inside the change event.
  int ChunkStart() const { return chunkStart_; }

 protected:
  // Reads elements [first, first + count) in slices of `size` (the last one shorter): `read`
  // gets the slice's first element, its length and the link's changed flag. Returns how many
  // events were raised.
  template <class Read>
  int UpdateChunks(bool force, EForcedRead forcedRead, int first, int count, int size,
                   Read read) {
    const bool reads = !force || forcedRead == EForcedRead::Read;
    int events = 0;
    for (int start = first; start < first + count; start += size) {
      int changed = 0;
      if (reads) read(start, std::min(size, first + count - start), &changed);
      if (changed == 1 || force) {
        chunkStart_ = start;
        ++events;
        DoChange();
      }
    }
    return events;
  }

 private:
  int chunkStart_ = 0;
};

}  // namespace talvo
