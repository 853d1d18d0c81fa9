// A logged-in link with a local folder of its own beside the simulator's file area, for the
// tests of uploads, downloads and NC file commands.
#pragma once

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "link/transport.h"
#include "tests/e2e/link_fixture.h"
#include "tests/support/file_bytes.h"

namespace vandir::test {

inline std::string Bytes(std::size_t n, unsigned seed = 1) {
  std::mt19937 random(seed);
  std::string text(n, '\0');
  for (auto& c : text) c = static_cast<char>(random());
  return text;
}

class Files : public LinkTest {
 protected:
  void SetUp() override {
    // A parameterised test's name holds a '/': one folder per test all the same.
    std::string test = testing::UnitTest::GetInstance()->current_test_info()->name();
    std::replace(test.begin(), test.end(), '/', '-');
    local = std::filesystem::temp_directory_path() /
            ("files-" + std::to_string(getpid()) + "-" + test);
    std::filesystem::create_directories(local);
    sim.Command("cycle off");
    ConnectAndLogin();
  }
  void TearDown() override { std::filesystem::remove_all(local); }

  bool AwaitUpload() {
    return WaitUntil([&] { return !link.SendCMD->Sending; }, std::chrono::seconds(20));
  }
  bool AwaitDownload() {
    return WaitUntil([&] { return !link.SendCMD->Receiving; }, std::chrono::seconds(20));
  }
  // The commands of the simulator's log with this code (all of them for 0), in order.
  std::vector<int> Commands(int code) {
    std::vector<int> found;
    for (const auto& [command, index] : sim.Log())
      if (command == code || code == 0) found.push_back(command);
    return found;
  }
  std::filesystem::path Remote(const std::string& name) {
    return sim.Root() / "C" / "NCFILES" / name;
  }
  // What the local folder holds: a download's leftovers show here.
  std::vector<std::string> LocalNames() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(local))
      names.push_back(entry.path().filename().string());
    return names;
  }
  int Percent() const { return link.SendCMD->SendPercent; }

  std::filesystem::path local;
};

}  // namespace vandir::test
