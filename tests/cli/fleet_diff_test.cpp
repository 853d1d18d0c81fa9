// `talvo-cli diff` between real backups and a simulator whose files changed under them.
#include "tests/cli/cli_process.h"
#include "tests/cli/fleet_support.h"
#include "tests/support/simulator.h"
#include "text/json.h"

namespace talvo::cli::test {
namespace {

using vandir::test::ReadBytes;
using vandir::test::Simulator;
using vandir::test::WriteBytes;

class FleetDiff : public FleetStore {
 protected:
  FleetDiff() {
    const CliResult backup = RunCli({"backup", "--store", store.string(), sim.Address()});
    EXPECT_EQ(backup.status, 0) << backup.err;
    before = Backups(store / sim.Address()).at(0);
  }

  // What a maker does on the machine after the backup: parameter 12 from 444 to 1200, and a
  // ladder edit.
  void ChangeTheMachine() {
    const fs::path machine = sim.Root() / "C" / "MACHINE";
    std::string parameters = ReadBytes(machine / "PARAM.BIN");
    parameters.replace(4 * 12, 4, std::string("\xB0\x04\x00\x00", 4));
    WriteBytes(machine / "PARAM.BIN", parameters);
    WriteBytes(machine / "CNC.LAD", ReadBytes(machine / "CNC.LAD") + "rung");
  }

  std::vector<std::string> Changed(const std::string& text) {
    std::vector<std::string> lines;
    for (const std::string& line : Lines(text))
      if (!line.ends_with(": same")) lines.push_back(line);
    return lines;
  }

  Simulator sim;
  fs::path before;
};

TEST_F(FleetDiff, ShowsWhatChangedOnTheMachineSinceABackup) {
  const CliResult same = RunCli({"diff", before.string(), "--host", sim.Address()});
  EXPECT_EQ(same.status, 0) << same.err;
  EXPECT_EQ(Lines(same.out).back(), "19 files: 0 differ, 0 only in A, 0 only in B, 19 same");

  ChangeTheMachine();
  const CliResult result = RunCli({"diff", before.string(), "--host", sim.Address()});
  EXPECT_EQ(result.status, 1) << result.err;
  EXPECT_EQ(Changed(result.out),
            (std::vector<std::string>{"A: " + before.string(), "B: host " + sim.Address(), "CNC.LAD: differs",
                                      "PARAM.BIN: differs",
                                      "  parameter 0012 Axis 6 encoder pulses per motor revolution: 444 -> 1200",
                                      "19 files: 2 differ, 0 only in A, 0 only in B, 17 same"}));

  // The live side first: the change read the other way round.
  const CliResult reversed = RunCli({"diff", "--host", sim.Address(), before.string(), "--json"});
  EXPECT_EQ(reversed.status, 1) << reversed.err;
  std::string error;
  const auto json = text::json::Parse(reversed.out, &error);
  ASSERT_TRUE(json) << error << reversed.out;
  EXPECT_EQ(*json->Find("a")->String(), "host " + sim.Address());
  EXPECT_EQ(*json->Find("equal")->Boolean(), false);
  const text::json::Array& files = *json->Find("files")->Items();
  ASSERT_EQ(files.size(), 19u);
  EXPECT_EQ(*files[0].Find("name")->String(), "CNC.LAD");
  EXPECT_EQ(*files[0].Find("state")->String(), "differs");
  EXPECT_TRUE(files[0].Find("changes")->Items()->empty());
  const text::json::Value& parameters = files[4];
  EXPECT_EQ(*parameters.Find("name")->String(), "PARAM.BIN");
  ASSERT_EQ(parameters.Find("changes")->Items()->size(), 1u);
  const text::json::Value& change = (*parameters.Find("changes")->Items())[0];
  EXPECT_EQ(*change.Find("item")->String(), "parameter 0012");
  EXPECT_EQ(*change.Find("description")->String(), "Axis 6 encoder pulses per motor revolution");
  EXPECT_EQ(*change.Find("a")->String(), "1200");
  EXPECT_EQ(*change.Find("b")->String(), "444");
  EXPECT_EQ(*files[1].Find("state")->String(), "same");
}

TEST_F(FleetDiff, ComparesTwoBackups) {
  ChangeTheMachine();
  fs::remove(sim.Root() / "C" / "MACHINE" / "GRAPH.DAT");
  const CliResult backup = RunCli({"backup", "--store", store.string(), sim.Address()});
  EXPECT_EQ(backup.status, 6) << "GRAPH.DAT no longer comes";
  const fs::path after = Backups(store / sim.Address()).at(1);
  const CliResult result = RunCli({"diff", before.string(), after.string()});
  EXPECT_EQ(result.status, 1) << result.err;
  EXPECT_EQ(Changed(result.out),
            (std::vector<std::string>{"A: " + before.string(), "B: " + after.string(), "CNC.LAD: differs",
                                      "PARAM.BIN: differs",
                                      "  parameter 0012 Axis 6 encoder pulses per motor revolution: 444 -> 1200",
                                      "GRAPH.DAT: only in A",
                                      "19 files: 2 differ, 1 only in A, 0 only in B, 16 same"}));
  EXPECT_EQ(RunCli({"diff", after.string(), after.string()}).status, 0);

  // A folder of the program's Machine page: no manifest, perhaps the mark of a backup cut off.
  const fs::path page = work / "Machine";
  fs::copy(after, page);
  fs::remove(page / "manifest.json");
  WriteBytes(page / "BACKUP-INCOMPLETE.txt", "started 2026-12-10 15:30:00\r\nGRAPH.DAT\r\n");
  const CliResult marked = RunCli({"diff", after.string(), page.string()});
  EXPECT_EQ(marked.status, 0) << marked.out;
  EXPECT_EQ(marked.err, "talvo-cli: warning: " + page.string() + " holds an unfinished backup (BACKUP-INCOMPLETE.txt)\n");
}

// 1 says "they differ", so nothing else may answer 1.
TEST_F(FleetDiff, FailsWithStatusesOfItsOwn) {
  const CliResult usage = RunCli({"diff", before.string()});
  EXPECT_EQ(usage.status, 8);
  EXPECT_NE(usage.err.find("diff compares two sides"), std::string::npos) << usage.err;
  EXPECT_EQ(RunCli({"diff", "--frobnicate", before.string(), before.string()}).status, 8);
  EXPECT_EQ(RunCli({"diff", before.string(), before.string(), before.string()}).status, 8);

  const CliResult missing = RunCli({"diff", before.string(), (work / "nowhere").string()});
  EXPECT_EQ(missing.status, 4);
  EXPECT_EQ(missing.err, "talvo-cli: local file error: " + (work / "nowhere").string() + ": no such folder\n");

  const CliResult unreachable = RunCli({"diff", before.string(), "--host", vandir::test::UniqueLoopbackAddress()});
  EXPECT_EQ(unreachable.status, 2);
  EXPECT_EQ(unreachable.out, "");
  sim.Command("drop-transfer 1");
  const CliResult dropped = RunCli({"diff", before.string(), "--host", sim.Address()});
  EXPECT_EQ(dropped.status, 2) << dropped.err;
  EXPECT_NE(dropped.err.find(sim.Address() + ": CNC.LAD: "), std::string::npos) << dropped.err;

  fs::remove(before / "SRAM");
  EXPECT_EQ(RunCli({"diff", before.string(), before.string()}).status, 4) << "a backup that lost a file";
}

}  // namespace
}  // namespace talvo::cli::test
