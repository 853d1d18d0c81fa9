#include "cli/listing.h"

#include <cstdio>

#include "link/file_names.h"

namespace talvo::cli {

std::string Timestamp(const vandir::ListingEntry& entry) {
  char text[48];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", entry.year, entry.month,
                entry.day, entry.hour, entry.minute, entry.second);
  return text;
}

std::string ListingLine(const vandir::ListingEntry& entry) {
  char size[16];
  std::snprintf(size, sizeof size, "%10s",
                entry.IsFolder() ? "<DIR>" : std::to_string(entry.size).c_str());
  // A controller's name reaches the terminal with its control bytes spelled out.
  return Timestamp(entry) + "  " + size + "  " + vandir::VisibleName(entry.name);
}

}  // namespace talvo::cli
