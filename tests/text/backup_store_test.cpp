// What a backup folder is made of: its name, its manifest, and files that are there whole.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>

#include <chrono>
#include <filesystem>
#include <fstream>

#include "tests/support/file_bytes.h"
#include "text/backup/manifest.h"
#include "text/backup/store_names.h"
#include "text/durable_file.h"

namespace talvo::text::backup {
namespace {

namespace fs = std::filesystem;
using vandir::test::ReadBytes;

TEST(StoreNames, MakeAnyMachineNameAFolderName) {
  const struct {
    const char* name;
    const char* folder;
  } cases[] = {
      {"Mill 7", "Mill 7"},
      {"DMU 50/2", "DMU 50_2"},
      {"a\\b:c*d?e\"f<g>h|i", "a_b_c_d_e_f_g_h_i"},
      {"..", "10.0.7.11"},
      {" . ", "10.0.7.11"},
      {"", "10.0.7.11"},
      {"..\\..\\etc", "_.._etc"},
      {"tab\there", "tab_here"},
      {"  Lathe 2. ", "Lathe 2"},
      {"\xE8\xBB\x8A\xE5\xBA\x8A", "\xE8\xBB\x8A\xE5\xBA\x8A"},  // UTF-8 names stay
  };
  for (const auto& c : cases) EXPECT_EQ(SafeFolderName(c.name, "10.0.7.11"), c.folder) << c.name;
}

TEST(StoreNames, StampTheStartInUtc) {
  // 2026-12-10 15:30:00 UTC
  const SystemTime time{std::chrono::seconds(1796916600)};
  EXPECT_EQ(FolderStamp(time), "20261210T153000Z");
  EXPECT_EQ(IsoTime(time), "2026-12-10T15:30:00Z");
  for (const char* name : {"20261210T153000Z", "20261210T153000Z-2", "20261210T153000Z-17"})
    EXPECT_TRUE(IsFolderStamp(name)) << name;
  for (const char* name : {"20261210T153000", "20261210T153000Z-", "20261210T153000Zx",
                           "2026121OT153000Z", "Mill 7", "20261210_153000Z"})
    EXPECT_FALSE(IsFolderStamp(name)) << name;
}

Manifest SampleManifest() {
  return {"Mill \"7\"", "10.0.7.11", "V6.10M", "2026-12-10T15:30:00Z", "2026-12-10T15:30:04Z",
          {{"parameters", "C:\\MACHINE\\PARAM.BIN", "PARAM.BIN", 8004,
            "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855", ""},
           {"d-registers", "C:\\MACHINE\\SRAM", "SRAM", 0, "", "controller error code 2"}}};
}

TEST(Manifest, ReadsBackWhatItWrites) {
  const std::string json = ManifestJson(SampleManifest());
  EXPECT_NE(json.find("\"complete\": false"), std::string::npos) << json;
  std::string error;
  const auto read = ParseManifest(json, &error);
  ASSERT_TRUE(read) << error;
  EXPECT_EQ(read->machine, "Mill \"7\"");
  EXPECT_EQ(read->version, "V6.10M");
  EXPECT_EQ(read->ended, "2026-12-10T15:30:04Z");
  ASSERT_EQ(read->files.size(), 2u);
  EXPECT_EQ(read->files[0].controller, "C:\\MACHINE\\PARAM.BIN");
  EXPECT_EQ(read->files[0].size, 8004u);
  EXPECT_TRUE(read->files[0].Fetched());
  EXPECT_EQ(read->files[1].error, "controller error code 2");
  EXPECT_FALSE(read->Complete());
}

// A manifest is read from a folder anyone may have written into: a file entry must not lead
// verify or diff out of its folder, and a digest must be one.
TEST(Manifest, RefusesEntriesThatCannotBeTrusted) {
  const std::string good = ManifestJson(SampleManifest());
  const struct {
    const char* what;
    std::string from, to;
  } cases[] = {
      {"path in name", "\"name\": \"PARAM.BIN\"", "\"name\": \"../PARAM.BIN\""},
      {"dot dot", "\"name\": \"PARAM.BIN\"", "\"name\": \"..\""},
      {"short digest", "\"sha256\": \"e3b0", "\"sha256\": \""},
      {"upper-case digest", "\"sha256\": \"e3b0", "\"sha256\": \"E3B0"},
      {"negative size", "\"size\": 8004", "\"size\": -1"},
      {"size as text", "\"size\": 8004", "\"size\": \"8004\""},
      {"other format", "\"format\": 1", "\"format\": 2"},
      {"no files", "\"files\"", "\"filez\""},
  };
  for (const auto& c : cases) {
    std::string text = good;
    const auto at = text.find(c.from);
    ASSERT_NE(at, std::string::npos) << c.what;
    text.replace(at, c.from.size(), c.to);
    std::string error;
    EXPECT_FALSE(ParseManifest(text, &error)) << c.what;
    EXPECT_FALSE(error.empty()) << c.what;
  }
}

class DurableFile : public testing::Test {
 protected:
  DurableFile() { fs::create_directories(folder); }
  ~DurableFile() override { fs::remove_all(folder); }
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename());
    return names;
  }
  const fs::path folder = fs::temp_directory_path() / ("talvo-durable-" + std::to_string(::getpid()));
};

TEST_F(DurableFile, ReplacesTheOldFileWholeWithTheUsualPermissions) {
  std::ofstream(folder / "manifest.json") << "old";
  const mode_t mask = ::umask(022);
  EXPECT_EQ(WriteDurably(folder / "manifest.json", "new bytes"), "");
  ::umask(mask);
  EXPECT_EQ(ReadBytes(folder / "manifest.json"), "new bytes");
  EXPECT_EQ(Names(), std::vector<std::string>{"manifest.json"});
  EXPECT_EQ(fs::status(folder / "manifest.json").permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                fs::perms::others_read);
}

// A full disk, as the file-size limit stands in for it: the write fails, the old file stays
// and no temporary is left.
TEST_F(DurableFile, AFailedWriteNamesItsStepAndLeavesTheOldFile) {
  std::ofstream(folder / "manifest.json") << "old";
  rlimit before{};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &before), 0);
  rlimit small = before;
  small.rlim_cur = 8;
  const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  const std::string cause = WriteDurably(folder / "manifest.json", std::string(100, 'x'));
  ::setrlimit(RLIMIT_FSIZE, &before);
  std::signal(SIGXFSZ, oldHandler);
  EXPECT_EQ(cause, "write: File too large");
  EXPECT_EQ(ReadBytes(folder / "manifest.json"), "old");
  EXPECT_EQ(Names(), std::vector<std::string>{"manifest.json"});
}

// A rename that fails (here onto a folder of that name) takes its temporary with it.
TEST_F(DurableFile, AFailedRenameLeavesNoTemporary) {
  fs::create_directories(folder / "manifest.json" / "inside");
  EXPECT_EQ(WriteDurably(folder / "manifest.json", "new"), "rename: Is a directory");
  EXPECT_EQ(Names(), std::vector<std::string>{"manifest.json"});
  EXPECT_TRUE(fs::is_directory(folder / "manifest.json" / "inside"));
}

}  // namespace
}  // namespace talvo::text::backup
