// Names in a backup store: DIR/<machine>/<UTC start time>/, one new folder per backup.
#pragma once

#include <chrono>
#include <string>
#include <string_view>

namespace talvo::text::backup {

using SystemTime = std::chrono::system_clock::time_point;

// `name` as a folder name that is the same on Linux and Windows shares: characters a file
// system or a shell would take for something else (/ \ : * ? " < > | and control characters)
// become '_', blanks and dots are trimmed from both ends; `fallback` when nothing is left.
std::string SafeFolderName(std::string_view name, std::string_view fallback);

// 20261210T153000Z: sorts as it runs, and holds no ':' for Windows.
std::string FolderStamp(SystemTime time);
// 2026-12-10T15:30:00Z
std::string IsoTime(SystemTime time);
// Whether a folder name is one FolderStamp gave, with or without a "-N" suffix.
bool IsFolderStamp(std::string_view name);

}  // namespace talvo::text::backup
