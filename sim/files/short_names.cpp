#include "sim/files/short_names.h"

#include <array>

namespace vandir::sim {

namespace {

constexpr std::size_t kBaseWidth = 8;
constexpr std::size_t kExtensionWidth = 3;
constexpr std::string_view kForbidden = "\"+,/:;<=>[\\]| ";
constexpr std::string_view kWildcards = "*?";

using Fields = std::array<char, kBaseWidth + kExtensionWidth>;

void PutField(std::string_view part, Fields& fields, std::size_t first, std::size_t width) {
  for (std::size_t i = 0; i < width; ++i) {
    if (i < part.size() && part[i] == '*') {
      for (; i < width; ++i) fields[first + i] = '?';
      return;
    }
    fields[first + i] = i < part.size() ? part[i] : ' ';
  }
}

// The name in the fixed 8 + 3 layout of a DOS directory entry, folded to upper case.
Fields Expand(std::string_view name) {
  const std::string folded = FoldCase(name);
  const std::string_view text = folded;
  const auto dot = text.find('.');
  Fields fields{};
  PutField(text.substr(0, dot), fields, 0, kBaseWidth);
  PutField(dot == std::string_view::npos ? std::string_view() : text.substr(dot + 1), fields,
           kBaseWidth, kExtensionWidth);
  return fields;
}

bool IsNameCharacter(char c, bool wildcards) {
  if (static_cast<unsigned char>(c) < 0x20 || kForbidden.find(c) != std::string_view::npos) {
    return false;
  }
  return wildcards || kWildcards.find(c) == std::string_view::npos;
}

}  // namespace

std::string FoldCase(std::string_view name) {
  std::string folded(name);
  for (std::size_t i = 0; i < folded.size(); ++i) {
    if (IsLeadByte(folded[i])) {
      ++i;  // the trail byte stays as it is
    } else if (folded[i] >= 'a' && folded[i] <= 'z') {
      folded[i] = static_cast<char>(folded[i] - 'a' + 'A');
    }
  }
  return folded;
}

bool SameName(std::string_view a, std::string_view b) { return FoldCase(a) == FoldCase(b); }

bool HasWildcards(std::string_view name) {
  return name.find_first_of(kWildcards) != std::string_view::npos;
}

bool IsShortName(std::string_view name, bool wildcards) {
  const auto dot = name.find('.');
  const std::string_view base = name.substr(0, dot);
  const std::string_view extension =
      dot == std::string_view::npos ? std::string_view() : name.substr(dot + 1);
  if (base.empty() || base.size() > kBaseWidth || extension.size() > kExtensionWidth) return false;
  if (dot != std::string_view::npos && extension.empty()) return false;
  for (const std::string_view part : {base, extension}) {
    for (std::size_t i = 0; i < part.size(); ++i) {
      if (IsLeadByte(part[i])) {
        if (++i == part.size()) return false;  // a character cut in half
      } else if (part[i] == '.' || !IsNameCharacter(part[i], wildcards)) {
        return false;
      }
    }
  }
  return true;
}

bool MatchesPattern(std::string_view name, std::string_view pattern) {
  const Fields have = Expand(name);
  const Fields want = Expand(pattern);
  for (std::size_t i = 0; i < have.size(); ++i) {
    if (want[i] != '?' && want[i] != have[i]) return false;
  }
  return true;
}

}  // namespace vandir::sim
