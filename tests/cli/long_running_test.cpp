// serve and router as a shop would leave them running: started, driven by the simulator's
// controller side, then stopped by a signal.
#include <gtest/gtest.h>
#include <signal.h>

#include <filesystem>
#include <regex>

#include "tests/cli/cli_process.h"
#include "tests/support/file_bytes.h"
#include "tests/support/simulator.h"

namespace talvo::cli::test {
namespace {

using vandir::test::EveryByteValue;
using vandir::test::ReadBytes;
using vandir::test::WriteBytes;

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using vandir::test::Simulator;
using vandir::test::UniqueLoopbackAddress;
using vandir::test::WaitUntil;

class CliServe : public testing::Test {
 protected:
  CliServe() { fs::create_directories(root); }
  ~CliServe() override { fs::remove_all(root); }

  // Starts serving and waits for the line that says it serves.
  std::unique_ptr<CliProcess> Serve() {
    auto cli = std::make_unique<CliProcess>(
        std::vector<std::string>{"--host", sim.Address(), "--dnc", "serve", root.string()});
    EXPECT_EQ(cli->ReadLine(), "serving=" + root.string() + "/");
    return cli;
  }
  bool ChannelHeld(bool held) {
    const std::string wanted = held ? "ok connected=1" : "ok connected=0";
    return WaitUntil([&] { return sim.Command("dnc").starts_with(wanted); });
  }
  std::vector<fs::path> RecordFiles() const {
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(root))
      if (std::regex_match(entry.path().filename().string(), std::regex(R"(\d{14})")))
        files.push_back(entry.path());
    return files;
  }

  Simulator sim;
  const fs::path root = sim.Root().string() + "-pc";
};

TEST_F(CliServe, ServesTheFolderAndRecordsUntilInterrupted) {
  const std::string program = EveryByteValue(2000);
  WriteBytes(root / "P1.NC", program);
  const std::string upload = EveryByteValue(500);
  WriteBytes(sim.Root() / "C" / "NCFILES" / "UP.NC", upload);
  auto cli = Serve();

  EXPECT_EQ(sim.Command("dnc root"), "ok \"" + root.string() + "/\"");
  EXPECT_TRUE(sim.Command("dnc run P1.NC").starts_with("ok size=2000 pieces=5 "));
  EXPECT_EQ(ReadBytes(sim.Root() / "C" / "DNCRUN" / "P1.NC"), program);
  EXPECT_EQ(sim.Command("dnc send C:\\NCFILES\\UP.NC UP.NC"), "ok bytes=500 pieces=3");
  EXPECT_EQ(ReadBytes(root / "UP.NC"), upload);
  EXPECT_EQ(sim.Command("dnc record 2"), "ok records=2");
  EXPECT_TRUE(WaitUntil([&] {
    const auto files = RecordFiles();
    return files.size() == 1 && Lines(ReadBytes(files[0])).size() == 4;  // header, rule, 2
  }));

  const CliResult result = cli->Stop(SIGINT);
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(result.out, "serving=" + root.string() + "/\n");
  EXPECT_TRUE(ChannelHeld(false));
  EXPECT_EQ(sim.Stats()["logouts"], 1);
}

TEST_F(CliServe, TakesTheChannelUpAgainWhenTheControllerDropsIt) {
  auto cli = Serve();
  for (int drop = 0; drop < 2; ++drop) {
    sim.Command("dnc drop");
    ASSERT_TRUE(ChannelHeld(true));
    EXPECT_EQ(sim.Command("dnc root"), "ok \"" + root.string() + "/\"");
  }
  EXPECT_EQ(cli->Stop(SIGTERM).status, 0);
}

TEST_F(CliServe, ALostConnectionEndsItAsNotConnected) {
  auto cli = Serve();
  sim.Command("drop");
  EXPECT_EQ(cli->ReadLine(5s), std::nullopt);  // its output ends when it exits
  const CliResult result = cli->Stop(SIGINT);
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(result.err, "talvo-cli: not connected\n");
}

TEST_F(CliServe, AMissingFolderIsRefusedBeforeConnecting) {
  const std::string missing = (root / "missing").string();
  const CliResult result = RunCli({"--host", sim.Address(), "serve", missing});
  EXPECT_EQ(result.status, 4);
  EXPECT_EQ(result.err, "talvo-cli: local file error: " + missing + ": no such folder\n");
  EXPECT_EQ(sim.Stats()["connections"], 0);
}

TEST(CliRouter, RelaysClientsOneAfterAnotherUntilInterrupted) {
  Simulator sim;
  sim.Command("cycle off");
  sim.Command("set mode 3");
  const std::string local = UniqueLoopbackAddress();
  CliProcess router({"--host", sim.Address(), "router", local});
  ASSERT_EQ(router.ReadLine(), "relaying=" + local);
  for (int client = 0; client < 2; ++client) {
    // The router takes the next client once it has seen the last one leave.
    CliResult status;
    EXPECT_TRUE(WaitUntil([&] {
      status = RunCli({"--host", local, "status"});
      return status.status == 0;
    })) << status.err;
    EXPECT_EQ(Lines(status.out).at(0), "mode=3");
  }
  EXPECT_EQ(sim.Stats()["handshakes"], 2);  // the router has no session of its own

  const CliResult result = router.Stop(SIGINT);
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.err, "");
  const CliResult after = RunCli({"--host", local, "status"});
  EXPECT_EQ(after.status, 2);
}

TEST(CliRouter, AnAddressOfAnotherMachineIsNoConnection) {
  Simulator sim;
  const CliResult result = RunCli({"--host", sim.Address(), "router", "192.0.2.1"});
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(result.err, "talvo-cli: cannot listen on 192.0.2.1 port 1888\n");
  EXPECT_EQ(result.out, "");
}

}  // namespace
}  // namespace talvo::cli::test
