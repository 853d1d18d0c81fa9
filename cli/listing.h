// A controller folder listing printed one line per entry.
#pragma once

#include <string>

#include "link/listing_entry.h"

namespace talvo::cli {

// "YYYY-MM-DD HH:MM:SS"; FAT keeps seconds in steps of two.
std::string Timestamp(const vandir::ListingEntry& entry);

// "YYYY-MM-DD HH:MM:SS  SIZE  NAME": the size right-aligned in ten columns, or <DIR>.
std::string ListingLine(const vandir::ListingEntry& entry);

}  // namespace talvo::cli
