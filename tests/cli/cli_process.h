// talvo-cli as a child process: what it printed and how it exited.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace talvo::cli::test {

struct CliResult {
  int status = -1;  // the exit status; -1 when it did not exit by itself
  std::string out;
  std::string err;
};

// Runs the built talvo-cli with `args`, stdin empty and stdout and stderr on pipes (so it
// never sees a terminal). A run past `timeout` is killed and fails the test.
CliResult RunCli(const std::vector<std::string>& args,
                 std::chrono::seconds timeout = std::chrono::seconds(60));

// talvo-cli left running, for the commands that work until they are stopped.
class CliProcess {
 public:
  explicit CliProcess(const std::vector<std::string>& args);
  // A process still running is killed.
  ~CliProcess();
  CliProcess(const CliProcess&) = delete;
  CliProcess& operator=(const CliProcess&) = delete;

  // The next line of its standard output, without the line end; nothing when none came
  // within `timeout` or the output ended.
  std::optional<std::string> ReadLine(std::chrono::milliseconds timeout = std::chrono::seconds(10));
  // Sends `signal` and waits for the exit; everything it printed, and its status. A process
  // that does not exit within `timeout` is killed and fails the test.
  CliResult Stop(int signal, std::chrono::seconds timeout = std::chrono::seconds(10));

 private:
  pid_t pid_ = -1;
  int out_ = -1;
  int err_ = -1;
  CliResult result_;
  std::size_t taken_ = 0;  // bytes of result_.out handed out by ReadLine
};

// The lines of a report, without their line ends.
std::vector<std::string> Lines(const std::string& text);

}  // namespace talvo::cli::test
