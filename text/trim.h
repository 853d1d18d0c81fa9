// Texts without their leading and trailing blanks, in the two senses the files and fields of
// this system use.
#pragma once

#include <string_view>

namespace talvo::text {

// Spaces, tabs and line ends: how key files and the controller's text tables are trimmed.
inline std::string_view TrimmedSpaces(std::string_view text) {
  constexpr std::string_view kSpaces = " \t\r\n";
  const auto first = text.find_first_not_of(kSpaces);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(kSpaces) - first + 1);
}

// Every character up to the space, control characters included: how typed entries and the
// controller's history records are trimmed.
inline std::string_view TrimmedBlanks(std::string_view text) {
  const auto blank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

}  // namespace talvo::text
