#include "tests/support/simulator.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <sstream>
#include <stdexcept>
#include <thread>

#include <gtest/gtest.h>

namespace vandir::test {

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr auto kStartTimeout = 5s;
constexpr auto kReplyTimeout = 5s;
constexpr auto kExitTimeout = 2s;

std::filesystem::path MakeTemporaryRoot() {
  std::string pattern = (std::filesystem::temp_directory_path() / "vandir-sim-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  return pattern;
}

bool WriteAll(int fd, const std::string& text) {
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t wrote = write(fd, text.data() + done, text.size() - done);
    if (wrote < 0 && errno == EINTR) continue;
    if (wrote <= 0) return false;
    done += static_cast<std::size_t>(wrote);
  }
  return true;
}

std::vector<std::string> Items(const std::string& reply) {
  std::istringstream stream(reply);
  std::vector<std::string> items;
  for (std::string item; stream >> item;) items.push_back(item);
  if (!items.empty() && items.front() == "ok") items.erase(items.begin());
  return items;
}

}  // namespace

std::string UniqueLoopbackAddress() {
  static std::atomic<unsigned> calls{0};
  const auto pid = static_cast<unsigned>(getpid());
  const unsigned call = calls++;
  return "127." + std::to_string(20 + pid % 200) + "." + std::to_string(pid / 200 % 250) + "." +
         std::to_string(2 + call % 250);
}

Simulator::Simulator() : Simulator(Options{}) {}

Simulator::Simulator(Options options)
    : address_(UniqueLoopbackAddress()), root_(MakeTemporaryRoot()) {
  // A simulator that died must fail the test, not kill it with SIGPIPE.
  signal(SIGPIPE, SIG_IGN);
  std::vector<std::string> args = {VANDIR_SIM_PATH, "--bind", address_,
                                   "--root", root_.string(), "--login", options.login};
  if (options.lathe) args.push_back("--lathe");
  args.insert(args.end(), options.extraArgs.begin(), options.extraArgs.end());
  try {
    Spawn(args);
  } catch (...) {
    Stop();
    throw;
  }
  const auto ready = ReadLine(kStartTimeout);
  if (ready != "ready " + address_) {
    Stop();
    throw std::runtime_error("vandir-sim did not start on " + address_ + ": " +
                             ready.value_or("no ready line"));
  }
}

Simulator::~Simulator() {
  const std::string problem = Stop();
  if (!problem.empty()) ADD_FAILURE() << "vandir-sim " << problem;
}

void Simulator::Spawn(const std::vector<std::string>& args) {
  int toChild[2];
  int fromChild[2];
  if (pipe2(toChild, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
  if (pipe2(fromChild, O_CLOEXEC) != 0) {
    close(toChild[0]);
    close(toChild[1]);
    throw std::runtime_error("pipe failed");
  }
  // Built before fork: the child may only make async-signal-safe calls.
  std::vector<char*> argv;
  for (const auto& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  const pid_t parent = getpid();

  pid_ = fork();
  if (pid_ == 0) {
    // The death signal comes when the forking thread ends; tests fork from their main thread.
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != parent) _exit(127);
    // dup2 clears close-on-exec on the copies only; every other pipe end closes at exec.
    if (dup2(toChild[0], STDIN_FILENO) < 0 || dup2(fromChild[1], STDOUT_FILENO) < 0) _exit(127);
    execv(argv[0], argv.data());
    _exit(127);
  }
  close(toChild[0]);
  close(fromChild[1]);
  toChild_ = toChild[1];
  fromChild_ = fromChild[0];
  if (pid_ < 0) throw std::runtime_error("fork failed");
}

std::optional<std::string> Simulator::ReadLine(std::chrono::milliseconds timeout) {
  const auto deadline = Clock::now() + timeout;
  for (;;) {
    const auto end = pending_.find('\n');
    if (end != std::string::npos) {
      std::string line = pending_.substr(0, end);
      pending_.erase(0, end + 1);
      return line;
    }
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    if (left <= 0ms) return std::nullopt;
    pollfd watched{fromChild_, POLLIN, 0};
    const int ready = poll(&watched, 1, static_cast<int>(left.count()));
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) return std::nullopt;
    char chunk[4096];
    const ssize_t got = read(fromChild_, chunk, sizeof chunk);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return std::nullopt;
    pending_.append(chunk, static_cast<std::size_t>(got));
  }
}

std::string Simulator::Stop() {
  std::string problem;
  if (pid_ > 0) {
    WriteAll(toChild_, "quit\n");
    int status = 0;
    pid_t waited = 0;
    const auto deadline = Clock::now() + kExitTimeout;
    while ((waited = waitpid(pid_, &status, WNOHANG)) == 0 && Clock::now() < deadline) {
      std::this_thread::sleep_for(5ms);
    }
    if (waited == 0) {
      problem = "did not exit within 2 s of quit; killed";
      kill(pid_, SIGKILL);
      waitpid(pid_, &status, 0);
    } else if (WIFSIGNALED(status)) {
      problem = "was killed by signal " + std::to_string(WTERMSIG(status));
    } else if (WEXITSTATUS(status) != 0) {
      problem = "exited with status " + std::to_string(WEXITSTATUS(status));
    }
    pid_ = -1;
  }
  for (int* fd : {&toChild_, &fromChild_}) {
    if (*fd >= 0) close(*fd);
    *fd = -1;
  }
  std::error_code ignored;
  std::filesystem::remove_all(root_, ignored);
  return problem;
}

std::string Simulator::Command(const std::string& line) {
  if (!WriteAll(toChild_, line + "\n")) {
    ADD_FAILURE() << "vandir-sim control channel is closed; could not send: " << line;
    return "";
  }
  const auto reply = ReadLine(kReplyTimeout);
  if (!reply) {
    ADD_FAILURE() << "vandir-sim did not reply to: " << line;
    return "";
  }
  if (reply->starts_with("error")) {
    ADD_FAILURE() << "vandir-sim refused " << line << ": " << *reply;
    return "";
  }
  return *reply;
}

std::map<std::string, long> Simulator::Stats() {
  std::map<std::string, long> counters;
  for (const auto& item : Items(Command("stats"))) {
    const auto equals = item.find('=');
    if (equals == std::string::npos) {
      ADD_FAILURE() << "unexpected stats item: " << item;
      continue;
    }
    counters[item.substr(0, equals)] = std::stol(item.substr(equals + 1));
  }
  return counters;
}

std::vector<std::pair<int, int>> Simulator::Log() {
  std::vector<std::pair<int, int>> packages;
  for (const auto& item : Items(Command("log"))) {
    int command = 0;
    int index = 0;
    char colon = 0;
    std::istringstream stream(item);
    if (!(stream >> command >> colon >> index) || colon != ':') {
      ADD_FAILURE() << "unexpected log item: " << item;
      continue;
    }
    packages.emplace_back(command, index);
  }
  return packages;
}

bool WaitUntil(const std::function<bool()>& pred, std::chrono::milliseconds timeout) {
  const auto deadline = Clock::now() + timeout;
  while (Clock::now() < deadline) {
    if (pred()) return true;
    std::this_thread::sleep_for(5ms);
  }
  return pred();
}

}  // namespace vandir::test
