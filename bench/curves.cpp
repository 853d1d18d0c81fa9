// The curves' costs. Live: the connected program idle on the Work page at the default tick
// (the baseline, measured in the same run), then with the Trends window open on eight curves
// over a 10-minute span, its ring full of samples: what the window adds must stay under 3 %
// of one core. Recorder: a file of 100 000 records by 8 channels read, plotted and drawn into
// a picture, under 1 s; its baseline is reading the file's bytes alone.
#include <QApplication>
#include <QChart>
#include <QDateTime>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/curves/chart_export.h"
#include "app/curves/recorder_plot.h"
#include "app/curves/trend_window.h"
#include "app/frame/program_windows.h"
#include "bench/event_loop.h"
#include "tests/support/simulator.h"
#include "text/durable_file.h"

namespace {

using namespace std::chrono_literals;
using talvo::bench::CpuSeconds;
using talvo::bench::RunFor;
using talvo::bench::RunUntil;
using SteadyClock = std::chrono::steady_clock;

double Seconds(SteadyClock::duration d) { return std::chrono::duration<double>(d).count(); }

double CpuShareOver(std::chrono::seconds time) {
  const double cpuBefore = CpuSeconds();
  const auto start = SteadyClock::now();
  RunFor(time);
  return (CpuSeconds() - cpuBefore) / Seconds(SteadyClock::now() - start);
}

// A recorder table as the link writes it: 8 channels, values that wander.
void WriteRecorderFile(const std::filesystem::path& path, int records) {
  std::string text = "     ID       Isr Time  Location";
  const char letters[] = "XYZABCUV";
  for (int c = 0; c < 8; ++c) text += " " + std::string(1, letters[c]) + std::to_string(c + 1) + "   ";
  text += "\r\n" + std::string(31 + 6 * 8, '=') + "\r\n";
  char line[256];
  for (int r = 0; r < records; ++r) {
    int n = std::snprintf(line, sizeof line, "%10d   %10d     %3d   ", r + 1, 118 + r % 7, r % 40);
    for (int c = 0; c < 8; ++c)
      n += std::snprintf(line + n, sizeof line - static_cast<std::size_t>(n), " %-4d ",
                         (r * (c + 1)) % 20000 - 10000);
    text.append(line, static_cast<std::size_t>(n)).append("\r\n");
  }
  std::ofstream(path, std::ios::binary) << text;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  using namespace talvo::app;
  const auto home = std::filesystem::temp_directory_path() /
                    ("talvo-bench-curves-" + std::to_string(::getpid()));
  std::filesystem::create_directories(home / "Resource");
  {
    vandir::test::Simulator sim;
    sim.Command("cycle on");
    TProgramWindows windows(home.string() + "/");
    TFormMain& window = windows.Main;
    window.show();
    bool completed = false;
    window.OnConnectionCompleted = [&] { completed = true; };
    window.ConnectToAddress(sim.Address());
    if (!RunUntil([&] { return completed; }, 30s)) {
      std::fprintf(stderr, "no connection\n");
      return 1;
    }
    RunFor(2s);
    const double idle = CpuShareOver(10s);

    TTrendWindow& trends = window.TrendWindow();
    trends.SetSpanMinutes(10);
    trends.show();
    // Ten minutes of samples at ten a second, as after the window has run that long.
    const std::int64_t now = QDateTime::currentMSecsSinceEpoch();
    for (int i = 0; i < 6000; ++i) trends.Sampler().Sample(now - 600000 + 100 * i);
    RunFor(2s);
    const double withTrends = CpuShareOver(10s);
    std::printf("work_page_idle_cpu_percent=%.2f\n", idle * 100);
    std::printf("with_trends_cpu_percent=%.2f curves=%d samples=%zu drawn_points=%d\n",
                withTrends * 100, trends.Sampler().Log().CurveCount(), trends.Sampler().Log().Size(),
                trends.DrawnPoints());
    std::printf("trends_added_cpu_percent=%.2f (goal < 3)\n", (withTrends - idle) * 100);
    std::printf("ratio=%.2f (with trends / idle)\n", withTrends / idle);
  }

  const auto file = home / "20250101120000";
  WriteRecorderFile(file, 100000);
  const auto readStart = SteadyClock::now();
  const auto bytes = talvo::text::ReadWhole(file);
  const double readSeconds = Seconds(SteadyClock::now() - readStart);
  const auto start = SteadyClock::now();
  TRecorderPlot plot;
  plot.SetTables({talvo::text::ReadRecorderTable(file)});
  const auto parsed = SteadyClock::now();
  plot.Choose(plot.ChannelNames(), ERecorderAxis::Record);
  const QSize size(1200, 700);
  plot.Chart().setGeometry(QRectF(QPointF(0, 0), size));
  plot.ShowAll(size.width());
  const QImage image = RenderChart(plot.Chart(), size);
  const double total = Seconds(SteadyClock::now() - start);
  std::printf("recorder_file_mb=%.1f records=%zu channels=%d drawn_points=%d image=%dx%d\n",
              bytes ? bytes->size() / 1e6 : 0.0, plot.Points(), static_cast<int>(plot.Chosen().size()),
              plot.DrawnPoints(), image.width(), image.height());
  std::printf("recorder_parse_ms=%.0f open_and_draw_ms=%.0f (goal < 1000)\n",
              Seconds(parsed - start) * 1000, total * 1000);
  std::printf("ratio=%.2f (open and draw / reading the bytes alone)\n", total / readSeconds);
  std::filesystem::remove_all(home);
  return 0;
}
