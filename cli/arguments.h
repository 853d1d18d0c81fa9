// The command line: `talvo-cli --host ADDR [--dnc] COMMAND [ARGS]`, or a fleet command
// (`talvo-cli backup ...`), checked completely before anything connects, so a typo in a cron
// job never reaches a machine.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace talvo::cli {

// One type per command, holding its checked arguments.
struct Status {
  bool operator==(const Status&) const = default;
};
struct Params {
  int first = 0;
  int count = 0;
  bool operator==(const Params&) const = default;
};
struct SetParam {
  std::int16_t number = 0;
  std::int32_t value = 0;
  std::optional<std::string> password;  // with one, the write is at maker level
  bool operator==(const SetParam&) const = default;
};
struct List {
  std::string folder;
  bool operator==(const List&) const = default;
};
struct Get {
  std::string remote;
  std::string local;
  bool operator==(const Get&) const = default;
};
struct Put {
  std::string local;
  std::string remote;
  bool overwrite = false;
  bool operator==(const Put&) const = default;
};
struct Remove {
  std::string name;
  bool operator==(const Remove&) const = default;
};
struct Move {
  std::string from;
  std::string to;
  bool operator==(const Move&) const = default;
};
struct MakeDir {
  std::string folder;
  bool operator==(const MakeDir&) const = default;
};
struct RemoveDir {
  std::string folder;
  bool operator==(const RemoveDir&) const = default;
};
struct DiskFree {
  unsigned drive = 0;
  bool operator==(const DiskFree&) const = default;
};
struct Hardware {
  bool operator==(const Hardware&) const = default;
};
struct Version {
  bool operator==(const Version&) const = default;
};
struct Message {
  std::string text;
  bool operator==(const Message&) const = default;
};
struct Record {
  std::string folder;
  unsigned count = 0;
  int seconds = 0;
  bool operator==(const Record&) const = default;
};

// The commands that run until SIGINT or SIGTERM.
struct Serve {
  std::string root;
  bool operator==(const Serve&) const = default;
};
struct Relay {
  std::string localAddress;
  bool operator==(const Relay&) const = default;
};
// Serves the controller's live state to MTConnect agents.
struct Adapter {
  std::uint16_t port = 7878;  // 0: any free port
  std::chrono::milliseconds interval{100};
  std::string bind;           // the address agents reach it at; every interface when empty
  bool operator==(const Adapter&) const = default;
};

// The fleet commands: they work on many machines or none, each connecting by itself.
// Backs up every machine given, or every machine of the program's machine list.
struct Backup {
  std::string store;
  unsigned jobs = 4;                    // machines backed up at the same time
  std::optional<std::string> machines;  // the settings file with the machine list
  std::vector<std::string> hosts;       // none: every machine of the list
  bool operator==(const Backup&) const = default;
};
// Describes every machine of the machine list to one MTConnect agent: its device file, or
// with `agentConfig` the agent's adapter entries. Machine n's adapter listens on port + n.
struct DevicesXml {
  std::optional<std::string> machines;  // the settings file with the machine list
  std::uint16_t port = 7878;
  bool agentConfig = false;
  bool operator==(const DevicesXml&) const = default;
};
// Checks every backup below a folder against its manifest.
struct Verify {
  std::string folder;
  bool operator==(const Verify&) const = default;
};
// One side of a comparison: a backup folder, or a controller as it is now.
struct DiffSide {
  std::string folder;
  std::string host;
  bool operator==(const DiffSide&) const = default;
};
struct Diff {
  DiffSide a, b;
  bool json = false;
  bool operator==(const Diff&) const = default;
};

// Draws data-recorder files into a PNG (no controller): talvo-plot does it, beside talvo-cli.
struct Plot {
  std::vector<std::string> files;
  std::string png;
  std::optional<std::string> channels;  // "X1,Y2"; none: every channel
  bool operator==(const Plot&) const = default;
};

using Command = std::variant<Status, Params, SetParam, List, Get, Put, Remove, Move, MakeDir,
                             RemoveDir, DiskFree, Hardware, Version, Message, Record, Serve,
                             Relay, Adapter, Backup, Verify, Diff, DevicesXml, Plot>;

struct Invocation {
  std::string host;  // empty for a fleet command
  bool dnc = false;
  Command command;
  bool operator==(const Invocation&) const = default;
};

// The highest parameter number the controller hands out.
inline constexpr int kLastParameter = 1999;
// The controller compares passwords of at most this length; a longer one would be cut.
inline constexpr std::size_t kMaxPasswordLength = 10;
inline constexpr int kDefaultRecordSeconds = 5;
inline constexpr int kMostBackupJobs = 64;

// `args` without the program name. --help anywhere before a "--" asks for the usage text.
bool WantsHelp(const std::vector<std::string>& args);
// Throws a usage Failure naming what is wrong.
Invocation ParseArguments(const std::vector<std::string>& args);
std::string UsageText();

}  // namespace talvo::cli
