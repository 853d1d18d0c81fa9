// The mark an unfinished machine-data backup leaves in its folder. A backup writes it before
// the first file arrives and takes it away only once every file came whole, so a folder that
// a failure, a lost connection or a crash left holding old and new files side by side says
// so, to the program and to the command-line client, until a backup into it completes.
#pragma once

#include <ctime>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace talvo {

inline constexpr const char* kBackupIncompleteFile = "BACKUP-INCOMPLETE.txt";

struct TBackupMarker {
  std::string started;               // local time, "YYYY-MM-DD HH:MM:SS"
  std::vector<std::string> missing;  // the files not fetched, as the folder names them
  bool operator==(const TBackupMarker&) const = default;
};

std::string LocalTimeText(std::time_t when);

// Writes the marker into `folder`, replacing the one there, whole or not at all (a temporary
// name, renamed when complete). Empty on success, else what went wrong.
std::string WriteBackupMarker(const std::filesystem::path& folder, const TBackupMarker& marker);
// Empty on success (also when there was none), else what went wrong.
std::string RemoveBackupMarker(const std::filesystem::path& folder);
// The folder's marker, or nothing when it holds none. A marker that cannot be read is still
// one: its time and names are then empty.
std::optional<TBackupMarker> ReadBackupMarker(const std::filesystem::path& folder);

}  // namespace talvo
