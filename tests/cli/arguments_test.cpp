// Command lines as scripts write them: every command with its arguments, and the mistakes
// that must stop before anything connects.
#include "cli/arguments.h"

#include <gtest/gtest.h>

#include "cli/errors.h"

namespace talvo::cli {
namespace {

using Args = std::vector<std::string>;

Invocation On(Command command, bool dnc = false) { return {"10.0.0.5", dnc, std::move(command)}; }
// The fleet commands take no --host of their own.
Invocation Fleet(Command command) { return {"", false, std::move(command)}; }

struct GoodLine {
  Args args;
  Invocation expected;
};

class GoodCommandLine : public testing::TestWithParam<GoodLine> {};

TEST_P(GoodCommandLine, ParsesIntoItsCommand) {
  EXPECT_EQ(ParseArguments(GetParam().args), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Commands, GoodCommandLine,
    testing::Values(
        GoodLine{{"--host", "10.0.0.5", "status"}, On(Status{})},
        GoodLine{{"status", "--dnc", "--host=10.0.0.5"}, On(Status{}, true)},
        GoodLine{{"--host", "10.0.0.5", "params", "1", "100"}, On(Params{1, 100})},
        GoodLine{{"--host", "10.0.0.5", "params", "1900", "100"}, On(Params{1900, 100})},
        GoodLine{{"--host", "10.0.0.5", "set-param", "12", "-5"}, On(SetParam{12, -5, {}})},
        GoodLine{{"--host", "10.0.0.5", "set-param", "12", "5", "--password", "secret"},
                 On(SetParam{12, 5, "secret"})},
        GoodLine{{"--host", "10.0.0.5", "ls", "C:\\NCFILES\\"}, On(List{"C:\\NCFILES\\"})},
        GoodLine{{"--host", "10.0.0.5", "get", "C:\\O1.NC", "o1.nc"},
                 On(Get{"C:\\O1.NC", "o1.nc"})},
        GoodLine{{"--host", "10.0.0.5", "put", "o1.nc", "C:\\O1.NC"},
                 On(Put{"o1.nc", "C:\\O1.NC", false})},
        GoodLine{{"--host", "10.0.0.5", "put", "--overwrite", "o1.nc", "C:\\O1.NC"},
                 On(Put{"o1.nc", "C:\\O1.NC", true})},
        GoodLine{{"--host", "10.0.0.5", "rm", "C:\\O1.NC"}, On(Remove{"C:\\O1.NC"})},
        GoodLine{{"--host", "10.0.0.5", "mv", "C:\\A.NC", "C:\\B.NC"},
                 On(Move{"C:\\A.NC", "C:\\B.NC"})},
        GoodLine{{"--host", "10.0.0.5", "mkdir", "C:\\NEW"}, On(MakeDir{"C:\\NEW"})},
        GoodLine{{"--host", "10.0.0.5", "rmdir", "C:\\NEW"}, On(RemoveDir{"C:\\NEW"})},
        GoodLine{{"--host", "10.0.0.5", "df", "C"}, On(DiskFree{2})},
        GoodLine{{"--host", "10.0.0.5", "df", "d:"}, On(DiskFree{3})},
        GoodLine{{"--host", "10.0.0.5", "df", "2"}, On(DiskFree{2})},
        GoodLine{{"--host", "10.0.0.5", "hw"}, On(Hardware{})},
        GoodLine{{"--host", "10.0.0.5", "version"}, On(Version{})},
        GoodLine{{"--host", "10.0.0.5", "msg", "tool change at 14:00"},
                 On(Message{"tool change at 14:00"})},
        // After "--" nothing is an option, so a message may start with dashes.
        GoodLine{{"--host", "10.0.0.5", "msg", "--", "--help me"}, On(Message{"--help me"})},
        GoodLine{{"--host", "10.0.0.5", "record", "/var/dr", "--count", "50"},
                 On(Record{"/var/dr", 50, kDefaultRecordSeconds})},
        GoodLine{{"--host", "10.0.0.5", "record", "/var/dr", "--count=3", "--seconds", "2"},
                 On(Record{"/var/dr", 3, 2})},
        GoodLine{{"--host", "10.0.0.5", "--dnc", "serve", "/srv/nc"}, On(Serve{"/srv/nc"}, true)},
        GoodLine{{"--host", "10.0.0.5", "serve", "nc"}, On(Serve{"nc"})},
        GoodLine{{"--host", "10.0.0.5", "router", "192.168.1.20"}, On(Relay{"192.168.1.20"})},
        GoodLine{{"--host", "10.0.0.5", "router", "::1"}, On(Relay{"::1"})},
        GoodLine{{"--host", "10.0.0.5", "adapter"},
                 On(Adapter{7878, std::chrono::milliseconds(100), ""})},
        GoodLine{{"--host", "10.0.0.5", "adapter", "--port", "0", "--interval=10", "--bind", "::1"},
                 On(Adapter{0, std::chrono::milliseconds(10), "::1"})},
        GoodLine{{"devices-xml"}, Fleet(DevicesXml{{}, 7878, false})},
        GoodLine{{"devices-xml", "--machines", "m.ini", "--port", "7900", "--agent-config"},
                 Fleet(DevicesXml{"m.ini", 7900, true})},
        GoodLine{{"backup", "--store", "/srv/store"}, Fleet(Backup{"/srv/store", 4, {}, {}})},
        GoodLine{{"backup", "10.0.7.11", "--store=/s", "--jobs", "8", "10.0.7.12", "--machines", "m.ini"},
                 Fleet(Backup{"/s", 8, "m.ini", {"10.0.7.11", "10.0.7.12"}})},
        GoodLine{{"verify", "/srv/store"}, Fleet(Verify{"/srv/store"})},
        GoodLine{{"diff", "old", "new"}, Fleet(Diff{{"old", ""}, {"new", ""}, false})},
        // A host takes the place where it stands: after the backup, the controller is "new".
        GoodLine{{"diff", "old", "--host", "10.0.7.11", "--json"},
                 Fleet(Diff{{"old", ""}, {"", "10.0.7.11"}, true})},
        GoodLine{{"diff", "--host=10.0.7.11", "new"}, Fleet(Diff{{"", "10.0.7.11"}, {"new", ""}, false})},
        GoodLine{{"--host", "10.0.7.11", "diff", "new"}, Fleet(Diff{{"", "10.0.7.11"}, {"new", ""}, false})}));

struct BadLine {
  Args args;
  std::string message;  // a part of the one-line error
};

class BadCommandLine : public testing::TestWithParam<BadLine> {};

TEST_P(BadCommandLine, IsAUsageErrorNamingTheMistake) {
  try {
    ParseArguments(GetParam().args);
    ADD_FAILURE() << "accepted";
  } catch (const Failure& failure) {
    EXPECT_EQ(failure.Status(), ExitStatus::kUsage);
    EXPECT_NE(std::string(failure.what()).find(GetParam().message), std::string::npos)
        << failure.what();
  }
}

INSTANTIATE_TEST_SUITE_P(
    Mistakes, BadCommandLine,
    testing::Values(
        BadLine{{}, "no command"},
        BadLine{{"status"}, "--host ADDR"},
        BadLine{{"status", "--host"}, "--host needs a value"},
        BadLine{{"--host", "", "status"}, "--host needs a value"},
        BadLine{{"--host", "a", "--host", "b", "status"}, "--host given twice"},
        BadLine{{"--host", "h", "frobnicate"}, "unknown command 'frobnicate'"},
        BadLine{{"--host", "h", "--verbose", "status"}, "unknown option --verbose"},
        BadLine{{"--host", "h", "status", "now"}, "wrong number of arguments"},
        BadLine{{"--host", "h", "ls"}, "usage: talvo-cli --host ADDR [--dnc] ls DIR"},
        BadLine{{"--host", "h", "ls", ""}, "DIR is empty"},
        BadLine{{"--host", "h", "ls", "C:", "--overwrite"}, "--overwrite does not apply to ls"},
        BadLine{{"--host", "h", "put", "a", "b", "--overwrite=yes"}, "--overwrite takes no value"},
        BadLine{{"--host", "h", "params", "0", "5"}, "FIRST must be a whole number from 1 to 1999"},
        BadLine{{"--host", "h", "params", "1990", "11"},
                "COUNT must be a whole number from 1 to 10"},
        BadLine{{"--host", "h", "params", "1", "5abc"}, "COUNT must be a whole number"},
        BadLine{{"--host", "h", "params", "+1", "5"}, "FIRST must be a whole number"},
        BadLine{{"--host", "h", "set-param", "40000", "1"},
                "N must be a whole number from 1 to 32767"},
        BadLine{{"--host", "h", "set-param", "12", "2147483648"}, "VALUE must be a whole number"},
        BadLine{{"--host", "h", "set-param", "12", "1", "--password", "12345678901"},
                "--password is longer than 10 characters"},
        BadLine{{"--host", "h", "df", "26"}, "DRIVE must be a letter"},
        BadLine{{"--host", "h", "df", "CD"}, "DRIVE must be a letter"},
        BadLine{{"--host", "h", "record", "/var/dr"}, "record needs --count"},
        BadLine{{"--host", "h", "record", "/var/dr", "--count", "0"},
                "--count must be a whole number"},
        BadLine{{"--host", "h", "record", "/var/dr", "--count", "1", "--seconds", "0"},
                "--seconds must be a whole number from 1 to 3600"},
        BadLine{{"--host", "h", "serve"}, "usage: talvo-cli --host ADDR [--dnc] serve ROOT"},
        BadLine{{"--host", "h", "router", "pc.local"},
                "LOCALADDR must be an IP address of this PC, not 'pc.local'"},
        BadLine{{"--host", "h", "--dnc", "router", "127.0.0.1"},
                "--dnc does not apply to router"},
        BadLine{{"--host", "h", "adapter", "--port", "65536"},
                "--port must be a whole number from 0 to 65535"},
        BadLine{{"--host", "h", "adapter", "--interval", "9"},
                "--interval must be a whole number from 10 to 60000"},
        BadLine{{"--host", "h", "--dnc", "adapter"}, "--dnc does not apply to adapter"},
        BadLine{{"--host", "h", "adapter", "--bind", "all"},
                "--bind must be an IP address of this PC, not 'all'"},
        BadLine{{"devices-xml", "--port", "0"}, "--port must be a whole number from 1 to 65535, not '0'"},
        BadLine{{"--host", "h", "devices-xml"}, "--host does not apply to devices-xml"},
        BadLine{{"--host", "h", "status", "--port", "1"}, "--port does not apply to status"},
        BadLine{{"backup", "10.0.7.11"},
                "backup needs --store; usage: talvo-cli backup --store DIR [--jobs N] "
                "[--machines FILE] [HOST...]"},
        BadLine{{"backup", "--store", "s", "--jobs", "0"}, "--jobs must be a whole number from 1 to 64"},
        BadLine{{"backup", "--store", "s", "--jobs", "65"}, "--jobs must be a whole number from 1 to 64"},
        BadLine{{"backup", "--store", "s", ""}, "HOST is empty"},
        BadLine{{"--host", "h", "backup", "--store", "s"}, "--host does not apply to backup"},
        BadLine{{"backup", "--store", "s", "--dnc"}, "--dnc does not apply to backup"},
        BadLine{{"--host", "h", "status", "--store", "s"}, "--store does not apply to status"},
        BadLine{{"verify"}, "usage: talvo-cli verify DIR"},
        BadLine{{"--host", "h", "verify", "s"}, "--host does not apply to verify"}));

TEST(Help, IsAskedForAnywhereBeforeTheEndOfOptions) {
  EXPECT_TRUE(WantsHelp({"--help"}));
  EXPECT_TRUE(WantsHelp({"--host", "h", "status", "--help"}));
  EXPECT_FALSE(WantsHelp({"--host", "h", "msg", "--", "--help"}));
  EXPECT_FALSE(WantsHelp({"--host", "h", "status"}));
}

TEST(Help, ShowsRequiredOptionsPlainAndOptionalOnesInBrackets) {
  const std::string usage = UsageText();
  EXPECT_NE(usage.find("  record DIR --count N [--seconds S]\n"), std::string::npos) << usage;
  EXPECT_NE(usage.find("  put LOCAL REMOTE [--overwrite]\n"), std::string::npos) << usage;
}

}  // namespace
}  // namespace talvo::cli
