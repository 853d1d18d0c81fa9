// The file commands against the simulator's controller file system, where the folder
// DIR/C/... of the simulator is C:\... on the controller.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <set>

#include "service/backup_marker.h"
#include "tests/cli/cli_process.h"
#include "tests/support/file_bytes.h"
#include "tests/support/simulator.h"

namespace talvo::cli::test {
namespace {

using vandir::test::EveryByteValue;
using vandir::test::ReadBytes;
using vandir::test::WriteBytes;

namespace fs = std::filesystem;

class CliFiles : public testing::Test {
 protected:
  CliFiles() {
    fs::create_directories(ncFiles);
    fs::create_directories(local);
  }
  ~CliFiles() override { fs::remove_all(local); }

  CliResult Run(std::vector<std::string> args) {
    args.insert(args.begin(), {"--host", sim.Address()});
    return RunCli(args);
  }

  vandir::test::Simulator sim;
  const fs::path ncFiles = sim.Root() / "C" / "NCFILES";
  const fs::path local = sim.Root().string() + "-local";
};

TEST_F(CliFiles, ListsFilesAndFoldersOneLineEach) {
  WriteBytes(ncFiles / "O1000.NC", "%\nG0X0\n%\n");
  fs::create_directory(ncFiles / "SUB");
  const CliResult result = Run({"ls", "C:\\NCFILES"});
  ASSERT_EQ(result.status, 0) << result.err;
  const std::set<std::string> lines = [&] {
    const auto all = Lines(result.out);
    return std::set<std::string>(all.begin(), all.end());
  }();
  ASSERT_EQ(lines.size(), 2u) << result.out;
  const std::string stamp = "[0-9]{4}-[0-9]{2}-[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2}";
  EXPECT_TRUE(std::regex_match(*lines.begin(), std::regex(stamp + "           9  O1000.NC")))
      << *lines.begin();
  EXPECT_TRUE(std::regex_match(*lines.rbegin(), std::regex(stamp + "       <DIR>  SUB")))
      << *lines.rbegin();
}

TEST_F(CliFiles, ListsAFolderThatTakesSeveralReplies) {
  for (int i = 0; i < 25; ++i) WriteBytes(ncFiles / ("O" + std::to_string(2000 + i) + ".NC"), "%");
  const CliResult result = Run({"ls", "C:\\NCFILES"});
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(Lines(result.out).size(), 25u);
}

TEST_F(CliFiles, AListingThatNeverReachesItsTotalIsGivenUp) {
  WriteBytes(ncFiles / "O1.NC", "%");
  sim.Command("endless-listing");
  const CliResult result = Run({"ls", "C:\\NCFILES"});
  EXPECT_EQ(result.status, 3) << result.err;
  EXPECT_EQ(result.err,
            "talvo-cli: the controller never completed the listing of 'C:\\NCFILES' (1 of 1001 entries)\n");
  EXPECT_EQ(result.out, "");
}

TEST_F(CliFiles, ListsAnEmptyFolderAsNothing) {
  const CliResult result = Run({"ls", "C:\\NCFILES"});
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out, "");
}

TEST_F(CliFiles, PutThenGetGivesBackTheSameBytes) {
  const std::string program = EveryByteValue(1000);
  WriteBytes(local / "o3000.nc", program);
  const CliResult put = Run({"put", (local / "o3000.nc").string(), "C:\\NCFILES\\O3000.NC"});
  ASSERT_EQ(put.status, 0) << put.err;
  EXPECT_EQ(ReadBytes(ncFiles / "O3000.NC"), program);
  const CliResult get = Run({"get", "C:\\NCFILES\\O3000.NC", (local / "back.nc").string()});
  ASSERT_EQ(get.status, 0) << get.err;
  EXPECT_EQ(ReadBytes(local / "back.nc"), program);
  // No terminal, no progress bar.
  EXPECT_EQ(put.out + put.err + get.out + get.err, "");
}

TEST_F(CliFiles, PutReplacesAnExistingFileOnlyWithOverwrite) {
  WriteBytes(ncFiles / "O4000.NC", "old");
  WriteBytes(local / "o4000.nc", "new");
  const std::vector<std::string> put = {"put", (local / "o4000.nc").string(),
                                        "C:\\NCFILES\\O4000.NC"};
  const CliResult refused = Run(put);
  EXPECT_EQ(refused.status, 3);
  EXPECT_NE(refused.err.find("--overwrite"), std::string::npos) << refused.err;
  EXPECT_EQ(ReadBytes(ncFiles / "O4000.NC"), "old");

  std::vector<std::string> overwrite = put;
  overwrite.push_back("--overwrite");
  EXPECT_EQ(Run(overwrite).status, 0);
  EXPECT_EQ(ReadBytes(ncFiles / "O4000.NC"), "new");
}

TEST_F(CliFiles, AFolderAnUnfinishedBackupMarkedIsNamedAndItsMissedFilesAreNotSent) {
  WriteBytes(local / "cnc.lad", "an older ladder");  // the mark names files as the controller does
  WriteBytes(local / "PLCIO.CFG", "fetched whole");
  WriteBytes(ncFiles / "O1.NC", "o1");
  ASSERT_EQ(WriteBackupMarker(local, {"2025-03-01 08:00:00", {"CNC.LAD", "CNC.L88"}}), "");
  const std::string marked = local.string() + " holds an unfinished backup (BACKUP-INCOMPLETE.txt, "
                                              "started 2025-03-01 08:00:00; not fetched: CNC.LAD CNC.L88)";

  const CliResult stale = Run({"put", (local / "cnc.lad").string(), "C:\\NCFILES\\CNC.LAD"});
  EXPECT_EQ(stale.status, 4) << stale.err;
  EXPECT_EQ(stale.err, "talvo-cli: local file error: " + (local / "cnc.lad").string() +
                           " was not fetched: " + marked +
                           "; remove the mark only if this copy is the one to send\n");
  EXPECT_FALSE(fs::exists(ncFiles / "CNC.LAD"));

  const CliResult fresh = Run({"put", (local / "PLCIO.CFG").string(), "C:\\NCFILES\\PLCIO.CFG"});
  EXPECT_EQ(fresh.status, 0) << fresh.err;
  EXPECT_EQ(fresh.err, "talvo-cli: warning: " + marked + "\n");
  EXPECT_EQ(ReadBytes(ncFiles / "PLCIO.CFG"), "fetched whole");

  const CliResult into = Run({"get", "C:\\NCFILES\\O1.NC", (local / "O1.NC").string()});
  EXPECT_EQ(into.status, 0) << into.err;
  EXPECT_EQ(into.err, "talvo-cli: warning: " + marked + "; this file alone does not complete it\n");
  EXPECT_EQ(ReadBytes(local / "O1.NC"), "o1");
}

TEST_F(CliFiles, GetOfAMissingFileKeepsTheLocalOne) {
  WriteBytes(local / "keep.nc", "mine");
  const CliResult result = Run({"get", "C:\\NCFILES\\NONE.NC", (local / "keep.nc").string()});
  EXPECT_EQ(result.status, 3);
  EXPECT_TRUE(result.err.starts_with("talvo-cli: controller error code ")) << result.err;
  EXPECT_EQ(ReadBytes(local / "keep.nc"), "mine");
}

TEST_F(CliFiles, FileCommandsChangeTheControllersFolders) {
  WriteBytes(ncFiles / "A.NC", "%");
  ASSERT_EQ(Run({"mkdir", "C:\\NCFILES\\NEW"}).status, 0);
  EXPECT_TRUE(fs::is_directory(ncFiles / "NEW"));
  ASSERT_EQ(Run({"mv", "C:\\NCFILES\\A.NC", "C:\\NCFILES\\B.NC"}).status, 0);
  EXPECT_FALSE(fs::exists(ncFiles / "A.NC"));
  EXPECT_TRUE(fs::exists(ncFiles / "B.NC"));
  ASSERT_EQ(Run({"rm", "C:\\NCFILES\\B.NC"}).status, 0);
  EXPECT_FALSE(fs::exists(ncFiles / "B.NC"));
  ASSERT_EQ(Run({"rmdir", "C:\\NCFILES\\NEW"}).status, 0);
  EXPECT_FALSE(fs::exists(ncFiles / "NEW"));
}

TEST_F(CliFiles, CommandsOnMissingNamesAreControllerErrors) {
  const std::vector<std::vector<std::string>> commands = {
      {"rm", "C:\\NCFILES\\NONE.NC"},
      {"mv", "C:\\NCFILES\\NONE.NC", "C:\\NCFILES\\X.NC"},
      {"rmdir", "C:\\NCFILES\\NONE"}};
  for (const auto& command : commands) {
    SCOPED_TRACE(command[0]);
    const CliResult result = Run(command);
    EXPECT_EQ(result.status, 3);
    EXPECT_TRUE(result.err.starts_with("talvo-cli: controller error code ")) << result.err;
  }
}

TEST_F(CliFiles, ListingAMissingFolderIsRefused) {
  const CliResult result = Run({"ls", "C:\\NONE"});
  EXPECT_EQ(result.status, 3) << result.err;
  EXPECT_EQ(result.out, "");
}

}  // namespace
}  // namespace talvo::cli::test
