// Fleet backups as a shop runs them: `talvo-cli backup --jobs 8` of 8 simulators on 8
// loopback addresses, timed against the backup of one of them alone in the same run (goal:
// at most 1.5 times as long); and the comparison of two backups of 2001 parameters each, in
// the process and as `talvo-cli diff` runs it (goal: under 0.2 s). The simulators stand in for
// controllers but run on the PC's own cores, so the processor time of client and simulators is
// printed too: on few cores it, not the network, bounds the parallel backup. A second round
// lets the simulators answer a millisecond late, as controllers on a network do.
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <thread>
#include <string>
#include <vector>

#include "tests/support/file_bytes.h"
#include "tests/support/simulator.h"
#include "text/backup/comparison.h"

namespace {

namespace fs = std::filesystem;
using SteadyClock = std::chrono::steady_clock;
constexpr int kMachines = 8;
constexpr int kRounds = 3;

double Seconds(SteadyClock::duration d) { return std::chrono::duration<double>(d).count(); }

// The best of `kRounds` runs: the figure least disturbed by whatever else the PC does.
template <class Run>
double Best(Run run) {
  double best = 1e9;
  for (int i = 0; i < kRounds; ++i) {
    const auto start = SteadyClock::now();
    run();
    best = std::min(best, Seconds(SteadyClock::now() - start));
  }
  return best;
}

// Processor seconds of this process's children: every talvo-cli run waited for, and the
// simulators still running.
struct Cpu {
  double client = 0, simulators = 0;
  Cpu operator-(const Cpu& o) const { return {client - o.client, simulators - o.simulators}; }
};

Cpu ChildrenCpu() {
  rusage usage{};
  getrusage(RUSAGE_CHILDREN, &usage);
  Cpu cpu{static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
              static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6,
          0};
  const double tick = static_cast<double>(sysconf(_SC_CLK_TCK));
  for (const auto& entry : fs::directory_iterator("/proc")) {
    std::ifstream stat(entry.path() / "stat");
    std::string line;
    if (!std::getline(stat, line) || line.find("(vandir-sim)") == std::string::npos) continue;
    std::istringstream fields(line.substr(line.rfind(')') + 2));
    std::string state;
    long parent = 0;
    fields >> state >> parent;
    if (parent != ::getpid()) continue;
    std::string skip;
    for (int i = 0; i < 9; ++i) fields >> skip;  // pgrp .. cmajflt
    long user = 0, system = 0;
    fields >> user >> system;
    cpu.simulators += static_cast<double>(user + system) / tick;
  }
  return cpu;
}

int Shell(const std::string& command) { return std::system((command + " >/dev/null 2>&1").c_str()); }

std::string Backup(const fs::path& store, const std::vector<std::string>& hosts, int jobs) {
  std::string command = std::string("'") + TALVO_CLI + "' backup --store '" + store.string() +
                        "' --jobs " + std::to_string(jobs);
  for (const std::string& host : hosts) command += " " + host;
  return command;
}

fs::path OnlyBackup(const fs::path& machineFolder) { return fs::directory_iterator(machineFolder)->path(); }

}  // namespace

int main() {
  const fs::path work = fs::temp_directory_path() / ("talvo-bench-fleet-" + std::to_string(::getpid()));
  fs::remove_all(work);
  std::vector<std::unique_ptr<vandir::test::Simulator>> sims;
  std::vector<std::string> hosts;
  for (int i = 0; i < kMachines; ++i) {
    sims.push_back(std::make_unique<vandir::test::Simulator>());
    hosts.push_back(sims.back()->Address());
  }
  int failures = 0;
  int round = 0;
  // One machine alone, then all of them at once, with the simulators answering at once (the
  // processor bounds it here) and as a controller on a shop network would, a millisecond
  // after each request.
  for (const int replyMs : {0, 1}) {
    for (auto& sim : sims) sim->Command("stall " + std::to_string(replyMs));
    const std::string tag = "reply_" + std::to_string(replyMs) + "ms_";
    Cpu mark = ChildrenCpu();
    const double one = Best([&] { failures += Shell(Backup(work / ("one" + std::to_string(round++)), {hosts[0]}, 1)); });
    const Cpu cpuOne = ChildrenCpu() - mark;
    mark = ChildrenCpu();
    const double all = Best([&] { failures += Shell(Backup(work / ("all" + std::to_string(round++)), hosts, kMachines)); });
    const Cpu cpuAll = ChildrenCpu() - mark;
    std::printf("%sbackup_one_machine_s=%.3f %sbackup_8_machines_jobs_8_s=%.3f ratio=%.2f (goal <= 1.5)\n",
                tag.c_str(), one, tag.c_str(), all, all / one);
    std::printf("  cpu per run: one machine client=%.3f s simulator=%.3f s; 8 machines client=%.3f s "
                "simulators=%.3f s; on %u cores the 8 need at least %.3f s\n",
                cpuOne.client / kRounds, cpuOne.simulators / kRounds, cpuAll.client / kRounds,
                cpuAll.simulators / kRounds, std::thread::hardware_concurrency(),
                (cpuAll.client + cpuAll.simulators) / kRounds / std::thread::hardware_concurrency());
  }
  for (auto& sim : sims) sim->Command("stall 0");
  const double serial = Best([&] { failures += Shell(Backup(work / ("serial" + std::to_string(round++)), hosts, 1)); });
  std::printf("backup_8_machines_jobs_1_s=%.3f (for scale)\n", serial);
  std::printf("failures=%d\n", failures);

  // Two backups of one machine, 100 of its 2001 parameters changed between them.
  const fs::path before = OnlyBackup(work / "one0" / hosts[0]);
  const fs::path after = work / "after";
  fs::copy(before, after);
  std::string parameters = vandir::test::ReadBytes(after / "PARAM.BIN");
  for (int n = 1; n <= 2000; n += 20) parameters[4 * static_cast<std::size_t>(n)] ^= 0x5A;
  fs::remove(after / "manifest.json");  // a folder without one counts with every file in it
  vandir::test::WriteBytes(after / "PARAM.BIN", parameters);
  std::size_t lines = 0;
  const double inProcess = Best([&] {
    std::string error;
    const auto a = talvo::text::backup::ReadBackupSide(before, &error);
    const auto b = talvo::text::backup::ReadBackupSide(after, &error);
    if (!a || !b) std::abort();
    lines = talvo::text::backup::ComparisonLines(talvo::text::backup::Compare(*a, *b)).size();
  });
  const std::string diff = std::string("'") + TALVO_CLI + "' diff '" + before.string() + "' '" + after.string() + "'";
  const double process = Best([&] { Shell(diff); });
  std::printf("diff_2001_parameters_s=%.4f lines=%zu (in the process; goal < 0.2)\n", inProcess, lines);
  std::printf("diff_2001_parameters_talvo_cli_s=%.4f (the whole command)\n", process);
  sims.clear();
  fs::remove_all(work);
  return failures == 0 ? 0 : 1;
}
