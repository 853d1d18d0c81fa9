#include "link/dnc/dnc_paths.h"

#include <algorithm>

namespace vandir {

namespace fs = std::filesystem;

namespace {

bool HasDrive(std::string_view path) {
  if (path.size() < 2 || path[1] != ':') return false;
  const char letter = static_cast<char>(path[0] | 0x20);  // either case
  return letter >= 'a' && letter <= 'z';
}

// A path without an empty last name ("a/b/" becomes "a/b").
fs::path WithoutTrailingSeparator(fs::path path) {
  if (path.has_relative_path() && path.filename().empty()) path = path.parent_path();
  return path;
}

}  // namespace

DncRoot::DncRoot(const std::string& root) {
  if (root.empty()) return;
  std::error_code ec;
  fs::path canonical = fs::canonical(root, ec);
  if (!ec && fs::is_directory(canonical, ec) && !ec) root_ = std::move(canonical);
}

bool DncRoot::Contains(const fs::path& canonical) const {
  return std::mismatch(root_.begin(), root_.end(), canonical.begin(), canonical.end()).first ==
         root_.end();
}

bool DncRoot::Admits(const fs::path& pcPath) const {
  if (!Valid()) return false;
  std::error_code ec;
  const fs::path canonical = WithoutTrailingSeparator(fs::weakly_canonical(pcPath, ec));
  return !ec && Contains(canonical);
}

fs::path DncRoot::Relative(const fs::path& pcPath) const {
  fs::path relative = pcPath.lexically_relative(root_);
  return relative == "." ? fs::path() : relative;
}

std::optional<fs::path> DncRoot::Resolve(std::string_view controllerPath,
                                         const fs::path& current) const {
  if (!Valid() || controllerPath.empty() || controllerPath.find('\0') != std::string_view::npos)
    return std::nullopt;
  std::string text(controllerPath);
  std::replace(text.begin(), text.end(), '\\', '/');

  fs::path named;
  if (controllerPath.front() == '/') {
    named = text;  // a PC path, as the root path the controller was told
  } else {
    // Every drive of the controller is the root, and so is a path that begins with its
    // separator; "C:NAME" and "NAME" start at the current folder, as on the controller.
    std::string_view rest = text;
    if (HasDrive(rest)) rest.remove_prefix(2);
    const bool fromRoot = !rest.empty() && rest.front() == '/';
    rest.remove_prefix(std::min(rest.size(), rest.find_first_not_of('/')));
    named = fromRoot ? root_ / rest : root_ / current / rest;
  }
  named = WithoutTrailingSeparator(named.lexically_normal());

  std::error_code ec;
  const fs::path target = WithoutTrailingSeparator(fs::weakly_canonical(named, ec));
  if (ec || !Contains(target)) return std::nullopt;
  if (target == root_) return root_;
  const fs::path folder = fs::weakly_canonical(named.parent_path(), ec);
  if (ec || !Contains(folder)) return std::nullopt;
  return folder / named.filename();
}

DncPattern SplitDncPattern(std::string_view pattern) {
  const auto cut = pattern.find_last_of("/\\");
  if (cut != std::string_view::npos)
    return {std::string(pattern.substr(0, cut + 1)), std::string(pattern.substr(cut + 1))};
  if (HasDrive(pattern)) return {std::string(pattern.substr(0, 2)), std::string(pattern.substr(2))};
  return {std::string(), std::string(pattern)};
}

}  // namespace vandir
