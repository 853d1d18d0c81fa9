// Names that come from outside - a controller's folder listing, the settings file, a PC
// folder - are joined to a folder before a file is opened, written or sent. Only a plain name
// of one file in that folder may be: anything that could step into another folder, or that
// the other side's file system cannot hold, is turned away here, the same way everywhere.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "link/export.h"

namespace vandir {

// The longest name a PC file system holds (NAME_MAX).
inline constexpr std::size_t kLongestFileName = 255;

enum class NameFault {
  kNone,
  kEmpty,
  kSeparator,  // holds '/' or '\'
  kDots,       // ".", or holds ".." (a step up on either side)
  kControl,    // holds NUL or another control character
  kTooLong,    // more than kLongestFileName bytes
};

VANDIRCNC_EXPORT NameFault CheckFileName(std::string_view name);

// The fault in a few words, for logs and the command line.
VANDIRCNC_EXPORT const char* NameFaultText(NameFault fault);

// The name with its control bytes written as \xNN, so a log line shows what was refused.
VANDIRCNC_EXPORT std::string VisibleName(std::string_view name);

}  // namespace vandir
