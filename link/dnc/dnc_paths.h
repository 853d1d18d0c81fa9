// Where a path named by the controller on the DNC channel lies on the PC.
//
// The DNC channel lets the controller read and write the PC's disk, so every path it names
// is confined to the DNC root folder: the controller's drive letters and backslashes are
// mapped onto the root, and a path that would end up outside it (through "..", an absolute
// path elsewhere or a symbolic link leading out) is refused.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace vandir {

class DncRoot {
 public:
  // An empty or missing root folder admits nothing.
  explicit DncRoot(const std::string& root);

  bool Valid() const { return !root_.empty(); }
  // The root folder, canonical.
  const std::filesystem::path& Path() const { return root_; }

  // The PC path of `controllerPath`, or nothing when it is refused. A relative path starts at
  // `current` (a folder below the root, relative to it). "C:\NC\O1" and "\NC\O1" start at
  // the root, whatever the drive; PC paths ("/...") are taken as they are. The result's folder is
  // canonical and its last name is kept as named, so an operation on a symbolic link inside
  // the root acts on the link, while the link's target has been checked to stay inside.
  std::optional<std::filesystem::path> Resolve(std::string_view controllerPath,
                                               const std::filesystem::path& current = {}) const;

  // True when `pcPath`, with every symbolic link followed, is the root or lies below it.
  bool Admits(const std::filesystem::path& pcPath) const;

  // `pcPath` (a folder inside the root) relative to the root; empty for the root itself.
  std::filesystem::path Relative(const std::filesystem::path& pcPath) const;

 private:
  bool Contains(const std::filesystem::path& canonical) const;

  std::filesystem::path root_;
};

// A search pattern split at its last separator: the folder part as the controller wrote it
// (possibly empty, "C:" or "C:\NC\") and the name pattern.
struct DncPattern {
  std::string folder;
  std::string name;
};
DncPattern SplitDncPattern(std::string_view pattern);

}  // namespace vandir
