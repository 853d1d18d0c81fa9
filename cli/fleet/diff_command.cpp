// `diff`: what changed between two backups, or between a backup and a controller as it is
// now, whose files are fetched for it into a private temporary folder.
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "cli/commands.h"
#include "cli/fleet/machine_fetch.h"
#include "service/backup_marker.h"
#include "text/backup/comparison.h"
#include "text/backup/manifest.h"

namespace talvo::cli {
namespace {

namespace fs = std::filesystem;
using text::backup::BackupSide;

// A folder of this process's own, removed with everything in it.
class TemporaryFolder {
 public:
  TemporaryFolder() {
    std::string pattern = (fs::temp_directory_path() / "talvo-diff-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) throw LocalFileError(pattern + ": cannot be created");
    path_ = pattern;
  }
  ~TemporaryFolder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  TemporaryFolder(const TemporaryFolder&) = delete;
  TemporaryFolder& operator=(const TemporaryFolder&) = delete;

  const fs::path& Path() const { return path_; }

 private:
  fs::path path_;
};

std::string ReadWhole(const fs::path& path) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) throw LocalFileError(path.string() + ": cannot be read");
  std::string bytes;
  char buffer[65536];
  for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, file)) > 0;) bytes.append(buffer, got);
  const bool failed = std::ferror(file) != 0;
  std::fclose(file);
  if (failed) throw LocalFileError(path.string() + ": cannot be read");
  return bytes;
}

// The controller's machine data now. A file the controller refuses is one it does not hold;
// anything else that keeps a file away leaves no comparison to trust.
BackupSide LiveSide(const std::string& host) {
  Session session;
  session.Connect(host, false);
  ControllerFiles plan = PlanFiles(session);
  const TemporaryFolder folder;
  BackupSide side{"host " + host, {}, {}};
  for (text::backup::ManifestFile& file : plan.files) {
    const ExitStatus status = FetchFile(session, folder.Path(), file, [](int) {});
    if (status == ExitStatus::kControllerRefused) {
      std::fprintf(stderr, "%s: %s: %s; taken as not there\n", host.c_str(), file.name.c_str(),
                   file.error.c_str());
      continue;
    }
    if (status != ExitStatus::kSuccess) throw Failure(status, host + ": " + file.name + ": " + file.error);
    side.names.push_back(file.name);
    side.bytes[text::backup::UpperName(file.name)] = ReadWhole(folder.Path() / file.name);
  }
  return side;
}

BackupSide LoadSide(const DiffSide& side) {
  if (!side.host.empty()) return LiveSide(side.host);
  std::string error;
  auto folder = text::backup::ReadBackupSide(side.folder, &error);
  if (!folder) throw LocalFileError(error);
  // A Machine page folder whose last backup did not end whole holds older copies, or none,
  // of the files that backup missed.
  std::error_code ec;
  if (!fs::exists(fs::path(side.folder) / text::backup::kManifestName, ec) && ReadBackupMarker(side.folder))
    std::fprintf(stderr, "talvo-cli: warning: %s holds an unfinished backup (%s)\n", side.folder.c_str(),
                 kBackupIncompleteFile);
  return std::move(*folder);
}

}  // namespace

ExitStatus Run(const Diff& command, std::ostream& out) {
  const BackupSide a = LoadSide(command.a);
  const BackupSide b = LoadSide(command.b);
  const text::backup::Comparison comparison = text::backup::Compare(a, b);
  if (command.json)
    out << text::backup::ComparisonJson(comparison);
  else
    for (const std::string& line : text::backup::ComparisonLines(comparison)) out << line << '\n';
  return comparison.Equal() ? ExitStatus::kSuccess : ExitStatus::kDiffer;
}

}  // namespace talvo::cli
