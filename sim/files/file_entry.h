// One entry of a folder listing, and its 44-byte form in a listing reply: the controller's
// directory-search record.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>

#include "link/package.h"

namespace vandir::sim {

inline constexpr int kEntrySize = 44;

struct FileEntry {
  std::string name;  // 8.3, upper case
  bool folder = false;
  std::int64_t size = 0;
  std::time_t modified = 0;
};

// Writes the entry at package offset `offset`. Times are the controller's local time in
// the FAT packing, whose years run from 1980 to 2107; times outside are held at the ends.
void PutEntry(defPACKAGE& reply, int offset, const FileEntry& entry);

}  // namespace vandir::sim
