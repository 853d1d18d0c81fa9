// `talvo-cli verify` on a store that real backups filled, then damaged.
#include "tests/cli/cli_process.h"
#include "tests/cli/fleet_support.h"
#include "tests/support/simulator.h"

namespace talvo::cli::test {
namespace {

using vandir::test::ReadBytes;
using vandir::test::Simulator;
using vandir::test::WriteBytes;

class FleetVerify : public FleetStore {
 protected:
  FleetVerify() {
    failing.Command("fail-file 2");  // its first file does not come: an incomplete backup
    // Named, so that the backups list in a known order.
    WriteMachineList(work / "machines.ini", {{"A", whole.Address()}, {"B", failing.Address()}});
    const CliResult backup =
        RunCli({"backup", "--store", store.string(), "--machines", (work / "machines.ini").string()});
    EXPECT_EQ(backup.status, 6) << backup.err;
    wholeBackup = Backups(store / "A").at(0);
    partBackup = Backups(store / "B").at(0);
  }

  Simulator whole, failing;
  fs::path wholeBackup, partBackup;
};

TEST_F(FleetVerify, FindsAChangedAndAMissingFile) {
  CliResult result = RunCli({"verify", store.string()});
  EXPECT_EQ(result.status, 0) << result.out << result.err;
  EXPECT_EQ(Lines(result.out),
            (std::vector<std::string>{"ok          " + wholeBackup.string(),
                                      "ok          " + partBackup.string() + " (incomplete)",
                                      "2 backups, 37 files: 0 missing, 0 changed, 0 backups without a "
                                      "readable manifest"}));

  // One byte changed, the size the same: only the digest can tell.
  std::string parameters = ReadBytes(wholeBackup / "PARAM.BIN");
  parameters[100] ^= 1;
  WriteBytes(wholeBackup / "PARAM.BIN", parameters);
  fs::remove(partBackup / "SRAM");
  result = RunCli({"verify", store.string()});
  EXPECT_EQ(result.status, 7);
  EXPECT_EQ(Lines(result.out),
            (std::vector<std::string>{"changed     " + (wholeBackup / "PARAM.BIN").string(),
                                      "missing     " + (partBackup / "SRAM").string(),
                                      "2 backups, 37 files: 1 missing, 1 changed, 0 backups without a "
                                      "readable manifest"}));

  // One backup alone.
  result = RunCli({"verify", partBackup.string()});
  EXPECT_EQ(result.status, 7);
  EXPECT_EQ(Lines(result.out).front(), "missing     " + (partBackup / "SRAM").string());
}

TEST_F(FleetVerify, ReportsBackupsWithoutAManifestItCanTrust) {
  WriteBytes(partBackup / "manifest.json", "{\"format\": 1, \"files\": [");
  fs::create_directories(store / "A" / "20261210T153000Z");  // a backup cut off
  const CliResult result = RunCli({"verify", store.string()});
  EXPECT_EQ(result.status, 7);
  EXPECT_EQ(Lines(result.out),
            (std::vector<std::string>{
                "ok          " + wholeBackup.string(),
                "unreadable  " + (partBackup / "manifest.json").string() + ": a value missing at byte 24",
                "unfinished  " + (store / "A" / "20261210T153000Z").string() + ": no manifest.json",
                "3 backups, 19 files: 0 missing, 0 changed, 2 backups without a readable manifest"}));

  fs::create_directories(work / "empty");
  const CliResult empty = RunCli({"verify", (work / "empty").string()});
  EXPECT_EQ(empty.status, 7);
  EXPECT_EQ(empty.out, "no backups below " + (work / "empty").string() + "\n");
  const CliResult missing = RunCli({"verify", (work / "nowhere").string()});
  EXPECT_EQ(missing.status, 4);
  EXPECT_EQ(missing.err, "talvo-cli: local file error: " + (work / "nowhere").string() + ": no such folder\n");
}

}  // namespace
}  // namespace talvo::cli::test
