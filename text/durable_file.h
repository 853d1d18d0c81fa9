// Files that are either there whole or not at all, also across a power cut: written under a
// temporary name beside their place, flushed to the disk, renamed into place, and the folder
// flushed so that the new name itself survives.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace talvo::text {

// Empty on success, else what failed and why ("write: No space left on device"). A failure
// leaves neither the file nor its temporary behind, and an old file of that name untouched.
std::string WriteDurably(const std::filesystem::path& path, std::string_view bytes);

// The whole file, or nothing when it cannot be opened or read to its end.
std::optional<std::string> ReadWhole(const std::filesystem::path& path);

// Flushes a folder's entries (names added or renamed in it) to the disk; empty or the cause.
std::string SyncFolder(const std::filesystem::path& folder);

}  // namespace talvo::text
