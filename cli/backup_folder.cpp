#include "cli/backup_folder.h"

#include <algorithm>
#include <filesystem>
#include <optional>
#include <string>

#include "cli/errors.h"
#include "service/backup_marker.h"

namespace talvo::cli {
namespace {

std::filesystem::path FolderOf(const std::string& local) {
  const std::filesystem::path folder = std::filesystem::path(local).parent_path();
  return folder.empty() ? std::filesystem::path(".") : folder;
}

// "FOLDER holds an unfinished backup (started ...; not fetched: A, B)".
std::string Described(const std::filesystem::path& folder, const TBackupMarker& marker) {
  std::string text = folder.string() + " holds an unfinished backup (" + kBackupIncompleteFile;
  if (!marker.started.empty()) text += ", started " + marker.started;
  if (!marker.missing.empty()) {
    text += "; not fetched:";
    for (const std::string& name : marker.missing) text += " " + name;
  }
  return text + ")";
}

bool NamedIn(const TBackupMarker& marker, const std::string& name) {
  return std::any_of(marker.missing.begin(), marker.missing.end(), [&](const std::string& m) {
    return std::equal(m.begin(), m.end(), name.begin(), name.end(), [](char a, char b) {
      return std::toupper(static_cast<unsigned char>(a)) == std::toupper(static_cast<unsigned char>(b));
    });
  });
}

}  // namespace

void CheckBackupFolder(const Put& command, std::ostream& warnings) {
  const std::filesystem::path folder = FolderOf(command.local);
  const std::optional<TBackupMarker> marker = ReadBackupMarker(folder);
  if (!marker) return;
  const std::string name = std::filesystem::path(command.local).filename().string();
  if (NamedIn(*marker, name))
    throw LocalFileError(command.local + " was not fetched: " + Described(folder, *marker) +
                         "; remove the mark only if this copy is the one to send");
  warnings << "talvo-cli: warning: " << Described(folder, *marker) << '\n';
}

void CheckBackupFolder(const Get& command, std::ostream& warnings) {
  const std::filesystem::path folder = FolderOf(command.local);
  if (const std::optional<TBackupMarker> marker = ReadBackupMarker(folder))
    warnings << "talvo-cli: warning: " << Described(folder, *marker)
             << "; this file alone does not complete it\n";
}

}  // namespace talvo::cli
