#include "text/key_file_text.h"

#include <algorithm>

namespace talvo::text {
namespace {

constexpr std::string_view kUtf8Signature = "\xEF\xBB\xBF";

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string Folded(std::string_view name) {
  std::string folded(name);
  for (char& c : folded)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return folded;
}

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

std::string LookupKey(std::string_view foldedSection, std::string_view foldedKey) {
  std::string joined(foldedSection);
  joined += '\n';  // no name can hold a line end
  joined += foldedKey;
  return joined;
}

bool HasLineEnd(std::string_view text) { return text.find_first_of("\r\n") != text.npos; }

// Names that read back as themselves once written into a line of their own.
bool WritableSection(std::string_view name) {
  return !HasLineEnd(name) && name.find(']') == name.npos && Trimmed(name) == name;
}

bool WritableKey(std::string_view name) {
  return !name.empty() && !HasLineEnd(name) && name.find('=') == name.npos &&
         Trimmed(name) == name && name.front() != '[' && name.front() != ';' &&
         name.front() != '#';
}

}  // namespace

KeyFileText::KeyFileText(std::string bytes) : bytes_(std::move(bytes)) { Index(); }

void KeyFileText::Index() {
  sections_.clear();
  keys_.clear();
  first_.clear();
  const std::size_t start = bytes_.starts_with(kUtf8Signature) ? kUtf8Signature.size() : 0;
  sections_.push_back({"", {start, start, start}, std::nullopt});
  last_ = {0, 0, 0};
  for (std::size_t pos = 0; pos < bytes_.size();) {
    Line line{pos, bytes_.find_first_of("\r\n", pos), 0};
    if (line.end == std::string::npos) {
      line.end = line.next = bytes_.size();
    } else {
      const bool crlf = bytes_[line.end] == '\r' && line.end + 1 < bytes_.size() &&
                        bytes_[line.end + 1] == '\n';
      line.next = line.end + (crlf ? 2 : 1);
    }
    IndexLine(line);
    last_ = line;
    pos = line.next;
  }
}

void KeyFileText::IndexLine(const Line& line) {
  const std::string_view all(bytes_);
  std::size_t p = line.begin == 0 ? sections_.front().header.begin : line.begin;
  while (p < line.end && IsBlank(all[p])) ++p;
  if (p == line.end || all[p] == ';' || all[p] == '#') return;
  const std::string_view rest = all.substr(p, line.end - p);
  if (rest.front() == '[') {
    const std::size_t close = rest.find(']');
    // An unclosed header is no header: the keys below stay in the section above.
    if (close == rest.npos) return;
    sections_.push_back({Folded(Trimmed(rest.substr(1, close - 1))), line, std::nullopt});
    return;
  }
  const std::size_t equals = rest.find('=');
  if (equals == rest.npos || equals == 0) return;
  std::size_t valueBegin = p + equals + 1;
  std::size_t valueEnd = line.end;
  while (valueBegin < valueEnd && IsBlank(all[valueBegin])) ++valueBegin;
  while (valueEnd > valueBegin && IsBlank(all[valueEnd - 1])) --valueEnd;
  Section& section = sections_.back();
  keys_.push_back({sections_.size() - 1, Folded(Trimmed(rest.substr(0, equals))), line,
                   valueBegin, valueEnd});
  section.lastKey = line;
  first_.try_emplace(LookupKey(section.name, keys_.back().name), keys_.size() - 1);
}

const KeyFileText::KeyLine* KeyFileText::FindLine(std::string_view section,
                                                  std::string_view key) const {
  const auto found = first_.find(LookupKey(Folded(section), Folded(key)));
  return found == first_.end() ? nullptr : &keys_[found->second];
}

std::optional<std::string_view> KeyFileText::Find(std::string_view section,
                                                  std::string_view key) const {
  const KeyLine* line = FindLine(section, key);
  if (!line) return std::nullopt;
  return std::string_view(bytes_).substr(line->valueBegin, line->valueEnd - line->valueBegin);
}

std::string_view KeyFileText::LineEnd(const Line& near) const {
  if (near.next > near.end) return std::string_view(bytes_).substr(near.end, near.next - near.end);
  const std::size_t end = bytes_.find_first_of("\r\n");
  if (end == std::string::npos || bytes_[end] == '\n') return "\n";
  return end + 1 < bytes_.size() && bytes_[end + 1] == '\n' ? "\r\n" : "\r";
}

void KeyFileText::Splice(std::size_t at, std::size_t length, std::string_view with) {
  bytes_.replace(at, length, with);
  Index();
}

KeyFileText::Edit KeyFileText::Set(std::string_view section, std::string_view key,
                                   std::string_view value) {
  if (!WritableSection(section) || !WritableKey(key) || HasLineEnd(value)) return Edit::kRefused;
  if (const KeyLine* line = FindLine(section, key)) {
    const std::size_t length = line->valueEnd - line->valueBegin;
    if (std::string_view(bytes_).substr(line->valueBegin, length) == value)
      return Edit::kUnchanged;
    Splice(line->valueBegin, length, value);
    return Edit::kChanged;
  }
  const std::string entry = std::string(key) + "=" + std::string(value);
  const std::string folded = Folded(section);
  const auto target = std::find_if(sections_.begin(), sections_.end(),
                                   [&](const Section& s) { return s.name == folded; });
  if (target == sections_.end()) {
    const std::string eol(LineEnd(last_));
    std::string added;
    if (last_.next == last_.end && last_.end > last_.begin) added += eol;
    added += "[" + std::string(section) + "]" + eol + entry + eol;
    Splice(bytes_.size(), 0, added);
    return Edit::kChanged;
  }
  const bool prelude = target == sections_.begin();
  const Line after = target->lastKey.value_or(target->header);
  const std::string eol(LineEnd(after));
  if (after.next > after.end || (prelude && !target->lastKey))
    Splice(after.next, 0, entry + eol);
  else  // the last line of a file without a final line end
    Splice(after.end, 0, eol + entry);
  return Edit::kChanged;
}

KeyFileText::Edit KeyFileText::Remove(std::string_view section, std::string_view key) {
  const std::string foldedSection = Folded(section);
  const std::string foldedKey = Folded(key);
  std::vector<Line> doomed;
  for (const KeyLine& line : keys_)
    if (line.name == foldedKey && sections_[line.section].name == foldedSection)
      doomed.push_back(line.line);
  if (doomed.empty()) return Edit::kUnchanged;
  // From the back, so that the places of the lines before stay as they were. A signature at
  // the start of the file is no part of the first line.
  const std::size_t start = sections_.front().header.begin;
  for (auto it = doomed.rbegin(); it != doomed.rend(); ++it) {
    const std::size_t from = std::max(it->begin, start);
    bytes_.erase(from, it->next - from);
  }
  Index();
  return Edit::kChanged;
}

}  // namespace talvo::text
