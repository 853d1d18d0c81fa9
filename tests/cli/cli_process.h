// talvo-cli as a child process: what it printed and how it exited.
#pragma once

#include <chrono>
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

// The lines of a report, without their line ends.
std::vector<std::string> Lines(const std::string& text);

}  // namespace talvo::cli::test
