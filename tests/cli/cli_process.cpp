#include "tests/cli/cli_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <sstream>
#include <utility>

#include <gtest/gtest.h>

extern char** environ;

namespace talvo::cli::test {

namespace {

using Deadline = std::chrono::steady_clock::time_point;

struct Pipe {
  int read = -1, write = -1;
  Pipe() {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) == 0) {
      read = fds[0];
      write = fds[1];
    }
  }
  ~Pipe() {
    CloseWrite();
    if (read >= 0) close(read);
  }
  void CloseWrite() {
    if (write >= 0) close(write);
    write = -1;
  }
  int TakeRead() { return std::exchange(read, -1); }
};

struct Child {
  pid_t pid = -1;
  int out = -1;
  int err = -1;
};

// Starts talvo-cli with `args`; the child's stdout and stderr are the returned ends.
Child Spawn(const std::vector<std::string>& args) {
  Pipe out, err;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, out.write, STDOUT_FILENO);
  posix_spawn_file_actions_adddup2(&actions, err.write, STDERR_FILENO);
  std::vector<std::string> words = {TALVO_CLI_PATH};
  words.insert(words.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  pid_t pid = -1;
  const int spawned = posix_spawn(&pid, TALVO_CLI_PATH, &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) {
    ADD_FAILURE() << "cannot start " << TALVO_CLI_PATH << ": " << spawned;
    return {};
  }
  return {pid, out.TakeRead(), err.TakeRead()};
}

// Reads what is there on `fd` into `sink`; false at the end of the output.
bool ReadSome(int fd, std::string& sink) {
  char buffer[4096];
  ssize_t n;
  while ((n = ::read(fd, buffer, sizeof buffer)) < 0 && errno == EINTR) {
  }
  if (n <= 0) return false;
  sink.append(buffer, static_cast<std::size_t>(n));
  return true;
}

int MillisecondsTo(Deadline end) {
  const auto left =
      std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
  return static_cast<int>(std::max<std::chrono::milliseconds::rep>(left.count(), 0));
}

// Reads both pipes until the child closes them or the deadline passes.
bool Drain(const Child& child, CliResult& result, Deadline end) {
  pollfd fds[2] = {{child.out, POLLIN, 0}, {child.err, POLLIN, 0}};
  std::string* sinks[2] = {&result.out, &result.err};
  int open = 2;
  while (open > 0) {
    const int ready = poll(fds, 2, MillisecondsTo(end));
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) return false;
    for (int i = 0; i < 2; ++i) {
      if (fds[i].fd < 0 || fds[i].revents == 0) continue;
      if (!ReadSome(fds[i].fd, *sinks[i])) {
        fds[i].fd = -1;
        --open;
      }
    }
  }
  return true;
}

// Waits for the child after its output has been drained (or it was killed).
void Finish(Child& child, CliResult& result, bool drained, std::chrono::seconds timeout) {
  if (!drained) {
    ADD_FAILURE() << "talvo-cli still running after " << timeout.count() << " s; killed";
    kill(child.pid, SIGKILL);
  }
  int status = 0;
  while (waitpid(child.pid, &status, 0) < 0 && errno == EINTR) {
  }
  if (WIFEXITED(status)) result.status = WEXITSTATUS(status);
  for (int fd : {child.out, child.err}) close(fd);
  child = {};
}

}  // namespace

CliResult RunCli(const std::vector<std::string>& args, std::chrono::seconds timeout) {
  CliResult result;
  Child child = Spawn(args);
  if (child.pid < 0) return result;
  const bool drained = Drain(child, result, std::chrono::steady_clock::now() + timeout);
  Finish(child, result, drained, timeout);
  return result;
}

CliProcess::CliProcess(const std::vector<std::string>& args) {
  const Child child = Spawn(args);
  pid_ = child.pid;
  out_ = child.out;
  err_ = child.err;
}

CliProcess::~CliProcess() {
  if (pid_ < 0) return;
  kill(pid_, SIGKILL);
  Child child{pid_, out_, err_};
  CliResult ignored;
  Finish(child, ignored, true, {});
}

std::optional<std::string> CliProcess::ReadLine(std::chrono::milliseconds timeout) {
  const Deadline end = std::chrono::steady_clock::now() + timeout;
  std::size_t newline;
  while ((newline = result_.out.find('\n', taken_)) == std::string::npos) {
    pollfd ready{out_, POLLIN, 0};
    const int polled = poll(&ready, 1, MillisecondsTo(end));
    if (polled < 0 && errno == EINTR) continue;
    if (polled <= 0 || !ReadSome(out_, result_.out)) return std::nullopt;
  }
  std::string line = result_.out.substr(taken_, newline - taken_);
  taken_ = newline + 1;
  return line;
}

CliResult CliProcess::Stop(int signal, std::chrono::seconds timeout) {
  if (pid_ < 0) return result_;
  kill(pid_, signal);
  Child child{pid_, out_, err_};
  const bool drained = Drain(child, result_, std::chrono::steady_clock::now() + timeout);
  Finish(child, result_, drained, timeout);
  pid_ = -1;
  return result_;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream stream(text);
  for (std::string line; std::getline(stream, line);) lines.push_back(line);
  return lines;
}

}  // namespace talvo::cli::test
