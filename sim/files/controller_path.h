// Paths as the controller writes them: a drive letter, a colon and backslashes
// (C:\NCFILES\O1234.NC). Every name on the way must be an 8.3 name, so "." and ".." and
// the host's own separator never reach the host's file system.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vandir::sim {

// Longer paths do not fit the fields a client keeps file names in.
inline constexpr std::size_t kLongestPath = 127;

struct ControllerPath {
  char drive = 'C';                // upper case
  std::vector<std::string> names;  // from the drive's root down, as written

  // "C:\NC\O1.NC", or "C:\" for the root of a drive.
  std::string Text() const;
  ControllerPath Parent() const;
  ControllerPath Child(std::string name) const;
};

// The path `text` names. Without a drive it starts from the folder `current`, or with a
// leading backslash from the root of current's drive. With `pattern` the last name may
// hold wildcards. nullopt when the text is no such path.
std::optional<ControllerPath> ParsePath(std::string_view text, const ControllerPath& current,
                                        bool pattern = false);

}  // namespace vandir::sim
