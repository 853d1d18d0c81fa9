// The program as its user meets it: how soon the window is on screen, how long --connect
// takes to a complete connection (key parameters read, layout applied), and what the
// connected, idle program costs on the Work page. The baseline, measured in the same run, is
// the bare maintenance service reaching OnConnect against another simulator: ratio= says
// what the window adds to a connection. Goals: window under 1 s, connection under 2.5 s,
// idle under 3 % of one core and 150 MB resident.
#include <QApplication>
#include <QWindow>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/frame/program_windows.h"
#include "bench/event_loop.h"
#include "tests/support/simulator.h"

namespace {

using namespace std::chrono_literals;
using talvo::bench::CpuSeconds;
using talvo::bench::RunFor;
using talvo::bench::RunUntil;
using SteadyClock = std::chrono::steady_clock;

long ResidentKilobytes(const char* field) {
  std::ifstream status("/proc/self/status");
  std::string key;
  long value = 0;
  while (status >> key) {
    if (key == field) {
      status >> value;
      return value;
    }
    status.ignore(1 << 12, '\n');
  }
  return 0;
}

double Seconds(SteadyClock::duration d) { return std::chrono::duration<double>(d).count(); }

std::filesystem::path NewHome(const char* name) {
  const auto home = std::filesystem::temp_directory_path() /
                    (std::string("talvo-bench-") + name + "-" + std::to_string(::getpid()));
  std::filesystem::remove_all(home);
  std::filesystem::create_directories(home / "Resource");
  return home;
}

double ServiceConnectSeconds() {
  vandir::test::Simulator sim;
  const auto home = NewHome("service");
  talvo::TTalvoService service;
  bool connected = false;
  service.OnConnect = [&](talvo::TTalvoService*) { connected = true; };
  const auto start = SteadyClock::now();
  const std::string resource = home.string() + "/Resource/";
  service.ConnectToMachine(1, sim.Address(), -1, "", resource, home.string() + "/", resource + "DspE.str", 2);
  RunUntil([&] { return connected; }, 10s);
  const double seconds = Seconds(SteadyClock::now() - start);
  service.CloseConnect();
  std::filesystem::remove_all(home);
  return connected ? seconds : -1;
}

}  // namespace

int main(int argc, char** argv) {
  const auto processStart = SteadyClock::now();
  QApplication application(argc, argv);
  using namespace talvo::app;
  const auto home = NewHome("program");
  {
    vandir::test::Simulator sim;
    sim.Command("cycle on");
    TProgramWindows windows(home.string() + "/");
    TFormMain& window = windows.Main;
    window.show();
    RunUntil([&] { return window.windowHandle() && window.windowHandle()->isExposed(); }, 10s);
    QApplication::processEvents();  // the first paint
    const double onScreen = Seconds(SteadyClock::now() - processStart);

    bool completed = false;
    window.OnConnectionCompleted = [&] { completed = true; };
    const auto connectStart = SteadyClock::now();
    window.ConnectToAddress(sim.Address());
    RunUntil([&] { return completed; }, 30s);
    const double connect = Seconds(SteadyClock::now() - connectStart);

    RunFor(2s);  // the first page's forced read settles
    const double cpuBefore = CpuSeconds();
    const auto idleStart = SteadyClock::now();
    RunFor(10s);
    const double idleShare = (CpuSeconds() - cpuBefore) / Seconds(SteadyClock::now() - idleStart);
    const long resident = ResidentKilobytes("VmRSS:");
    const long peak = ResidentKilobytes("VmHWM:");

    const double baseline = ServiceConnectSeconds();
    std::printf("window_on_screen_s=%.3f (goal < 1)\n", onScreen);
    std::printf("connect_to_completion_s=%.3f (goal < 2.5)%s\n", connect,
                completed ? "" : " NOT COMPLETED");
    std::printf("idle_work_page_cpu_percent=%.2f (goal < 3)\n", idleShare * 100);
    std::printf("resident_mb=%.1f peak_mb=%.1f (goal < 150)\n", resident / 1024.0, peak / 1024.0);
    std::printf("service_connect_s=%.3f\n", baseline);
    std::printf("ratio=%.2f (program completion / bare service connect)\n", connect / baseline);
  }
  std::filesystem::remove_all(home);
  return 0;
}
