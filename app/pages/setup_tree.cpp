#include "app/pages/setup_tree.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace talvo::app {
namespace {

struct TFolderEntries {
  std::vector<std::string> files;
  std::vector<std::string> folders;
};

// What `folder` holds; what could not be read is added to `unreadable`.
TFolderEntries ReadFolder(const std::string& folder, std::vector<std::string>& unreadable) {
  TFolderEntries entries;
  std::error_code ec;
  for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end;
       it.increment(ec)) {
    std::string name = it->path().filename().string();
    if (name.empty()) continue;
    std::error_code kind;
    if (it->is_directory(kind)) {
      if (!it->is_symlink(kind)) entries.folders.push_back(std::move(name));
    } else if (it->is_regular_file(kind)) {
      entries.files.push_back(std::move(name));
    }
    if (kind) unreadable.push_back(folder + name + " (" + kind.message() + ")");
  }
  if (ec) unreadable.push_back(folder + " (" + ec.message() + ")");
  std::sort(entries.files.begin(), entries.files.end());
  std::sort(entries.folders.begin(), entries.folders.end());
  return entries;
}

}  // namespace

void QueueFolderTree(const std::string& pcFolder, const std::string& ncFolder, TSetupJob& job) {
  const TFolderEntries entries = ReadFolder(pcFolder, job.unreadable);
  const auto plain = [&job](const std::string& name) {
    auto unsafe = RefuseUnsafeName(name);
    if (unsafe) job.refused.push_back(std::move(*unsafe));
    return !unsafe;
  };
  for (const std::string& file : entries.files)
    if (plain(file)) job.steps.push_back({fcSendFile, pcFolder + file, ncFolder + file});
  for (const std::string& folder : entries.folders) {
    if (!plain(folder)) continue;
    job.steps.push_back({fcDirCreate, ncFolder + folder, {}});
    QueueFolderTree(pcFolder + folder + '/', ncFolder + folder + '\\', job);
  }
}

TSetupJob SetupUploadSteps(const std::string& setupFolder) {
  const std::string staging = kStagingFolder;
  TSetupJob job;
  job.steps.push_back({fcDirCreate, staging.substr(0, staging.size() - 1), {}});
  QueueFolderTree(WithTrailing(setupFolder, '/'), staging, job);
  return job;
}

}  // namespace talvo::app
