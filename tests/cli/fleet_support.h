// What the fleet tests share: a store in a temporary folder, machine lists, and reading back
// the backups talvo-cli made.
#pragma once

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/file_bytes.h"
#include "text/backup/manifest.h"

namespace talvo::cli::test {

namespace fs = std::filesystem;

class FleetStore : public testing::Test {
 protected:
  FleetStore() { fs::create_directories(work); }
  ~FleetStore() override { fs::remove_all(work); }

  // A settings file whose machine list holds these (name, address) entries.
  void WriteMachineList(const fs::path& path, const std::vector<std::pair<std::string, std::string>>& entries,
                        const std::string& options = "") const {
    std::string text = options + "[MACHINEDATA]\r\nCNCCOUNT=" + std::to_string(entries.size()) + "\r\n";
    for (std::size_t n = 0; n < entries.size(); ++n)
      text += "CNCNAME" + std::to_string(n) + "=" + entries[n].first + "\r\nCNCIP" + std::to_string(n) +
              "=" + entries[n].second + "\r\n";
    vandir::test::WriteBytes(path, text);
  }

  // The backup folders of a machine, oldest first.
  static std::vector<fs::path> Backups(const fs::path& machineFolder) {
    std::vector<fs::path> folders;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(machineFolder, ec)) folders.push_back(entry.path());
    std::sort(folders.begin(), folders.end());
    return folders;
  }

  static text::backup::Manifest ReadManifest(const fs::path& folder) {
    std::string error;
    auto manifest =
        text::backup::ParseManifest(vandir::test::ReadBytes(folder / text::backup::kManifestName), &error);
    EXPECT_TRUE(manifest) << folder << ": " << error;
    return manifest.value_or(text::backup::Manifest{});
  }

  // Every file below the store whose name says it is a transfer that never ended.
  std::vector<fs::path> LeftoverParts() const {
    std::vector<fs::path> parts;
    for (const auto& entry : fs::recursive_directory_iterator(store))
      if (entry.path().filename().string().find(".part") != std::string::npos) parts.push_back(entry.path());
    return parts;
  }

  const fs::path work = fs::temp_directory_path() / ("talvo-fleet-" + std::to_string(::getpid()));
  const fs::path store = work / "store";
};

}  // namespace talvo::cli::test
