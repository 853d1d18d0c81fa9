// The Position page of a connected milling controller: what one poll cycle of the page's
// objects (five boxes, seven offset columns, 300 extended sets in 15 blocks, eight tool
// values and the TDC times in 10 blocks each) costs the main thread, and what the page
// costs while it just stays open. The full cycle is the worst case: every block reports a
// change and every cell gets a new text (the grids are emptied first), then the pass ends
// and the views repaint. Goals: a poll cycle under 10 ms, idle under 5 % of one core. With
// any argument the machine stands still, so only the polling itself costs.
#include <QApplication>
#include <QTabWidget>

#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "app/frame/info_objects.h"
#include "app/frame/program_windows.h"
#include "app/pages/page.h"
#include "app/pages/position_page.h"
#include "bench/event_loop.h"
#include "tests/support/simulator.h"

namespace {

using namespace std::chrono_literals;
using namespace talvo::app;
using talvo::bench::CpuSeconds;
using talvo::bench::RunFor;
using talvo::bench::RunUntil;

double ThreadMs() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

// Gives every offset and tool a value of its own, so no cell shows what another shows.
void FillController(vandir::test::Simulator& sim) {
  sim.Command("position base 1 2 3 4 5 6");
  for (int g = 54; g <= 59; ++g)
    sim.Command("position g" + std::to_string(g) + " " + std::to_string(g) + " 1 2 3 4 5");
  for (int n = 1; n <= 300; ++n) {
    const std::string v = std::to_string(n * 10);
    sim.Command("position g54p" + std::to_string(n) + " " + v + " -" + v + " 1 2 3 4");
  }
  const char* fields[] = {"radius",  "length1", "length2", "length3", "length4",
                          "length5", "length6", "tdc"};
  for (int tool = 1; tool < 100; ++tool) {
    for (const char* field : fields)
      sim.Command("tool " + std::to_string(tool) + " " + field + " " + std::to_string(tool * 125));
    sim.Command("tool " + std::to_string(tool) + " tdc-time " + std::to_string(tool) + ".5");
  }
}

void EmptyCells(StringGrid& grid) {
  grid.BeginUpdate();
  for (int row = 1; row < grid.RowCount(); ++row)
    for (int col = grid.FixedCols(); col < grid.ColCount(); ++col) grid.SetCell(col, row, {});
  grid.EndUpdate();
}

struct Figures {
  double mean = 0, worst = 0;
};

template <class Cycle>
Figures Measure(int rounds, Cycle cycle) {
  std::vector<double> ms;
  for (int i = 0; i < rounds; ++i) ms.push_back(cycle());
  Figures f;
  for (double m : ms) f.mean += m / rounds;
  f.worst = *std::max_element(ms.begin(), ms.end());
  return f;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  const auto home = std::filesystem::temp_directory_path() /
                    ("talvo-bench-position-" + std::to_string(::getpid()));
  std::filesystem::create_directories(home / "Resource");
  {
    vandir::test::Simulator sim;
    FillController(sim);
    sim.Command(argc < 2 ? "cycle on" : "cycle off");
    TProgramWindows windows(home.string() + "/");
    TFormMain& window = windows.Main;
    window.resize(1280, 960);
    window.show();
    bool completed = false;
    window.OnConnectionCompleted = [&] { completed = true; };
    window.ConnectToAddress(sim.Address());
    RunUntil([&] { return completed; }, 30s);
    auto* page = window.findChild<TPositionPage*>("TabSheetPos");
    window.findChild<QTabWidget*>("PageControlMain")->setCurrentWidget(page);
    const bool filled = RunUntil(
        [&] { return page->StringGridOffsetSetCoord->Cell(306, 1) == "0.3000"; }, 30s);
    RunFor(1s);

    std::vector<talvo::TTalvoInfo*> objects;
    for (talvo::TTalvoInfo* info : window.Infos().All())
      if (info->Group == page_tag::kPosition && info->GetService() != nullptr) objects.push_back(info);
    for (TTCoordBox* box : page->CoordBoxes) objects.push_back(&box->Position());

    const auto cycle = [&](bool force) {
      const double start = ThreadMs();
      for (talvo::TTalvoInfo* info : objects) info->Refresh(force);
      QApplication::processEvents();  // the pass ends, the views repaint
      return ThreadMs() - start;
    };
    const Figures full = Measure(20, [&] {
      for (StringGrid* grid : {page->StringGridOffsetSetCoord, page->gridMTools, page->StringGridTDC})
        EmptyCells(*grid);
      QApplication::processEvents();
      return cycle(true);
    });
    const Figures quiet = Measure(50, [&] { return cycle(false); });

    RunFor(1s);
    const double cpuBefore = CpuSeconds();
    const double mainBefore = ThreadMs();
    const long requestsBefore = sim.Stats()["requests"];
    const auto idleStart = std::chrono::steady_clock::now();
    RunFor(10s);
    const double idleSeconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - idleStart).count();
    const double idleShare = (CpuSeconds() - cpuBefore) / idleSeconds;
    const double mainShare = (ThreadMs() - mainBefore) / 1e3 / idleSeconds;
    const long requests = sim.Stats()["requests"] - requestsBefore;

    std::printf("objects_polled=%zu filled=%s\n", objects.size(), filled ? "yes" : "NO");
    std::printf("full_poll_cycle_ms mean=%.2f worst=%.2f (goal < 10)\n", full.mean, full.worst);
    std::printf("quiet_poll_cycle_ms mean=%.3f worst=%.3f\n", quiet.mean, quiet.worst);
    std::printf("idle_position_page_cpu_percent=%.2f (goal < 5) main_thread_percent=%.2f\n",
                idleShare * 100, mainShare * 100);
    std::printf("requests_per_s=%.0f\n", requests / idleSeconds);
  }
  std::filesystem::remove_all(home);
  return 0;
}
