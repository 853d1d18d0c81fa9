#include "sim/control/control.h"

#include <poll.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "sim/dnc/dnc_commands.h"
#include "sim/control/machine_control.h"
#include "sim/note.h"

namespace vandir::sim {

namespace {

constexpr long kLongestStallMs = 3'600'000;
constexpr long kMostAnswers = 1'000'000'000;

std::vector<std::string> Words(const std::string& line) {
  std::istringstream stream(line);
  std::vector<std::string> words;
  for (std::string word; stream >> word;) words.push_back(word);
  return words;
}

// Runs `apply` with the command's one numeric argument, or tells how to call it.
template <typename Apply>
std::string WithNumber(const std::vector<std::string>& words, const char* usage, long min,
                       long max, Apply apply) {
  const auto number = words.size() == 2 ? ParseInteger(words[1], min, max) : std::nullopt;
  if (!number) return std::string("error usage: ") + usage;
  apply(*number);
  return "ok";
}

// "fail-transfer N CODE": the next transfer answers its step after the N-th with CODE.
std::string FailTransfer(FileFaults& faults, const std::vector<std::string>& words) {
  const auto steps = words.size() == 3 ? ParseInteger(words[1], 0, kMostAnswers) : std::nullopt;
  const auto code = words.size() == 3
                        ? ParseInteger(words[2], 1, std::numeric_limits<std::int16_t>::max())
                        : std::nullopt;
  if (!steps || !code) return "error usage: fail-transfer N CODE";
  faults.ArmTransferFault(
      {TransferFault::Kind::Fail, *steps, static_cast<std::int16_t>(*code)});
  return "ok";
}

// "hostile-names [off]": listings end with names no plain file has, which are served.
std::string HostileNames(FileFaults& faults, const std::vector<std::string>& words) {
  const bool off = words.size() == 2 && words[1] == "off";
  if (words.size() > 2 || (words.size() == 2 && !off)) return "error usage: hostile-names [off]";
  faults.SetHostileNames(!off);
  return "ok";
}

// "last CMD": the bytes of the last package received with that command, in hex.
std::string LastPackage(const Activity& activity, const std::vector<std::string>& words) {
  const auto command =
      words.size() == 2 ? ParseInteger(words[1], std::numeric_limits<std::int16_t>::min(),
                                       std::numeric_limits<std::int16_t>::max())
                        : std::nullopt;
  if (!command) return "error usage: last CMD";
  const auto hex = activity.Last(static_cast<std::int16_t>(*command));
  return hex ? "ok " + *hex : "error none";
}

// "files [PATH]": the folders and files below PATH (C:\ when none is given).
std::string Files(FileArea& files, const std::vector<std::string>& words) {
  if (words.size() > 2) return "error usage: files [PATH]";
  const std::string folder = words.size() == 2 ? words[1] : "C:\\";
  const auto tree = files.Tree(folder);
  if (!tree) return "error no such folder: " + folder;
  std::string reply = "ok";
  for (const auto& item : *tree) reply += ' ' + item;
  return reply;
}

std::string Execute(Controller& controller, DncSession& dnc, const std::string& line,
                    bool& quit) {
  const auto words = Words(line);
  if (words.empty()) return "error unknown command";
  const std::string& name = words[0];
  auto& faults = controller.faults;

  if (name == "login") {
    return WithNumber(words, "login N", std::numeric_limits<std::int16_t>::min(),
                      std::numeric_limits<std::int16_t>::max(),
                      [&](long level) { controller.login = static_cast<std::int16_t>(level); });
  }
  if (name == "stall") {
    return WithNumber(words, "stall MS", 0, kLongestStallMs,
                      [&](long ms) { faults.SetStall(std::chrono::milliseconds(ms)); });
  }
  if (name == "drop-after") {
    return WithNumber(words, "drop-after N", 0, kMostAnswers,
                      [&](long answers) { faults.DropAfter(answers); });
  }
  if (name == "fail-file") {
    return WithNumber(words, "fail-file CODE", 1, std::numeric_limits<std::int16_t>::max(),
                      [&](long code) {
                        controller.fileFaults.FailNext(static_cast<std::int16_t>(code));
                      });
  }
  if (name == "drop-transfer") {
    return WithNumber(words, "drop-transfer N", 0, kMostAnswers, [&](long steps) {
      controller.fileFaults.ArmTransferFault({TransferFault::Kind::Drop, steps});
    });
  }
  if (name == "empty-piece") {
    return WithNumber(words, "empty-piece N", 0, kMostAnswers, [&](long steps) {
      controller.fileFaults.ArmTransferFault({TransferFault::Kind::EmptyPiece, steps});
    });
  }
  if (name == "fail-transfer") return FailTransfer(controller.fileFaults, words);
  if (name == "hostile-names") return HostileNames(controller.fileFaults, words);
  if (name == "files") return Files(controller.files, words);
  if (name == "last") return LastPackage(controller.activity, words);
  if (name == "dnc") return ExecuteDncCommand(dnc, words);
  if (auto reply = ExecuteMachineCommand(controller.machine, words)) return *reply;

  if (words.size() != 1) return "error usage: " + name + " takes no argument";
  if (name == "endless-listing") {
    controller.fileFaults.ArmEndlessListing();
  } else if (name == "drop") {
    faults.Interrupt();
    controller.connections.DropAll();
  } else if (name == "bad-header") {
    faults.ArmBadHeader();
  } else if (name == "bad-length") {
    faults.ArmBadLength();
  } else if (name == "short") {
    faults.ArmCutShort();
  } else if (name == "stats") {
    return "ok " + controller.activity.Stats();
  } else if (name == "log") {
    return "ok" + controller.activity.Log();
  } else if (name == "messages") {
    return "ok" + controller.messages.List();
  } else if (name == "log-clear") {
    controller.activity.ClearLog();
  } else if (name == "quit") {
    quit = true;
  } else {
    return "error unknown command";
  }
  return "ok";
}

void Reply(const std::string& line) {
  // A reader that went away must not stop the simulator; SIGPIPE is ignored.
  std::fputs((line + "\n").c_str(), stdout);
  std::fflush(stdout);
}

}  // namespace

void RunControl(Controller& controller, DncChannel& dnc, const sigset_t& stopSignals) {
  DncSession session(dnc, controller);
  const int signals = signalfd(-1, &stopSignals, SFD_CLOEXEC);
  if (signals < 0) {
    Note("signalfd failed (%s); stop with quit", std::strerror(errno));
  }
  pollfd watched[2] = {{STDIN_FILENO, POLLIN, 0}, {signals, POLLIN, 0}};
  std::string pending;
  bool quit = false;
  while (!quit) {
    if (poll(watched, 2, -1) < 0) {
      if (errno == EINTR) continue;
      Note("poll failed (%s); stopping", std::strerror(errno));
      break;
    }
    if (watched[1].revents != 0) {
      Note("stop signal received");
      break;
    }
    if (watched[0].revents == 0) continue;
    char chunk[4096];
    const ssize_t got = read(STDIN_FILENO, chunk, sizeof chunk);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) {
      watched[0].fd = -1;  // poll skips it; the ports go on serving
      continue;
    }
    pending.append(chunk, static_cast<std::size_t>(got));
    for (auto end = pending.find('\n'); end != std::string::npos && !quit;
         end = pending.find('\n')) {
      std::string line = pending.substr(0, end);
      pending.erase(0, end + 1);
      if (!line.empty() && line.back() == '\r') line.pop_back();
      Reply(Execute(controller, session, line, quit));
    }
  }
  if (signals >= 0) close(signals);
}

}  // namespace vandir::sim
