// A machine-data backup as the user runs it: every category fetched through the Machine page
// and the service, timed against fetching the same files with `talvo-cli get` one after
// another in the same run (a connection each, as a backup script does; the program is
// disconnected meanwhile, since the simulator serves one client at a time). The page and the
// service may add at most one process tick per file over the transfers themselves. Also: a
// 200-file controller folder listed into the NC files frame, goal under 1 s.
#include <QApplication>
#include <QLineEdit>

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/frame/message_box.h"
#include "app/frame/program_windows.h"
#include "app/pages/machine_page.h"
#include "bench/event_loop.h"
#include "tests/support/simulator.h"

namespace {

using namespace std::chrono_literals;
using talvo::bench::RunUntil;
using SteadyClock = std::chrono::steady_clock;
namespace fs = std::filesystem;

double Seconds(SteadyClock::duration d) { return std::chrono::duration<double>(d).count(); }

fs::path NewHome(const char* name) {
  const auto home = fs::temp_directory_path() /
                    (std::string("talvo-bench-") + name + "-" + std::to_string(::getpid()));
  fs::remove_all(home);
  fs::create_directories(home / "Resource");
  return home;
}

// The names and local files of the finished backup's commands.
std::vector<std::string> ControllerFiles(talvo::TTalvoService& service) {
  std::vector<std::string> names;
  for (int i = 0; i < service.GetCmdListCount(); ++i) names.push_back(service.GetCmdListItems(i)->Name2);
  return names;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  using namespace talvo::app;
  const fs::path home = NewHome("backup");
  int boxes = 0;
  SetMessageBoxAnswerer([&](const TMessageBox& box) {
    ++boxes;
    return box.defaultButton;
  });
  {
    vandir::test::Simulator sim;
    sim.Command("cycle off");
    sim.Command("set status 0");
    for (int i = 0; i < 200; ++i) {
      char name[16];
      std::snprintf(name, sizeof name, "O%04d.NC", i);
      std::ofstream(sim.Root() / "C" / "NCFILES" / name) << "G0 X" << i << "\n";
    }
    TProgramWindows windows(home.string() + "/");
    TFormMain& window = windows.Main;
    bool completed = false;
    window.OnConnectionCompleted = [&] { completed = true; };
    window.ConnectToAddress(sim.Address());
    RunUntil([&] { return completed; }, 30s);
    RunUntil([&] { return window.Infos().StatusMode.Status() == 0; }, 5s);
    const int tick = window.Service().GetProcessInterval();

    auto* machine = static_cast<TMachinePage*>(window.PageByTag(9));
    const auto backupStart = SteadyClock::now();
    machine->ButtonDownloadMachineFilesClick();
    const bool finished = RunUntil(
        [&] { return boxes > 0 && window.Service().GetProcessKind() == talvo::pkGetInformation; }, 60s);
    const double page = Seconds(SteadyClock::now() - backupStart);
    const std::vector<std::string> files = ControllerFiles(window.Service());

    // The simulator serves one client at a time: the program steps aside for the client.
    window.Service().CloseConnect();
    const fs::path cliFolder = home / "cli";
    fs::create_directories(cliFolder);
    const auto cliStart = SteadyClock::now();
    int cliFailures = 0;
    for (const std::string& remote : files) {
      const std::string local = (cliFolder / remote.substr(remote.find_last_of('\\') + 1)).string();
      const std::string command = std::string("'") + TALVO_CLI + "' --host " + sim.Address() +
                                  " get '" + remote + "' '" + local + "' >/dev/null 2>&1";
      cliFailures += std::system(command.c_str()) != 0;
    }
    const double cli = Seconds(SteadyClock::now() - cliStart);

    // The NC files page: shown, its controller folder read and listed.
    completed = false;
    window.ConnectToAddress(sim.Address());
    RunUntil([&] { return completed; }, 30s);
    boxes = 0;
    auto* count = window.findChild<QLineEdit*>("EditNCFileCount");
    const auto listStart = SteadyClock::now();
    window.PageControl()->setCurrentWidget(window.PageByTag(10));
    // The service asks for each portion of the listing as soon as the last has arrived; the
    // frame's own part is what follows the last portion.
    SteadyClock::time_point read{};
    const bool listed = RunUntil(
        [&] {
          if (read == SteadyClock::time_point{} &&
              window.Service().GetProcessKind() == talvo::pkGetInformation && window.Activity() == maNCFiles)
            read = SteadyClock::now();
          return count->text() == "200";
        },
        10s);
    const double listing = Seconds(SteadyClock::now() - listStart);
    const double shown = Seconds(SteadyClock::now() - read);

    const double files_n = static_cast<double>(files.size());
    std::printf("backup_files=%zu%s cli_failures=%d\n", files.size(), finished ? "" : " NOT FINISHED",
                cliFailures);
    std::printf("page_backup_s=%.3f files_per_s=%.1f\n", page, files_n / page);
    std::printf("cli_get_s=%.3f files_per_s=%.1f\n", cli, files_n / cli);
    std::printf("ratio=%.2f (page backup / talvo-cli get one by one)\n", page / cli);
    std::printf("page_minus_cli_per_file_ms=%.1f (limit: one tick = %d ms)\n",
                (page - cli) / files_n * 1000, tick);
    std::printf("ncfiles_listing_200_s=%.3f%s (goal < 1; 11 entries a portion)\n", listing,
                listed ? "" : " NOT LISTED");
    std::printf("ncfiles_rows_shown_after_read_s=%.3f\n", shown);
  }
  SetMessageBoxAnswerer(nullptr);
  fs::remove_all(home);
  return 0;
}
