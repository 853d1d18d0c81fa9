// `verify`: every backup below a folder checked against its manifest, file by file, so that a
// store whose disk lost or changed a file says so before the backup is needed.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "cli/commands.h"
#include "text/backup/manifest.h"
#include "text/backup/store_names.h"
#include "text/sha256.h"

namespace talvo::cli {
namespace {

namespace fs = std::filesystem;

struct Tally {
  std::size_t backups = 0;
  std::size_t files = 0;
  std::size_t missing = 0;
  std::size_t changed = 0;
  std::size_t broken = 0;  // backups without a manifest that can be read

  bool Good() const { return missing == 0 && changed == 0 && broken == 0; }
};

class Verifier {
 public:
  explicit Verifier(std::ostream& out) : out_(out) {}

  void Backup(const fs::path& folder) {
    ++tally_.backups;
    const fs::path manifestPath = folder / text::backup::kManifestName;
    std::ifstream file(manifestPath, std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    std::string error = file ? "" : "cannot be read";
    const auto manifest = file ? text::backup::ParseManifest(text, &error) : std::nullopt;
    if (!manifest) {
      ++tally_.broken;
      out_ << "unreadable  " << manifestPath.string() << ": " << error << '\n';
      return;
    }
    std::size_t bad = 0;
    for (const text::backup::ManifestFile& entry : manifest->files)
      if (entry.Fetched() && !FileAsRecorded(folder / entry.name, entry)) ++bad;
    if (bad == 0)
      out_ << "ok          " << folder.string() << (manifest->Complete() ? "" : " (incomplete)") << '\n';
  }

  void Unfinished(const fs::path& folder) {
    ++tally_.backups;
    ++tally_.broken;
    out_ << "unfinished  " << folder.string() << ": no manifest.json\n";
  }

  const Tally& Result() const { return tally_; }

 private:
  bool FileAsRecorded(const fs::path& path, const text::backup::ManifestFile& entry) {
    ++tally_.files;
    std::error_code ec;
    if (!fs::exists(path, ec)) {
      ++tally_.missing;
      out_ << "missing     " << path.string() << '\n';
      return false;
    }
    std::string error;
    const auto digest = text::Sha256OfFile(path, &error);
    if (!digest) {
      ++tally_.changed;
      out_ << "unreadable  " << path.string() << ": " << error << '\n';
      return false;
    }
    if (digest->size == entry.size && digest->sha256 == entry.sha256) return true;
    ++tally_.changed;
    out_ << "changed     " << path.string() << '\n';
    return false;
  }

  std::ostream& out_;
  Tally tally_;
};

// The backups below `root`, itself included: folders with a manifest, and folders named as a
// backup is named that lack one.
void FindBackups(const fs::path& root, std::vector<fs::path>& backups, std::vector<fs::path>& unfinished) {
  const auto look = [&](const fs::path& folder) {
    std::error_code ec;
    if (fs::exists(folder / text::backup::kManifestName, ec))
      backups.push_back(folder);
    else if (text::backup::IsFolderStamp(folder.filename().string()))
      unfinished.push_back(folder);
  };
  look(root);
  std::error_code ec;
  for (fs::recursive_directory_iterator it(root, ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code typeError;
    if (it->is_directory(typeError) && !it->is_symlink(typeError)) look(it->path());
  }
  if (ec) throw LocalFileError(root.string() + ": " + ec.message());
  std::sort(backups.begin(), backups.end());
  std::sort(unfinished.begin(), unfinished.end());
}

}  // namespace

ExitStatus Run(const Verify& command, std::ostream& out) {
  const fs::path root(command.folder);
  std::error_code ec;
  if (!fs::is_directory(root, ec)) throw LocalFileError(command.folder + ": no such folder");
  std::vector<fs::path> backups, unfinished;
  FindBackups(root, backups, unfinished);
  if (backups.empty() && unfinished.empty()) {
    out << "no backups below " << command.folder << '\n';
    return ExitStatus::kDamaged;
  }
  Verifier verifier(out);
  for (const fs::path& folder : backups) verifier.Backup(folder);
  for (const fs::path& folder : unfinished) verifier.Unfinished(folder);
  const Tally& t = verifier.Result();
  out << t.backups << " backups, " << t.files << " files: " << t.missing << " missing, " << t.changed
      << " changed, " << t.broken << " backups without a readable manifest\n";
  return t.Good() ? ExitStatus::kSuccess : ExitStatus::kDamaged;
}

}  // namespace talvo::cli
