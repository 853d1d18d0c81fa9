// The maintenance service against the simulator: how long ConnectToMachine takes to reach
// OnConnect (goal under 2 s), and how much of one core a connected, idle service uses at
// the default 100 ms tick with the Work page's objects active (goal under 2 %).
#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <vector>

#include "bench/event_loop.h"
#include "service/talvo_info_codes.h"
#include "service/talvo_info_machine.h"
#include "service/talvo_info_position.h"
#include "service/talvo_info_tables.h"
#include "service/talvo_service.h"
#include "tests/support/simulator.h"

namespace {

using namespace std::chrono_literals;
using SteadyClock = std::chrono::steady_clock;
using talvo::bench::CpuSeconds;
using talvo::bench::RunUntil;

// The objects the main window keeps active on the Work page: group 1 and group 2.
std::vector<std::unique_ptr<talvo::TTalvoInfo>> WorkPageObjects() {
  using namespace talvo;
  std::vector<std::unique_ptr<TTalvoInfo>> objects;
  const auto add = [&](std::unique_ptr<TTalvoInfo> info, int group) {
    info->Group = group;
    objects.push_back(std::move(info));
  };
  add(std::make_unique<TTalvoInfo_StatusMode>(), 1);
  add(std::make_unique<TTalvoInfo_AlarmWarning>(), 1);
  add(std::make_unique<TTalvoInfo_GGroup>(), 1);
  add(std::make_unique<TTalvoInfo_Program>(), 2);
  add(std::make_unique<TTalvoInfo_WorkPiece>(), 2);
  add(std::make_unique<TTalvoInfo_WorkTime>(), 2);
  add(std::make_unique<TTalvoInfo_FeedRate>(), 2);
  add(std::make_unique<TTalvoInfo_SpindleSpeed>(), 2);
  add(std::make_unique<TTalvoInfo_MacroVariable>(), 2);
  for (int kind = 1; kind <= 8; ++kind) {
    auto code = std::make_unique<TTalvoInfo_GetCodeXX>();
    code->Kind = static_cast<ECodeKind>(kind);
    add(std::move(code), 2);
  }
  for (int kind = 1; kind <= 4; ++kind) {
    auto position = std::make_unique<TTalvoInfo_Position>();
    position->Kind = static_cast<EPositionKind>(kind);
    add(std::move(position), 2);
  }
  return objects;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  vandir::test::Simulator sim;
  const auto home = sim.Root().parent_path() / (sim.Root().filename().string() + "-bench");
  std::filesystem::create_directories(home / "Resource");
  talvo::TTalvoService service;
  bool connected = false;
  service.OnConnect = [&](talvo::TTalvoService*) { connected = true; };
  const auto connect = [&] {
    connected = false;
    service.ConnectToMachine(1, sim.Address(), -1, "", (home / "Resource").string(),
                             (home / "Ncfiles").string(), (home / "Resource" / "DspE.str").string(), 2);
    return RunUntil([&] { return connected; }, 10s);
  };

  std::vector<double> connectMs;
  for (int run = 0; run < 5; ++run) {
    const auto start = SteadyClock::now();
    if (!connect()) {
      std::fprintf(stderr, "no connection\n");
      return 1;
    }
    connectMs.push_back(std::chrono::duration<double, std::milli>(SteadyClock::now() - start).count());
    service.CloseConnect();
  }
  std::sort(connectMs.begin(), connectMs.end());
  std::printf("connect_ms median=%.0f max=%.0f goal=2000\n", connectMs[2], connectMs.back());

  auto objects = WorkPageObjects();
  int events = 0;
  for (auto& info : objects) {
    info->OnChange = [&](talvo::TTalvoInfo*) { ++events; };
    info->SetService(&service);
  }
  if (!connect()) return 1;
  service.AllInfoSetInactive();
  service.GroupInfoSetActive(1);
  service.GroupInfoSetActive(2);
  service.GroupInfoForceGetCNCInfo(2);
  constexpr auto kIdle = 10s;
  const double cpuBefore = CpuSeconds();
  const auto wallBefore = SteadyClock::now();
  QEventLoop idle;
  QTimer::singleShot(kIdle, &idle, &QEventLoop::quit);
  idle.exec();
  const double wall = std::chrono::duration<double>(SteadyClock::now() - wallBefore).count();
  const double percent = 100.0 * (CpuSeconds() - cpuBefore) / wall;
  std::printf("idle_cpu_percent=%.2f objects=%zu change_events=%d seconds=%.1f goal=2\n", percent,
              objects.size(), events, wall);
  objects.clear();
  service.CloseConnect();
  std::filesystem::remove_all(home);
  return 0;
}
