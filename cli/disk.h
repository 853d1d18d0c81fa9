// Controller drives: naming them on the command line and sizing them from the
// controller's cluster counts.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "link/vandircnc.h"

namespace talvo::cli {

// A drive number as the controller counts them (A: 0, B: 1, C: 2, ...), from a number or
// a letter with or without its colon. Nothing for anything else.
std::optional<unsigned> ParseDrive(std::string_view text);

struct DiskSpace {
  std::uint64_t totalBytes = 0;
  std::uint64_t freeBytes = 0;
};

// Products of three 16-bit numbers: they overflow 32 bits on any sizeable drive.
DiskSpace DiskSpaceOf(const vandir::TVandirCNC::defDiskFree& record);

}  // namespace talvo::cli
