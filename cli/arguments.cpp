#include "cli/arguments.h"

#include <arpa/inet.h>

#include <algorithm>
#include <charconv>
#include <limits>
#include <map>
#include <string_view>

#include "cli/disk.h"
#include "cli/errors.h"

namespace talvo::cli {

namespace {

struct OptionDefinition {
  std::string_view name;
  std::string_view placeholder;  // empty for a flag
};

constexpr OptionDefinition kOptions[] = {
    {"host", "ADDR"},  {"dnc", ""},   {"password", "P"},
    {"overwrite", ""}, {"count", "N"}, {"seconds", "S"},
    {"port", "PORT"},  {"interval", "MS"},  {"store", "DIR"},
    {"jobs", "N"},     {"machines", "FILE"}, {"json", ""},
    {"bind", "ADDR"},  {"agent-config", ""},
    {"png", "OUT.png"}, {"channels", "X1,Y2"},
};
constexpr std::string_view kGlobalOptions[] = {"host", "dnc"};
constexpr std::string_view kSynopsisStart = "talvo-cli --host ADDR [--dnc] ";
constexpr std::string_view kFleetSynopsisStart = "talvo-cli ";

const OptionDefinition* FindOption(std::string_view name) {
  const auto* found = std::find_if(std::begin(kOptions), std::end(kOptions),
                                   [&](const OptionDefinition& o) { return o.name == name; });
  return found == std::end(kOptions) ? nullptr : found;
}

// The command line split into its options (a flag maps to "") and the words between them:
// the command and its operands. The first mistake is kept for when the command is known.
struct Words {
  std::map<std::string, std::string, std::less<>> options;
  std::vector<std::string> positional;
  std::size_t hostAt = 0;  // words before --host: where a diff takes it as a side
  std::optional<std::string> error;

  std::optional<std::string> Option(std::string_view name) const {
    const auto found = options.find(name);
    if (found == options.end()) return std::nullopt;
    return found->second;
  }
  bool Flag(std::string_view name) const { return options.contains(name); }
};

Words Split(const std::vector<std::string>& args) {
  Words words;
  bool optionsEnded = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (optionsEnded || !arg.starts_with("--")) {
      words.positional.push_back(arg);
      continue;
    }
    if (arg == "--") {
      optionsEnded = true;
      continue;
    }
    const std::size_t equals = arg.find('=');
    std::string name = arg.substr(2, equals == std::string::npos ? std::string::npos : equals - 2);
    const auto fail = [&](const std::string& error) {
      if (!words.error) words.error = error;
    };
    const OptionDefinition* definition = FindOption(name);
    if (!definition) {
      fail("unknown option --" + name);
      continue;
    }
    if (words.options.contains(name)) fail("--" + name + " given twice");
    std::string value;
    if (definition->placeholder.empty()) {
      if (equals != std::string::npos) fail("--" + name + " takes no value");
    } else {
      if (equals != std::string::npos)
        value = arg.substr(equals + 1);
      else if (i + 1 < args.size())
        value = args[++i];
      if (value.empty()) fail("--" + name + " needs a value");
    }
    if (name == "host") words.hostAt = words.positional.size();
    words.options.emplace(std::move(name), std::move(value));
  }
  return words;
}

long long ParseWhole(std::string_view text, std::string_view name, long long low, long long high) {
  long long value = 0;
  const char* end = text.data() + text.size();
  const auto result = std::from_chars(text.data(), end, value);
  if (result.ec != std::errc{} || result.ptr != end || value < low || value > high)
    throw UsageError(std::string(name) + " must be a whole number from " + std::to_string(low) +
                     " to " + std::to_string(high) + ", not '" + std::string(text) + "'");
  return value;
}

using Operands = std::vector<std::string>;

Command BuildParams(const Operands& o, const Words&) {
  const int first = static_cast<int>(ParseWhole(o[0], "FIRST", 1, kLastParameter));
  return Params{first, static_cast<int>(ParseWhole(o[1], "COUNT", 1, kLastParameter - first + 1))};
}

Command BuildSetParam(const Operands& o, const Words& words) {
  SetParam command{static_cast<std::int16_t>(
                       ParseWhole(o[0], "N", 1, std::numeric_limits<std::int16_t>::max())),
                   static_cast<std::int32_t>(ParseWhole(o[1], "VALUE",
                                                   std::numeric_limits<std::int32_t>::min(),
                                                   std::numeric_limits<std::int32_t>::max())),
                   words.Option("password")};
  if (command.password && command.password->size() > kMaxPasswordLength)
    throw UsageError("--password is longer than " + std::to_string(kMaxPasswordLength) +
                     " characters");
  return command;
}

Command BuildDiskFree(const Operands& o, const Words&) {
  const auto drive = ParseDrive(o[0]);
  if (!drive) throw UsageError("DRIVE must be a letter (C or C:) or a number from 0 to 25, not '" +
                               o[0] + "'");
  return DiskFree{*drive};
}

Command BuildRecord(const Operands& o, const Words& words) {
  const auto seconds = words.Option("seconds");
  return Record{o[0],
                static_cast<unsigned>(ParseWhole(*words.Option("count"), "--count", 1,
                                            std::numeric_limits<std::int32_t>::max())),
                static_cast<int>(seconds ? ParseWhole(*seconds, "--seconds", 1, 3600)
                                         : kDefaultRecordSeconds)};
}

bool IsIpAddress(const std::string& text) {
  unsigned char address[sizeof(in6_addr)];
  return inet_pton(AF_INET, text.c_str(), address) == 1 ||
         inet_pton(AF_INET6, text.c_str(), address) == 1;
}

std::uint16_t ParsePort(const Words& words, std::uint16_t fallback, long long lowest) {
  const auto port = words.Option("port");
  return port ? static_cast<std::uint16_t>(ParseWhole(*port, "--port", lowest, 65535)) : fallback;
}

Command BuildRelay(const Operands& o, const Words& words) {
  // The router holds no connection of its own, so there is no port to choose.
  if (words.Flag("dnc")) throw UsageError("--dnc does not apply to router");
  if (!IsIpAddress(o[0]))
    throw UsageError("LOCALADDR must be an IP address of this PC, not '" + o[0] + "'");
  return Relay{o[0]};
}

Command BuildAdapter(const Operands&, const Words& words) {
  // The controller answers in milliseconds; polling faster only loads it.
  constexpr long long kShortestInterval = 10;
  constexpr long long kLongestInterval = 60000;
  if (words.Flag("dnc")) throw UsageError("--dnc does not apply to adapter");
  Adapter command;
  command.port = ParsePort(words, command.port, 0);
  if (const auto interval = words.Option("interval"))
    command.interval = std::chrono::milliseconds(
        ParseWhole(*interval, "--interval", kShortestInterval, kLongestInterval));
  if (const auto bind = words.Option("bind")) {
    if (!IsIpAddress(*bind))
      throw UsageError("--bind must be an IP address of this PC, not '" + *bind + "'");
    command.bind = *bind;
  }
  return command;
}

Command BuildDevicesXml(const Operands&, const Words& words) {
  DevicesXml command{words.Option("machines"), 7878, words.Flag("agent-config")};
  // Each machine's adapter needs a port of its own: "any free port" cannot be written down.
  command.port = ParsePort(words, command.port, 1);
  return command;
}

Command BuildBackup(const Operands& o, const Words& words) {
  Backup command{*words.Option("store"), 4, words.Option("machines"), o};
  if (const auto jobs = words.Option("jobs"))
    command.jobs = static_cast<unsigned>(ParseWhole(*jobs, "--jobs", 1, kMostBackupJobs));
  return command;
}

Command BuildDiff(const Operands& o, const Words& words) {
  std::vector<DiffSide> sides;
  for (const std::string& folder : o) sides.push_back({folder, {}});
  if (const auto host = words.Option("host")) {
    // The side stands where --host stands among the operands: "diff BACKUP --host ADDR"
    // shows what changed on the machine since that backup.
    const std::size_t at = std::min(words.hostAt == 0 ? 0 : words.hostAt - 1, sides.size());
    sides.insert(sides.begin() + static_cast<std::ptrdiff_t>(at), DiffSide{{}, *host});
  }
  if (sides.size() != 2)
    throw UsageError("diff compares two sides: two backup folders, or one and --host ADDR");
  return Diff{sides[0], sides[1], words.Flag("json")};
}

Command BuildPlot(const Operands& o, const Words& words) {
  if (o.empty()) throw UsageError("plot needs at least one recorder FILE");
  const auto channels = words.Option("channels");
  if (channels) {
    std::size_t start = 0;
    while (start <= channels->size()) {
      const std::size_t comma = std::min(channels->find(',', start), channels->size());
      const std::string name = channels->substr(start, comma - start);
      // A channel is named by its letter and number, as the file's header names it.
      const bool named = name.size() >= 2 && name[0] != '-' &&
                         std::all_of(name.begin() + 1, name.end(), [](char c) {
                           return (c >= '0' && c <= '9') || c == '-';
                         });
      if (!named) throw UsageError("--channels takes letters and numbers like X1,Y2, not '" + name + "'");
      start = comma + 1;
    }
  }
  return Plot{o, *words.Option("png"), channels};
}

struct CommandOption {
  std::string_view name;
  bool required = false;
};

// How a command meets its controllers.
enum class Hosts {
  kOne,   // the one --host names
  kNone,  // its own: --host does not apply
  kSide,  // --host may stand for one of its operands
};

struct CommandDefinition {
  std::string_view name;
  std::vector<std::string_view> operands;
  std::vector<CommandOption> options;
  Command (*build)(const Operands&, const Words&);
  Hosts hosts = Hosts::kOne;
  bool repeats = false;  // the last operand may be given any number of times, also none
};

const std::vector<CommandDefinition>& Commands() {
  static const std::vector<CommandDefinition> commands = {
      {"status", {}, {}, [](const Operands&, const Words&) -> Command { return Status{}; }},
      {"params", {"FIRST", "COUNT"}, {}, BuildParams},
      {"set-param", {"N", "VALUE"}, {{"password"}}, BuildSetParam},
      {"ls", {"DIR"}, {}, [](const Operands& o, const Words&) -> Command { return List{o[0]}; }},
      {"get", {"REMOTE", "LOCAL"}, {},
       [](const Operands& o, const Words&) -> Command { return Get{o[0], o[1]}; }},
      {"put", {"LOCAL", "REMOTE"}, {{"overwrite"}},
       [](const Operands& o, const Words& w) -> Command {
         return Put{o[0], o[1], w.Flag("overwrite")};
       }},
      {"rm", {"NAME"}, {}, [](const Operands& o, const Words&) -> Command { return Remove{o[0]}; }},
      {"mv", {"OLD", "NEW"}, {},
       [](const Operands& o, const Words&) -> Command { return Move{o[0], o[1]}; }},
      {"mkdir", {"DIR"}, {},
       [](const Operands& o, const Words&) -> Command { return MakeDir{o[0]}; }},
      {"rmdir", {"DIR"}, {},
       [](const Operands& o, const Words&) -> Command { return RemoveDir{o[0]}; }},
      {"df", {"DRIVE"}, {}, BuildDiskFree},
      {"hw", {}, {}, [](const Operands&, const Words&) -> Command { return Hardware{}; }},
      {"version", {}, {}, [](const Operands&, const Words&) -> Command { return Version{}; }},
      {"msg", {"TEXT"}, {},
       [](const Operands& o, const Words&) -> Command { return Message{o[0]}; }},
      {"record", {"DIR"}, {{"count", true}, {"seconds"}}, BuildRecord},
      {"serve", {"ROOT"}, {},
       [](const Operands& o, const Words&) -> Command { return Serve{o[0]}; }},
      {"router", {"LOCALADDR"}, {}, BuildRelay},
      {"adapter", {}, {{"port"}, {"interval"}, {"bind"}}, BuildAdapter},
      {"backup", {"[HOST...]"}, {{"store", true}, {"jobs"}, {"machines"}}, BuildBackup,
       Hosts::kNone, true},
      {"verify", {"DIR"}, {},
       [](const Operands& o, const Words&) -> Command { return Verify{o[0]}; }, Hosts::kNone},
      {"diff", {"A", "B"}, {{"json"}}, BuildDiff, Hosts::kSide},
      {"devices-xml", {}, {{"machines"}, {"port"}, {"agent-config"}}, BuildDevicesXml, Hosts::kNone},
      {"plot", {"FILE..."}, {{"png", true}, {"channels"}}, BuildPlot, Hosts::kNone, true},
  };
  return commands;
}

std::string Synopsis(const CommandDefinition& definition) {
  std::string operands;
  for (const auto operand : definition.operands) operands.append(" ").append(operand);
  std::string options;
  for (const auto& option : definition.options) {
    std::string text = "--" + std::string(option.name);
    if (const auto placeholder = FindOption(option.name)->placeholder; !placeholder.empty())
      text.append(" ").append(placeholder);
    options += option.required ? " " + text : " [" + text + "]";
  }
  // Repeated operands go last, after the options that would otherwise get lost behind them.
  return std::string(definition.name) + (definition.repeats ? options + operands : operands + options);
}

// "[HOST...]" names the operand HOST.
std::string OperandName(std::string_view synopsis) {
  std::string name(synopsis);
  std::erase_if(name, [](char c) { return c == '[' || c == ']' || c == '.'; });
  return name;
}

std::string FullSynopsis(const CommandDefinition& definition) {
  return std::string(definition.hosts == Hosts::kOne ? kSynopsisStart : kFleetSynopsisStart) +
         Synopsis(definition);
}

bool IsGlobalOption(std::string_view name) {
  return std::find(std::begin(kGlobalOptions), std::end(kGlobalOptions), name) !=
         std::end(kGlobalOptions);
}

void CheckOptions(const CommandDefinition& definition, const Words& words) {
  for (const auto& given : words.options) {
    // Not a structured binding: clang 14 refuses to capture one in the lambda below.
    const std::string& name = given.first;
    const bool allowed = IsGlobalOption(name) ||
                         std::any_of(definition.options.begin(), definition.options.end(),
                                     [&](const CommandOption& o) { return o.name == name; });
    if (!allowed)
      throw UsageError("--" + name + " does not apply to " + std::string(definition.name));
  }
  for (const auto& option : definition.options)
    if (option.required && !words.Flag(option.name))
      throw UsageError(std::string(definition.name) + " needs --" + std::string(option.name) +
                       "; usage: " + FullSynopsis(definition));
  if (definition.hosts == Hosts::kOne) return;
  if (words.Flag("dnc")) throw UsageError("--dnc does not apply to " + std::string(definition.name));
  if (definition.hosts == Hosts::kNone && words.Flag("host"))
    throw UsageError("--host does not apply to " + std::string(definition.name) +
                     "; usage: " + FullSynopsis(definition));
}

Invocation ParseWords(const Words& words) {
  if (words.error) throw UsageError(*words.error);
  if (words.positional.empty()) throw UsageError("no command given; see talvo-cli --help");
  const std::string& name = words.positional.front();
  const auto& commands = Commands();
  const auto definition = std::find_if(
      commands.begin(), commands.end(), [&](const CommandDefinition& c) { return c.name == name; });
  if (definition == commands.end()) throw UsageError("unknown command '" + name + "'");
  CheckOptions(*definition, words);
  const Operands operands(words.positional.begin() + 1, words.positional.end());
  const std::size_t named = definition->operands.size();
  const bool countFits =
      definition->repeats ? operands.size() + 1 >= named
      : definition->hosts == Hosts::kSide ? operands.size() + 1 >= named && operands.size() <= named
                                          : operands.size() == named;
  if (!countFits)
    throw UsageError("wrong number of arguments; usage: " + FullSynopsis(*definition));
  for (std::size_t i = 0; i < operands.size(); ++i)
    if (operands[i].empty())
      throw UsageError(OperandName(definition->operands[std::min(i, named - 1)]) + " is empty");
  const auto host = words.Option("host");
  if (definition->hosts != Hosts::kOne) return Invocation{"", false, definition->build(operands, words)};
  if (!host) throw UsageError("no controller given; use --host ADDR");
  return Invocation{*host, words.Flag("dnc"), definition->build(operands, words)};
}

}  // namespace

bool WantsHelp(const std::vector<std::string>& args) {
  const auto end = std::find(args.begin(), args.end(), "--");
  return std::find(args.begin(), end, "--help") != end;
}

Invocation ParseArguments(const std::vector<std::string>& args) {
  const Words words = Split(args);
  try {
    return ParseWords(words);
  } catch (const Failure& failure) {
    // To a diff, 1 means "they differ": its usage errors need a status of their own.
    if (failure.Status() == ExitStatus::kUsage && !words.positional.empty() &&
        words.positional.front() == "diff")
      throw Failure(ExitStatus::kDiffUsage, failure.what());
    throw;
  }
}

std::string UsageText() {
  std::string text = "usage: " + std::string(kSynopsisStart) + "COMMAND [ARGS]\n" +
                     "       " + std::string(kFleetSynopsisStart) + "FLEET-COMMAND [ARGS]\n" +
                     "\ncommands:\n";
  for (const auto& definition : Commands())
    if (definition.hosts == Hosts::kOne) text += "  " + Synopsis(definition) + "\n";
  text += "\nfleet commands:\n";
  for (const auto& definition : Commands())
    if (definition.hosts != Hosts::kOne) text += "  " + Synopsis(definition) + "\n";
  text +=
      "  (a side of diff may be --host ADDR: the controller as it is now)\n"
      "\nexit status: 0 success, 1 usage, 2 no connection or login refused, 3 refused by the\n"
      "controller, 4 local file error, 5 timed out, 6 a machine not backed up completely,\n"
      "7 backups with files missing or changed; diff: 0 same, 1 different, 8 usage\n";
  return text;
}

}  // namespace talvo::cli
