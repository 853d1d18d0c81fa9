// talvo-cli run as a cron job would run it, against the simulator over real TCP: exit
// statuses, the one-line errors and the documented report keys.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

#include "tests/cli/cli_process.h"
#include "tests/support/simulator.h"

namespace talvo::cli::test {
namespace {

using vandir::test::Simulator;
using vandir::test::UniqueLoopbackAddress;

Simulator::Options LoginAs(std::string level) {
  Simulator::Options options;
  options.login = std::move(level);
  return options;
}

std::vector<std::string> Keys(const std::string& report) {
  std::vector<std::string> keys;
  for (const std::string& line : Lines(report)) keys.push_back(line.substr(0, line.find('=')));
  return keys;
}

std::string Value(const std::string& report, const std::string& key) {
  for (const std::string& line : Lines(report))
    if (line.starts_with(key + "=")) return line.substr(key.size() + 1);
  ADD_FAILURE() << "no " << key << " in\n" << report;
  return "";
}

bool IsNumberList(const std::string& text, std::size_t count) {
  std::string pattern = "-?[0-9]+";
  for (std::size_t i = 1; i < count; ++i) pattern += " -?[0-9]+";
  return std::regex_match(text, std::regex(pattern));
}

class Cli : public testing::Test {
 protected:
  explicit Cli(Simulator::Options options = {}) : sim(std::move(options)) {}
  CliResult Run(std::vector<std::string> args) {
    args.insert(args.begin(), {"--host", sim.Address()});
    return RunCli(args);
  }
  Simulator sim;
};

TEST(CliConnection, NoControllerListeningIsNotConnected) {
  const CliResult result = RunCli({"--host", UniqueLoopbackAddress(), "status"});
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(result.err, "talvo-cli: not connected\n");
  EXPECT_EQ(result.out, "");
}

class CliRefusedLogin : public testing::TestWithParam<std::string> {};

TEST_P(CliRefusedLogin, NamesTheControllersAnswer) {
  Simulator sim(LoginAs(GetParam()));
  const CliResult result = RunCli({"--host", sim.Address(), "status"});
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(result.err, "talvo-cli: login refused (" + GetParam() + ")\n");
  EXPECT_EQ(result.out, "");
}

INSTANTIATE_TEST_SUITE_P(Levels, CliRefusedLogin, testing::Values("500", "503"));

TEST(CliConnection, AHandshakeThatNeverComesTimesOut) {
  Simulator sim;
  sim.Command("stall 20000");
  const CliResult result = RunCli({"--host", sim.Address(), "status"});
  sim.Command("stall 0");
  EXPECT_EQ(result.status, 5);
  EXPECT_EQ(result.err, "talvo-cli: timed out waiting for the login\n");
}

TEST(CliConnection, AConnectionLostMidCommandIsNotConnected) {
  Simulator sim;
  sim.Command("drop-after 1");  // the handshake, then nothing
  const CliResult result = RunCli({"--host", sim.Address(), "status"});
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(result.err, "talvo-cli: not connected\n");
}

TEST_F(Cli, UsageErrorsNeverConnect) {
  const CliResult result = Run({"params", "0", "10"});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(Lines(result.err).size(), 1u) << result.err;
  EXPECT_EQ(sim.Stats()["connections"], 0);
}

TEST(CliUsage, HelpListsTheCommandsWithoutAController) {
  const CliResult result = RunCli({"--help"});
  EXPECT_EQ(result.status, 0);
  EXPECT_TRUE(result.out.starts_with("usage: talvo-cli --host ADDR [--dnc] COMMAND [ARGS]"));
}

TEST_F(Cli, StatusPrintsEveryKeyInItsDocumentedOrder) {
  const CliResult result = Run({"status"});
  ASSERT_EQ(result.status, 0) << result.err;
  const std::vector<std::string> keys = {
      "mode", "status", "main_program", "current_program",
      "feed_command", "feed_actual", "feed_override",
      "spindle1_command", "spindle1_actual", "spindle1_override",
      "spindle2_command", "spindle2_actual", "spindle2_override",
      "spindle3_command", "spindle3_actual", "spindle3_override",
      "g_codes", "h_code", "m0_code", "m1_code", "m2_code", "t_code", "p_code", "q_code",
      "r_code", "n_code", "block_line", "parts_required", "parts_current",
      "work_time_current_ms", "work_time_total_ms",
      "machine_pos", "absolute_pos", "relative_pos", "distance_to_go", "alarms", "warnings"};
  EXPECT_EQ(Keys(result.out), keys);
  EXPECT_TRUE(IsNumberList(Value(result.out, "g_codes"), 19));
  for (const char* position : {"machine_pos", "absolute_pos", "relative_pos", "distance_to_go"})
    EXPECT_TRUE(IsNumberList(Value(result.out, position), 6)) << position;
  EXPECT_EQ(result.err, "");
}

TEST_F(Cli, StatusPrintsOverridesInPercent) {
  sim.Command("set feed-override 50.5");
  sim.Command("set spindle3-override 120");
  const CliResult result = Run({"status"});
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(Value(result.out, "feed_override"), "50.5");
  EXPECT_EQ(Value(result.out, "spindle3_override"), "120");
}

TEST_F(Cli, StatusOverTheDncPortWorksAlike) {
  const CliResult result = Run({"--dnc", "status"});
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_NE(result.out.find("\nmachine_pos="), std::string::npos);
}

TEST_F(Cli, ParamsPrintsOneNumberedLinePerParameterAcrossSlices) {
  const CliResult result = Run({"params", "1", "150"});
  ASSERT_EQ(result.status, 0) << result.err;
  const std::vector<std::string> lines = Lines(result.out);
  ASSERT_EQ(lines.size(), 150u);
  for (int i = 0; i < 150; ++i)
    EXPECT_TRUE(std::regex_match(lines[i], std::regex(std::to_string(i + 1) + "=-?[0-9]+")))
        << lines[i];
}

struct ReportCase {
  std::vector<std::string> args;
  std::vector<std::string> keys;
};

class CliReport : public Cli, public testing::WithParamInterface<ReportCase> {};

TEST_P(CliReport, PrintsItsKeys) {
  const CliResult result = Run(GetParam().args);
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(Keys(result.out), GetParam().keys);
}

std::vector<std::string> HardwareKeys() {
  std::vector<std::string> keys;
  for (const char* group :
       {"remote_io_set", "encoder_fault_axis", "home_switch_axis", "index_axis"})
    for (int i = 1; i <= 6; ++i) keys.push_back(group + std::to_string(i));
  keys.insert(keys.end(), {"card_model", "extra_flags", "second_cf_card", "ram_disk_present",
                           "ram_disk_sound"});
  return keys;
}

INSTANTIATE_TEST_SUITE_P(
    Commands, CliReport,
    testing::Values(
        ReportCase{{"version"}, {"software", "nc_root_path", "nc_machine_path", "nc_files_path"}},
        ReportCase{{"hw"}, HardwareKeys()},
        ReportCase{{"df", "C"},
                   {"drive", "total_bytes", "free_bytes", "total_clusters", "available_clusters",
                    "sectors_per_cluster", "bytes_per_sector"}}));

TEST_F(Cli, WritesSucceedSilently) {
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"set-param", "12", "5"}, {"msg", "tool change at 14:00"}}) {
    const CliResult result = Run(args);
    EXPECT_EQ(result.status, 0) << args[0] << ": " << result.err;
    EXPECT_EQ(result.out + result.err, "") << args[0];
  }
}

TEST_F(Cli, AtLimitedLoginAWriteIsRefusedWithoutAskingTheController) {
  sim.Command("login 501");
  const CliResult result = Run({"set-param", "12", "5"});
  EXPECT_EQ(result.status, 3);
  EXPECT_EQ(result.err, "talvo-cli: refused: this login level gives no right to write\n");
}

TEST_F(Cli, RecordReportsHowManyRecordsItWrote) {
  const std::filesystem::path folder = sim.Root() / "records";
  std::filesystem::create_directory(folder);
  const CliResult result = Run({"record", folder.string(), "--count", "2", "--seconds", "1"});
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_TRUE(std::regex_match(result.out, std::regex("recorded=[0-2]\n"))) << result.out;
}

// Local files are checked before the controller is bothered.
struct LocalFileCase {
  std::vector<std::string> args;
  std::string error;
};

class CliLocalFile : public Cli, public testing::WithParamInterface<LocalFileCase> {};

TEST_P(CliLocalFile, IsALocalFileError) {
  const CliResult result = Run(GetParam().args);
  EXPECT_EQ(result.status, 4);
  EXPECT_EQ(result.err, "talvo-cli: local file error: " + GetParam().error + "\n");
}

INSTANTIATE_TEST_SUITE_P(
    Missing, CliLocalFile,
    testing::Values(
        LocalFileCase{{"put", "/nonexistent/o1.nc", "C:\\O1.NC"},
                      "/nonexistent/o1.nc: no such file"},
        LocalFileCase{{"get", "C:\\O1.NC", "/nonexistent/o1.nc"},
                      "/nonexistent/o1.nc: cannot be created"},
        LocalFileCase{{"record", "/nonexistent", "--count", "1"}, "/nonexistent: no such folder"}));

}  // namespace
}  // namespace talvo::cli::test
