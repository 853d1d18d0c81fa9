// vandir-sim as a child process of a test: its own loopback address, its own file
// area, and its control channel on a pair of pipes.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace vandir::test {

// A 127.x.y.z address no other test process and no earlier call of this one uses,
// so simulators of tests running in parallel never share a port.
std::string UniqueLoopbackAddress();

class Simulator {
 public:
  struct Options {
    std::string login = "502";
    bool lathe = false;
    std::vector<std::string> extraArgs;
  };

  // Starts the simulator and waits until it listens; throws when it does not.
  Simulator();
  explicit Simulator(Options options);
  Simulator(const Simulator&) = delete;
  Simulator& operator=(const Simulator&) = delete;
  // Quits the simulator; a simulator that does not exit cleanly fails the test.
  ~Simulator();

  const std::string& Address() const { return address_; }
  const std::filesystem::path& Root() const { return root_; }

  // Sends one control line and returns the reply line. An error reply or no reply
  // fails the test and returns "".
  std::string Command(const std::string& line);
  // The counters of "stats" by name.
  std::map<std::string, long> Stats();
  // The packages of "log" as (command, index), in arrival order.
  std::vector<std::pair<int, int>> Log();

 private:
  void Spawn(const std::vector<std::string>& args);
  std::optional<std::string> ReadLine(std::chrono::milliseconds timeout);
  // Quits or kills the simulator and cleans up; what went wrong, or "" when it exited cleanly.
  std::string Stop();

  std::string address_;
  std::filesystem::path root_;
  pid_t pid_ = -1;
  int toChild_ = -1;
  int fromChild_ = -1;
  std::string pending_;  // bytes of stdout past the last line read
};

// Polls pred every few milliseconds until it is true or the timeout passes; returns
// its last value.
bool WaitUntil(const std::function<bool()>& pred,
               std::chrono::milliseconds timeout = std::chrono::seconds(5));

}  // namespace vandir::test
