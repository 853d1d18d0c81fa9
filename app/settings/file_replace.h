// Replacing a file the user owns with new contents so that at every moment the file on disk
// is either the old one, whole, or the new one, whole: a crash, a full disk or a refused
// rename never leaves half a file behind.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace talvo::app {

// Writes `bytes` to a new file beside `path` ("<name>.XXXXXX"), flushes it to the disk with
// the old file's permission bits, renames it over `path` (over the file a symbolic link at
// `path` points to) and flushes the folder. False when any step fails: the temporary file is
// gone again, the old file is untouched, and `failure` says which step failed and why.
bool ReplaceFileContents(const std::filesystem::path& path, std::string_view bytes,
                         std::string& failure);

}  // namespace talvo::app
