#include "link/dnc/dnc_search.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <string>

namespace vandir {

namespace fs = std::filesystem;

namespace {

constexpr int kTimeAt = 22, kDateAt = 24, kSizeAt = 26, kNameAt = 30;
constexpr std::size_t kNameBytes = kDirectoryEntrySize - kNameAt;  // 28

void PutU16(DirectoryEntry& e, int at, std::uint16_t v) {
  e[static_cast<std::size_t>(at)] = static_cast<std::uint8_t>(v);
  e[static_cast<std::size_t>(at) + 1] = static_cast<std::uint8_t>(v >> 8);
}

char Upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool Match(std::string_view pattern, std::string_view name) {
  // Greedy with one backtrack point: enough for `*`, linear in practice.
  std::size_t p = 0, n = 0, star = std::string_view::npos, resume = 0;
  while (n < name.size()) {
    if (p < pattern.size() && (pattern[p] == '?' || Upper(pattern[p]) == Upper(name[n]))) {
      ++p;
      ++n;
    } else if (p < pattern.size() && pattern[p] == '*') {
      star = p++;
      resume = n;
    } else if (star != std::string_view::npos) {
      p = star + 1;
      n = ++resume;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

std::tm LocalTime(std::time_t t) {
  std::tm local{};
  localtime_r(&t, &local);
  return local;
}

}  // namespace

std::uint16_t DosTime(const std::tm& t) {
  return static_cast<std::uint16_t>((t.tm_hour << 11) | (t.tm_min << 5) | (t.tm_sec / 2));
}

std::uint16_t DosDate(const std::tm& t) {
  const int year = t.tm_year + 1900;
  if (year < 1980) return static_cast<std::uint16_t>((1 << 5) | 1);
  if (year > 2107) return static_cast<std::uint16_t>((127 << 9) | (12 << 5) | 31);
  return static_cast<std::uint16_t>(((year - 1980) << 9) | ((t.tm_mon + 1) << 5) | t.tm_mday);
}

DirectoryEntry MakeDirectoryEntry(std::string_view name, std::uint8_t attribute,
                                  const std::tm& modified, std::uint32_t size) {
  DirectoryEntry e{};
  e[kEntryAttributeAt] = attribute;
  PutU16(e, kTimeAt, DosTime(modified));
  PutU16(e, kDateAt, DosDate(modified));
  PutU16(e, kSizeAt, static_cast<std::uint16_t>(size));
  PutU16(e, kSizeAt + 2, static_cast<std::uint16_t>(size >> 16));
  std::memcpy(e.data() + kNameAt, name.data(), std::min(name.size(), kNameBytes));
  return e;
}

bool WildcardMatch(std::string_view pattern, std::string_view name) {
  if (Match(pattern, name)) return true;
  return pattern.size() >= 2 && pattern.substr(pattern.size() - 2) == ".*" &&
         name.find('.') == std::string_view::npos &&
         Match(pattern.substr(0, pattern.size() - 2), name);
}

std::vector<DirectoryEntry> FindEntries(const DncRoot& root, const fs::path& folder,
                                        std::string_view pattern, int mask) {
  std::map<std::string, DirectoryEntry> found;  // sorted by name
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const fs::path& path = it->path();
    const std::string name = path.filename().string();
    if (!WildcardMatch(pattern, name)) continue;
    std::error_code linkError;
    if (it->is_symlink(linkError) && !root.Admits(path)) continue;
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) continue;
    std::uint8_t attribute;
    if (S_ISDIR(st.st_mode)) {
      if (!(mask & kAttrDirectory)) continue;
      attribute = kAttrDirectory;
    } else if (S_ISREG(st.st_mode)) {
      attribute = kAttrArchive;
    } else {
      continue;
    }
    if (!(st.st_mode & S_IWUSR)) attribute |= kAttrReadOnly;
    const auto size = S_ISREG(st.st_mode) ? static_cast<std::uint32_t>(st.st_size) : 0u;
    found.emplace(name, MakeDirectoryEntry(name, attribute, LocalTime(st.st_mtime), size));
  }
  std::vector<DirectoryEntry> entries;
  entries.reserve(found.size());
  for (auto& [name, entry] : found) entries.push_back(entry);
  return entries;
}

}  // namespace vandir
