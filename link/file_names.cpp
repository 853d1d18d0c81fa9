#include "link/file_names.h"

#include <cstdio>

namespace vandir {
namespace {

bool IsControl(unsigned char c) { return c < 0x20 || c == 0x7F; }

}  // namespace

NameFault CheckFileName(std::string_view name) {
  if (name.empty()) return NameFault::kEmpty;
  if (name.size() > kLongestFileName) return NameFault::kTooLong;
  for (const char c : name)
    if (IsControl(static_cast<unsigned char>(c))) return NameFault::kControl;
  if (name.find_first_of("/\\") != std::string_view::npos) return NameFault::kSeparator;
  if (name == "." || name.find("..") != std::string_view::npos) return NameFault::kDots;
  return NameFault::kNone;
}

const char* NameFaultText(NameFault fault) {
  switch (fault) {
    case NameFault::kNone:
      return "a plain file name";
    case NameFault::kEmpty:
      return "empty name";
    case NameFault::kSeparator:
      return "holds a folder separator";
    case NameFault::kDots:
      return "names a folder step";
    case NameFault::kControl:
      return "holds a control character";
    case NameFault::kTooLong:
      return "longer than 255 bytes";
  }
  return "";
}

std::string VisibleName(std::string_view name) {
  std::string shown;
  shown.reserve(name.size());
  for (const char c : name) {
    if (!IsControl(static_cast<unsigned char>(c))) {
      shown += c;
      continue;
    }
    char escaped[5];
    std::snprintf(escaped, sizeof escaped, "\\x%02X", static_cast<unsigned char>(c));
    shown += escaped;
  }
  return shown;
}

}  // namespace vandir
