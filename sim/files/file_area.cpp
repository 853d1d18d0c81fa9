#include "sim/files/file_area.h"

#include <sys/stat.h>

#include <algorithm>
#include <tuple>

#include "sim/files/file_codes.h"
#include "sim/files/short_names.h"

namespace vandir::sim {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kEverything = "*.*";

ControllerPath PathOr(std::optional<ControllerPath> path) {
  return path ? std::move(*path) : ControllerPath{};
}

}  // namespace

FileArea::FileArea(fs::path root, std::string_view current)
    : root_(std::move(root)), current_(PathOr(ParsePath(current, ControllerPath{}))) {}

std::optional<ControllerPath> FileArea::Parse(std::string_view text, bool pattern) const {
  return ParsePath(text, current_, pattern);
}

std::vector<FileArea::Found> FileArea::Entries(const fs::path& folder) const {
  std::vector<Found> found;
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    struct stat info {};
    if (!IsShortName(name) || lstat(it->path().c_str(), &info) != 0) continue;
    const bool folder = S_ISDIR(info.st_mode);
    if (!folder && !S_ISREG(info.st_mode)) continue;
    found.push_back({{FoldCase(name), folder, folder ? 0 : info.st_size, info.st_mtime}, it->path()});
  }
  std::sort(found.begin(), found.end(), [](const Found& a, const Found& b) {
    return std::tie(a.entry.name, a.host) < std::tie(b.entry.name, b.host);
  });
  return found;
}

FileArea::Place FileArea::Find(const fs::path& folder, std::string_view name) const {
  // The name as written first: it spares reading the whole folder.
  const fs::path exact = folder / name;
  struct stat info {};
  if (lstat(exact.c_str(), &info) == 0 && (S_ISDIR(info.st_mode) || S_ISREG(info.st_mode))) {
    return {exact, S_ISDIR(info.st_mode) ? Kind::kFolder : Kind::kFile, true};
  }
  for (const auto& found : Entries(folder)) {
    if (SameName(found.entry.name, name)) {
      return {found.host, found.entry.folder ? Kind::kFolder : Kind::kFile, true};
    }
  }
  return {folder / FoldCase(name), Kind::kMissing, true};
}

FileArea::Place FileArea::Locate(const ControllerPath& path) const {
  Place place = Find(root_, std::string(1, path.drive));
  if (place.kind != Kind::kFolder) return {place.host, Kind::kMissing, false};
  for (const auto& name : path.names) {
    if (place.kind != Kind::kFolder) return {place.host / FoldCase(name), Kind::kMissing, false};
    place = Find(place.host, name);
  }
  return place;
}

bool FileArea::MakeFolders(std::string_view text) {
  std::lock_guard lock(mutex_);
  const auto path = Parse(text);
  if (!path) return false;
  std::error_code ec;
  for (std::size_t depth = 0; depth <= path->names.size(); ++depth) {
    const ControllerPath step{path->drive, {path->names.begin(), path->names.begin() + depth}};
    const Place place = Locate(step);
    if (place.kind == Kind::kMissing) fs::create_directory(place.host, ec);
    if (ec || Locate(step).kind != Kind::kFolder) return false;
  }
  return true;
}

bool FileArea::Import(std::string_view folder, const std::filesystem::path& source) {
  std::lock_guard lock(mutex_);
  const auto parent = Parse(folder);
  if (!parent) return false;
  const auto path = ParsePath(source.filename().string(), *parent);
  if (!path || path->names.size() != parent->names.size() + 1) return false;
  const Place place = Locate(*path);
  if (!place.reachable) return false;
  if (place.kind != Kind::kMissing) return true;
  std::error_code ec;
  return fs::copy_file(source, place.host, ec) && !ec;
}

std::int16_t FileArea::Rename(std::string_view from, std::string_view to) {
  std::lock_guard lock(mutex_);
  const auto source = Parse(from);
  const auto target = source ? ParsePath(to, source->Parent()) : std::nullopt;
  if (!source || !target) return kFileBadName;
  if (source->names.empty() || target->names.empty()) return kFileWrongKind;
  const Place old = Locate(*source);
  if (old.kind == Kind::kMissing) return kFileNotFound;
  const Place now = Locate(*target);
  if (!now.reachable) return kFileNotFound;
  // The same entry again: a change of case only.
  if (now.kind != Kind::kMissing && now.host != old.host) return kFileExists;
  std::error_code ec;
  fs::rename(old.host, now.host.parent_path() / FoldCase(target->names.back()), ec);
  return ec ? kFileDiskError : kFileDone;
}

std::int16_t FileArea::Delete(std::string_view name) {
  std::lock_guard lock(mutex_);
  const auto path = Parse(name);
  if (!path) return kFileBadName;
  const Place place = Locate(*path);
  if (place.kind == Kind::kMissing) return kFileNotFound;
  if (place.kind == Kind::kFolder) return kFileWrongKind;
  std::error_code ec;
  fs::remove(place.host, ec);
  return ec ? kFileDiskError : kFileDone;
}

std::int16_t FileArea::MakeFolder(std::string_view name) {
  std::lock_guard lock(mutex_);
  const auto path = Parse(name);
  if (!path) return kFileBadName;
  const Place place = Locate(*path);
  if (place.kind == Kind::kFolder) return kFolderExists;
  if (place.kind == Kind::kFile) return kFileExists;
  if (!place.reachable) return kFileNotFound;
  std::error_code ec;
  fs::create_directory(place.host, ec);
  return ec ? kFileDiskError : kFileDone;
}

std::int16_t FileArea::RemoveFolder(std::string_view name) {
  std::lock_guard lock(mutex_);
  const auto path = Parse(name);
  if (!path) return kFileBadName;
  if (path->names.empty()) return kFileWrongKind;
  const Place place = Locate(*path);
  if (place.kind == Kind::kMissing) return kFileNotFound;
  if (place.kind == Kind::kFile) return kFileWrongKind;
  std::error_code ec;
  if (!fs::is_empty(place.host, ec)) return ec ? kFileDiskError : kFolderNotEmpty;
  fs::remove(place.host, ec);
  return ec ? kFileDiskError : kFileDone;
}

std::optional<std::vector<FileEntry>> FileArea::List(std::string_view text) {
  std::lock_guard lock(mutex_);
  const auto path = Parse(text, true);
  if (!path) return std::nullopt;
  const bool pattern = !path->names.empty() && HasWildcards(path->names.back());
  const Place place = Locate(pattern ? path->Parent() : *path);
  std::vector<FileEntry> entries;
  if (place.kind == Kind::kFile) {
    const auto folder = Entries(place.host.parent_path());
    const auto file = std::find_if(folder.begin(), folder.end(),
                                   [&](const Found& found) { return found.host == place.host; });
    if (file != folder.end()) entries.push_back(file->entry);
    return entries;
  }
  if (place.kind != Kind::kFolder) return std::nullopt;
  const std::string_view wanted = pattern ? std::string_view(path->names.back()) : kEverything;
  for (const auto& found : Entries(place.host)) {
    if (MatchesPattern(found.entry.name, wanted)) entries.push_back(found.entry);
  }
  return entries;
}

std::optional<std::vector<std::string>> FileArea::Tree(std::string_view text) {
  std::lock_guard lock(mutex_);
  const auto path = Parse(text);
  if (!path) return std::nullopt;
  const Place place = Locate(*path);
  if (place.kind != Kind::kFolder) return std::nullopt;
  std::vector<std::string> items;
  AddTree(*path, place.host, items);
  return items;
}

void FileArea::AddTree(const ControllerPath& path, const fs::path& host,
                       std::vector<std::string>& items) const {
  for (const auto& found : Entries(host)) {
    const ControllerPath child = path.Child(found.entry.name);
    if (found.entry.folder) {
      items.push_back(child.Text() + '\\');
      AddTree(child, found.host, items);
    } else {
      items.push_back(child.Text() + '=' + std::to_string(found.entry.size));
    }
  }
}

}  // namespace vandir::sim
