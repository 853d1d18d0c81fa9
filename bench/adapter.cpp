// talvo-cli adapter against the simulator with its cycle running: how much of one core the
// adapter process uses with 10 agents connected at the default interval (goal under 2 %),
// against the same adapter with no agent; how long a value set in the simulator takes to
// reach an agent (goal within two intervals and the answers' few milliseconds); and a shop:
// 8 adapters polling 8 simulators at once, one agent each, every one under 2 % of a core.
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/simulator.h"

extern char** environ;

namespace {

using namespace std::chrono_literals;
using SteadyClock = std::chrono::steady_clock;

constexpr auto kInterval = 100ms;
constexpr auto kMeasure = 10s;
constexpr int kAgents = 10;
constexpr int kShopMachines = 8;
// What the answers to one round take on top of the two intervals.
constexpr auto kAnswerAllowance = 30ms;

class AdapterProcess {
 public:
  explicit AdapterProcess(const std::string& host) {
    int out[2];
    if (pipe(out) != 0) throw std::runtime_error("pipe");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    const std::string interval = std::to_string(kInterval.count());
    std::vector<std::string> args = {TALVO_CLI, "--host", host, "adapter", "--port", "0",
                                     "--interval", interval};
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    if (posix_spawn(&pid_, TALVO_CLI, &actions, nullptr, argv.data(), environ) != 0)
      throw std::runtime_error("cannot start talvo-cli");
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    std::string line;
    char c = 0;
    while (read(out[0], &c, 1) == 1 && c != '\n') line += c;
    close(out[0]);
    port_ = static_cast<std::uint16_t>(std::stoi(line.substr(line.find('=') + 1)));
  }
  ~AdapterProcess() {
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
  }
  std::uint16_t Port() const { return port_; }
  // User and system time the process has used so far.
  double CpuSeconds() const {
    std::ifstream stat("/proc/" + std::to_string(pid_) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    std::istringstream fields(text.substr(text.rfind(')') + 2));
    std::string field;
    long ticks = 0;
    for (int i = 3; i <= 15 && fields >> field; ++i)
      if (i == 14 || i == 15) ticks += std::stol(field);
    return static_cast<double>(ticks) / static_cast<double>(sysconf(_SC_CLK_TCK));
  }

 private:
  pid_t pid_ = -1;
  std::uint16_t port_ = 0;
};

int ConnectAgent(std::uint16_t port) {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(port);
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0)
    throw std::runtime_error("cannot connect an agent");
  fcntl(fd, F_SETFL, O_NONBLOCK);
  return fd;
}

// Reads what the agents have been sent until `until`; with `wanted`, stops as soon as the
// first agent has received it.
bool Drain(const std::vector<int>& agents, SteadyClock::time_point until,
           const std::string& wanted = "") {
  std::string first;
  char buffer[65536];
  while (SteadyClock::now() < until) {
    std::vector<pollfd> ready;
    for (const int fd : agents) ready.push_back({fd, POLLIN, 0});
    poll(ready.data(), ready.size(), 10);
    for (std::size_t i = 0; i < agents.size(); ++i) {
      const ssize_t n = read(agents[i], buffer, sizeof buffer);
      if (i == 0 && n > 0) first.append(buffer, static_cast<std::size_t>(n));
    }
    if (!wanted.empty() && first.find(wanted) != std::string::npos) return true;
  }
  return false;
}

// Each adapter's share of one core while `agents` are drained.
std::vector<double> CorePercents(const std::vector<const AdapterProcess*>& adapters,
                                 const std::vector<int>& agents) {
  Drain(agents, SteadyClock::now() + 1s);  // past the connection and the dumps
  std::vector<double> before;
  for (const AdapterProcess* adapter : adapters) before.push_back(adapter->CpuSeconds());
  const auto start = SteadyClock::now();
  Drain(agents, start + kMeasure);
  const double elapsed = std::chrono::duration<double>(SteadyClock::now() - start).count();
  std::vector<double> percents;
  for (std::size_t i = 0; i < adapters.size(); ++i)
    percents.push_back(100 * (adapters[i]->CpuSeconds() - before[i]) / elapsed);
  return percents;
}

double CorePercent(const AdapterProcess& adapter, const std::vector<int>& agents) {
  return CorePercents({&adapter}, agents).front();
}

// The busiest of 8 adapters, each polling a simulator of its own with one agent connected.
double ShopWorstPercent(double* mean) {
  std::vector<std::unique_ptr<vandir::test::Simulator>> sims;
  std::vector<std::unique_ptr<AdapterProcess>> adapters;
  std::vector<const AdapterProcess*> measured;
  std::vector<int> agents;
  for (int i = 0; i < kShopMachines; ++i) {
    sims.push_back(std::make_unique<vandir::test::Simulator>());
    adapters.push_back(std::make_unique<AdapterProcess>(sims.back()->Address()));
    measured.push_back(adapters.back().get());
    agents.push_back(ConnectAgent(adapters.back()->Port()));
  }
  const std::vector<double> percents = CorePercents(measured, agents);
  for (const int fd : agents) close(fd);
  *mean = 0;
  for (const double percent : percents) *mean += percent / kShopMachines;
  return *std::max_element(percents.begin(), percents.end());
}

}  // namespace

int main() {
  vandir::test::Simulator sim;  // its cycle runs: axes, feeds and counts keep changing
  AdapterProcess adapter(sim.Address());
  const double idle = CorePercent(adapter, {});
  std::vector<int> agents;
  for (int i = 0; i < kAgents; ++i) agents.push_back(ConnectAgent(adapter.Port()));
  const double served = CorePercent(adapter, agents);

  double worstMs = 0;
  for (int i = 0; i < 20; ++i) {
    const std::string tool = std::to_string(50 + i);
    sim.Command("set tcode " + tool);
    const auto set = SteadyClock::now();
    if (!Drain(agents, set + 2s, "|tool|" + tool)) {
      std::printf("adapter: the change of tool %s never arrived\n", tool.c_str());
      return 1;
    }
    worstMs = std::max(worstMs, std::chrono::duration<double, std::milli>(
                                    SteadyClock::now() - set).count());
  }
  for (const int fd : agents) close(fd);
  double shopMean = 0;
  const double shopWorst = ShopWorstPercent(&shopMean);

  const auto latencyGoal = 2 * kInterval + kAnswerAllowance;
  std::printf("adapter: no agent %.2f %% of one core, %d agents %.2f %% (goal < 2 %%)\n", idle,
              kAgents, served);
  std::printf("adapter: worst change latency %.1f ms at a %lld ms interval (goal < %lld ms)\n",
              worstMs, static_cast<long long>(kInterval.count()),
              static_cast<long long>(latencyGoal.count()));
  std::printf("adapter: %d adapters polling %d simulators: busiest %.2f %%, mean %.2f %% of one "
              "core each (goal < 2 %%)\n",
              kShopMachines, kShopMachines, shopWorst, shopMean);
  std::printf("ratio=%.3f\n", idle > 0 ? served / idle : 0.0);
  return served < 2.0 && shopWorst < 2.0 && worstMs < latencyGoal.count() ? 0 : 1;
}
