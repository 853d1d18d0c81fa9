#include "sim/files/controller_path.h"

#include "sim/files/short_names.h"

namespace vandir::sim {

namespace {

constexpr char kSeparator = '\\';

bool IsDriveLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// The names between backslashes; empty ones (doubled or trailing backslashes) are dropped.
std::vector<std::string> Split(std::string_view text) {
  std::vector<std::string> names;
  std::string name;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == kSeparator) {
      if (!name.empty()) names.push_back(std::move(name));
      name.clear();
      continue;
    }
    name += text[i];
    // A backslash right after a lead byte is half of a double-byte character.
    if (IsLeadByte(text[i]) && i + 1 < text.size()) name += text[++i];
  }
  if (!name.empty()) names.push_back(std::move(name));
  return names;
}

}  // namespace

std::string ControllerPath::Text() const {
  std::string text{drive, ':'};
  for (const auto& name : names) text += kSeparator + name;
  if (names.empty()) text += kSeparator;
  return text;
}

ControllerPath ControllerPath::Parent() const {
  ControllerPath parent = *this;
  if (!parent.names.empty()) parent.names.pop_back();
  return parent;
}

ControllerPath ControllerPath::Child(std::string name) const {
  ControllerPath child = *this;
  child.names.push_back(std::move(name));
  return child;
}

std::optional<ControllerPath> ParsePath(std::string_view text, const ControllerPath& current,
                                        bool pattern) {
  if (text.empty() || text.size() > kLongestPath) return std::nullopt;
  ControllerPath path = current;
  if (text.size() >= 2 && text[1] == ':') {
    if (!IsDriveLetter(text[0])) return std::nullopt;
    path.drive = FoldCase(text.substr(0, 1))[0];
    path.names.clear();
    text.remove_prefix(2);
  } else if (text.front() == kSeparator) {
    path.names.clear();
  }
  const auto names = Split(text);
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (!IsShortName(names[i], pattern && i + 1 == names.size())) return std::nullopt;
    path.names.push_back(names[i]);
  }
  return path;
}

}  // namespace vandir::sim
