// `talvo-cli backup` against several simulators at once, faults included.
#include <sys/resource.h>

#include <csignal>
#include <cstdlib>
#include <sstream>

#include "tests/cli/cli_process.h"
#include "tests/cli/fleet_support.h"
#include "tests/support/simulator.h"
#include "text/sha256.h"

namespace talvo::cli::test {
namespace {

using vandir::test::ReadBytes;
using vandir::test::Simulator;

const std::vector<std::string> kMillingFiles = {
    "CNC.LAD",    "CNC.L88",     "CNC.PAR",    "PLCIO.CFG",   "PARAM.BIN",  "PARAM.DEF",
    "XPNET.BAT",  "NETWORK.BAT", "GLOBAL6.DAT", "SRAM",       "CHI_MLC.ERR", "ENG_MLC.ERR",
    "USRCHI.STR", "USRENG.STR",  "GRAPH.DAT",  "CNCSYS.LOG",  "OPMSG.LOG",  "MMIBASE.INI",
    "DspE.str"};

std::vector<std::string> LatheFiles() {
  std::vector<std::string> names = kMillingFiles;
  const auto tools = std::find(names.begin(), names.end(), "GLOBAL6.DAT");
  names.insert(names.erase(tools), {"GREADY6.BIN", "GRUNH6.BIN", "GRUNL6.BIN"});
  return names;
}

// The simulator's own copy of a controller file, found as the controller finds it: without
// regard to letter case.
std::string ControllerBytes(const Simulator& sim, const std::string& controllerPath) {
  fs::path at = sim.Root() / "C";
  std::stringstream parts(controllerPath.substr(3));
  for (std::string part; std::getline(parts, part, '\\');) {
    const fs::path folder = at;
    for (const auto& entry : fs::directory_iterator(folder))
      if (strcasecmp(entry.path().filename().c_str(), part.c_str()) == 0) at = entry.path();
    if (at == folder) {
      ADD_FAILURE() << controllerPath << ": no " << part << " in " << folder;
      return {};
    }
  }
  return ReadBytes(at);
}

std::string Row(const std::string& table, const std::string& machine) {
  for (const std::string& line : Lines(table))
    if (line.starts_with(machine + "  ")) return line;
  return "no row for " + machine + " in\n" + table;
}

std::vector<std::string> Names(const text::backup::Manifest& manifest) {
  std::vector<std::string> names;
  for (const auto& file : manifest.files) names.push_back(file.name);
  return names;
}

class FleetBackup : public FleetStore {};

TEST_F(FleetBackup, StoresEachMachineInANewFolderWithAManifestOfEveryFile) {
  Simulator mill;
  Simulator lathe({.login = "502", .lathe = true, .extraArgs = {}});
  const fs::path list = work / "machines.ini";
  WriteMachineList(list, {{"Mill 7", mill.Address()}, {"Lathe/2", lathe.Address()}});
  const CliResult result = RunCli({"backup", "--store", store.string(), "--machines", list.string(), "--jobs", "2"});
  ASSERT_EQ(result.status, 0) << result.err;

  const struct {
    std::string folder, name;
    const Simulator& sim;
    std::vector<std::string> files;
    char type;  // the version text's fifth character
  } machines[] = {{"Mill 7", "Mill 7", mill, kMillingFiles, 'M'},
                  {"Lathe_2", "Lathe/2", lathe, LatheFiles(), 'T'}};
  for (const auto& m : machines) {
    SCOPED_TRACE(m.name);
    const auto backups = Backups(store / m.folder);
    ASSERT_EQ(backups.size(), 1u);
    const text::backup::Manifest manifest = ReadManifest(backups[0]);
    std::string stamp = manifest.started;
    std::erase_if(stamp, [](char c) { return c == '-' || c == ':'; });
    EXPECT_EQ(backups[0].filename(), stamp);
    EXPECT_EQ(manifest.machine, m.name);
    EXPECT_EQ(manifest.address, m.sim.Address());
    ASSERT_GE(manifest.version.size(), 5u);
    EXPECT_EQ(manifest.version[4] == 'M', m.type == 'M') << manifest.version;
    EXPECT_LE(manifest.started, manifest.ended);
    EXPECT_TRUE(manifest.Complete());
    EXPECT_EQ(Names(manifest), m.files);
    std::vector<std::string> inFolder;
    for (const auto& entry : fs::directory_iterator(backups[0])) inFolder.push_back(entry.path().filename());
    EXPECT_EQ(inFolder.size(), m.files.size() + 1) << "only the files and the manifest";
    for (const auto& file : manifest.files) {
      const std::string bytes = ReadBytes(backups[0] / file.name);
      EXPECT_EQ(bytes, ControllerBytes(m.sim, file.controller)) << file.name;
      EXPECT_EQ(file.size, bytes.size()) << file.name;
      EXPECT_EQ(file.sha256, text::Sha256Hex(bytes)) << file.name;
    }
    EXPECT_EQ(manifest.files[4].category, "parameters");
    EXPECT_EQ(manifest.files[4].controller, "C:\\MACHINE\\PARAM.BIN");
    EXPECT_EQ(manifest.files.back().category, "display-strings");
    EXPECT_EQ(manifest.files.back().controller, "C:\\resource\\DspE.str");
    EXPECT_NE(Row(result.out, m.name).find(std::to_string(m.files.size()) + "/" +
                                           std::to_string(m.files.size())),
              std::string::npos)
        << result.out;
    EXPECT_NE(Row(result.out, m.name).find("complete"), std::string::npos);
  }
  EXPECT_NE(result.err.find("Mill 7 (" + mill.Address() + "): PARAM.BIN 8004 bytes\n"), std::string::npos)
      << result.err;

  // The next backup goes into a folder of its own and leaves the first as it was.
  const fs::path first = Backups(store / "Mill 7")[0];
  const std::string firstManifest = ReadBytes(first / "manifest.json");
  const CliResult again = RunCli({"backup", "--store", store.string(), "--machines", list.string(), mill.Address()});
  ASSERT_EQ(again.status, 0) << again.err;
  ASSERT_EQ(Backups(store / "Mill 7").size(), 2u);
  EXPECT_EQ(Backups(store / "Mill 7")[0], first);
  EXPECT_EQ(ReadBytes(first / "manifest.json"), firstManifest);
  EXPECT_EQ(Backups(store / "Lathe_2").size(), 1u);
}

// Every fault hits one machine; the others are backed up whole around it.
TEST_F(FleetBackup, AFaultInOneMachineLeavesTheOthersWhole) {
  Simulator good, failing, dropping;
  Simulator refusing({.login = "503", .lathe = false, .extraArgs = {}});
  const std::string nobody = vandir::test::UniqueLoopbackAddress();
  failing.Command("fail-transfer 1 5");  // CNC.LAD, in the middle
  dropping.Command("drop-transfer 2");
  const CliResult result = RunCli({"backup", "--store", store.string(), good.Address(), failing.Address(),
                                   dropping.Address(), refusing.Address(), nobody});
  EXPECT_EQ(result.status, 6) << result.err;
  EXPECT_NE(result.err.find("talvo-cli: 4 of 5 machines not backed up completely\n"), std::string::npos)
      << result.err;

  EXPECT_NE(Row(result.out, good.Address()).find("19/19"), std::string::npos) << result.out;
  EXPECT_TRUE(ReadManifest(Backups(store / good.Address())[0]).Complete());

  const fs::path failed = Backups(store / failing.Address())[0];
  const text::backup::Manifest partial = ReadManifest(failed);
  EXPECT_FALSE(partial.Complete());
  EXPECT_EQ(partial.files[0].error, "controller error code 5");
  EXPECT_FALSE(fs::exists(failed / "CNC.LAD"));
  EXPECT_TRUE(partial.files[1].Fetched());
  EXPECT_NE(Row(result.out, failing.Address()).find("18/19"), std::string::npos) << result.out;
  EXPECT_NE(Row(result.out, failing.Address()).find("incomplete"), std::string::npos);
  EXPECT_NE(result.err.find(failing.Address() + ": CNC.LAD failed: controller error code 5\n"), std::string::npos);

  const text::backup::Manifest dropped = ReadManifest(Backups(store / dropping.Address())[0]);
  ASSERT_EQ(dropped.files.size(), 19u);
  EXPECT_FALSE(dropped.files[0].Fetched());
  for (std::size_t i = 1; i < dropped.files.size(); ++i)
    EXPECT_EQ(dropped.files[i].error, "not fetched: the connection was lost") << i;
  EXPECT_NE(result.err.find(dropping.Address() + ": 18 more files not fetched: the connection was lost"),
            std::string::npos);

  EXPECT_NE(result.err.find(refusing.Address() + ": unreachable: login refused (503)\n"), std::string::npos)
      << result.err;
  EXPECT_NE(result.err.find(nobody + ": unreachable: not connected\n"), std::string::npos);
  for (const std::string& address : {refusing.Address(), nobody}) {
    EXPECT_NE(Row(result.out, address).find("unreachable"), std::string::npos) << result.out;
    EXPECT_FALSE(fs::exists(store / address)) << "no folder for a machine never reached";
  }
  EXPECT_EQ(LeftoverParts(), std::vector<fs::path>{});
}

// A store folder the backup cannot write into, for one machine: that machine fails with the
// cause, the other is backed up.
TEST_F(FleetBackup, AStoreFolderThatCannotBeWrittenFailsOnlyItsMachine) {
  Simulator blocked, free;
  vandir::test::WriteBytes(store / blocked.Address(), "not a folder");
  const CliResult result = RunCli({"backup", "--store", store.string(), blocked.Address(), free.Address()});
  EXPECT_EQ(result.status, 6) << result.err;
  EXPECT_NE(result.err.find(blocked.Address() + ": cannot store the backup: " + (store / blocked.Address()).string()),
            std::string::npos)
      << result.err;
  EXPECT_NE(Row(result.out, blocked.Address()).find("failed"), std::string::npos) << result.out;
  EXPECT_EQ(ReadBytes(store / blocked.Address()), "not a folder");
  EXPECT_TRUE(ReadManifest(Backups(store / free.Address())[0]).Complete());
}

// A disk that fills up, as the file-size limit stands in for it: the files that do not fit
// are named in the manifest, none is left half written.
TEST_F(FleetBackup, FilesTheDiskCannotHoldAreNamedAndLeftOut) {
  Simulator sim;
  rlimit before{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &before), 0);
  rlimit limit = before;
  limit.rlim_cur = 30000;  // SRAM and the display strings are larger
  const auto handler = std::signal(SIGXFSZ, SIG_IGN);  // inherited by the child, as the limit
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
  const CliResult result = RunCli({"backup", "--store", store.string(), sim.Address()});
  setrlimit(RLIMIT_FSIZE, &before);
  std::signal(SIGXFSZ, handler);
  EXPECT_EQ(result.status, 6) << result.err;
  const fs::path folder = Backups(store / sim.Address())[0];
  const text::backup::Manifest manifest = ReadManifest(folder);
  std::vector<std::string> missing;
  for (const auto& file : manifest.files) {
    if (file.Fetched()) continue;
    missing.push_back(file.name);
    EXPECT_NE(file.error.find("could not be written"), std::string::npos) << file.error;
    EXPECT_FALSE(fs::exists(folder / file.name));
  }
  EXPECT_EQ(missing, (std::vector<std::string>{"SRAM", "DspE.str"}));
  EXPECT_EQ(LeftoverParts(), std::vector<fs::path>{});
}

// Without machines on the command line, the program's machine list is backed up; its names
// are in the code page of the program's language.
TEST_F(FleetBackup, BacksUpTheProgramsMachineList) {
  Simulator sim;
  WriteMachineList(work / "home" / "Talvo-Maintenance.ini", {{"\xA8\xAE\xA7\xC9", sim.Address()}, {"Spare", ""}},
                   "[OPTIONS]\r\nLANGUAGE=0\r\n");
  ASSERT_EQ(setenv("TALVO_HOME", (work / "home").c_str(), 1), 0);
  const CliResult result = RunCli({"backup", "--store", store.string()});
  unsetenv("TALVO_HOME");
  EXPECT_EQ(result.status, 6) << result.err;
  // Big5 for the Chinese word for lathe, as the program would have written it.
  ASSERT_EQ(Backups(store / "\xE8\xBB\x8A\xE5\xBA\x8A").size(), 1u) << result.err;
  EXPECT_EQ(ReadManifest(Backups(store / "\xE8\xBB\x8A\xE5\xBA\x8A")[0]).machine, "\xE8\xBB\x8A\xE5\xBA\x8A");
  EXPECT_NE(result.err.find("Spare: unreachable: no address in the machine list\n"), std::string::npos)
      << result.err;
  EXPECT_NE(Row(result.out, "Spare").find("unreachable"), std::string::npos) << result.out;
}

}  // namespace
}  // namespace talvo::cli::test
