// `backup`: the machine data of many machines, N at a time, each over its own connection,
// into new folders of a store that keeps every earlier backup as it was.
#include <sys/stat.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <thread>

#include "cli/commands.h"
#include "cli/fleet/fleet_progress.h"
#include "cli/fleet/machine_fetch.h"
#include "cli/fleet/machine_list.h"
#include "cli/fleet/summary_table.h"
#include "text/backup/store_names.h"
#include "text/durable_file.h"
#include "text/interface_language.h"
#include "text/screen_text.h"

namespace talvo::cli {
namespace {

namespace fs = std::filesystem;
using text::backup::SystemTime;
using SteadyClock = std::chrono::steady_clock;

// Backups started in the same second get "-2", "-3" ...; more than this many is a loop.
constexpr int kMostFoldersPerSecond = 1000;

enum class Outcome { kComplete, kIncomplete, kFailed, kUnreachable };

struct MachineReport {
  Outcome outcome = Outcome::kUnreachable;
  fs::path folder;
  std::size_t files = 0;
  std::size_t fetched = 0;
  std::uint64_t bytes = 0;
  double seconds = 0;
};

const char* OutcomeText(Outcome outcome) {
  switch (outcome) {
    case Outcome::kComplete: return "complete";
    case Outcome::kIncomplete: return "incomplete";
    case Outcome::kFailed: return "failed";
    case Outcome::kUnreachable: return "unreachable";
  }
  return "";
}

std::string Who(const FleetMachine& machine) {
  if (machine.address.empty() || machine.name == machine.address) return machine.name;
  return machine.name + " (" + machine.address + ")";
}

// A folder of its own for a backup started at `started`: never one that exists, so no earlier
// backup is merged into or overwritten. Empty, with `cause`, when none can be made.
fs::path NewBackupFolder(const fs::path& store, const FleetMachine& machine, SystemTime started,
                         std::string* cause) {
  const fs::path machineFolder =
      store / text::backup::SafeFolderName(machine.name,
                                           text::backup::SafeFolderName(machine.address, "machine"));
  std::error_code ec;
  fs::create_directories(machineFolder, ec);
  if (ec) {
    *cause = machineFolder.string() + ": " + ec.message();
    return {};
  }
  const std::string stamp = text::backup::FolderStamp(started);
  for (int n = 1; n <= kMostFoldersPerSecond; ++n) {
    const fs::path folder = machineFolder / (n == 1 ? stamp : stamp + "-" + std::to_string(n));
    if (::mkdir(folder.c_str(), 0777) == 0) return folder;
    if (errno != EEXIST) {
      *cause = folder.string() + ": " + std::strerror(errno);
      return {};
    }
  }
  *cause = machineFolder.string() + ": too many backups started in one second";
  return {};
}

class MachineBackup {
 public:
  MachineBackup(const FleetMachine& machine, const fs::path& store, FleetProgress& progress)
      : machine_(machine), store_(store), progress_(progress) {}

  MachineReport Run() {
    const auto start = SteadyClock::now();
    Attempt();
    report_.seconds = std::chrono::duration<double>(SteadyClock::now() - start).count();
    progress_.MachineDone();
    return report_;
  }

 private:
  void Say(const std::string& text) { progress_.Line(Who(machine_) + ": " + text); }

  void Attempt() {
    if (machine_.address.empty()) return Say("unreachable: no address in the machine list");
    const SystemTime started = std::chrono::system_clock::now();
    Session session;
    ControllerFiles plan;
    try {
      session.Connect(machine_.address, false);
      plan = PlanFiles(session);
    } catch (const Failure& failure) {
      return Say(std::string("unreachable: ") + failure.what());
    }
    report_.outcome = Outcome::kFailed;
    std::string cause;
    report_.folder = NewBackupFolder(store_, machine_, started, &cause);
    if (report_.folder.empty()) return Say("cannot store the backup: " + cause);
    report_.files = plan.files.size();
    progress_.FilesPlanned(plan.files.size());

    text::backup::Manifest manifest{machine_.name, machine_.address,
                                    text::ControllerBytesToUtf8(text::kEnglish, plan.version),
                                    text::backup::IsoTime(started), {}, {}};
    FetchAll(session, plan.files);
    manifest.files = std::move(plan.files);
    manifest.ended = text::backup::IsoTime(std::chrono::system_clock::now());
    // Last, so that a backup folder with a manifest is one whose every file was settled.
    cause = text::WriteDurably(report_.folder / text::backup::kManifestName,
                               text::backup::ManifestJson(manifest));
    if (!cause.empty()) return Say("cannot write " + (report_.folder / "manifest.json").string() + ": " + cause);
    report_.outcome = manifest.Complete() ? Outcome::kComplete : Outcome::kIncomplete;
  }

  void FetchAll(Session& session, std::vector<text::backup::ManifestFile>& files) {
    std::size_t lost = 0;
    bool connected = true;
    for (text::backup::ManifestFile& file : files) {
      if (!connected) {
        MarkNotFetched(file);
        ++lost;
      } else if (const ExitStatus status = FetchFile(session, report_.folder, file, [](int) {});
                 status == ExitStatus::kSuccess) {
        ++report_.fetched;
        report_.bytes += file.size;
        Say(file.name + " " + std::to_string(file.size) + " bytes");
      } else {
        Say(file.name + " failed: " + file.error);
        // The link may not have noticed yet; a transfer broken off says enough.
        connected = status != ExitStatus::kConnection;
      }
      progress_.FileDone();
    }
    if (lost > 0) Say(std::to_string(lost) + " more files not fetched: the connection was lost");
  }

  const FleetMachine& machine_;
  const fs::path& store_;
  FleetProgress& progress_;
  MachineReport report_;
};

std::string SecondsText(double seconds) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f s", seconds);
  return text;
}

}  // namespace

ExitStatus Run(const Backup& command, std::ostream& out) {
  const std::vector<FleetMachine> machines = MachinesToBackUp(command);
  std::vector<MachineReport> reports(machines.size());
  {
    FleetProgress progress(stderr, machines.size());
    std::atomic<std::size_t> next{0};
    const auto work = [&] {
      for (std::size_t i; (i = next++) < machines.size();)
        reports[i] = MachineBackup(machines[i], command.store, progress).Run();
    };
    std::vector<std::jthread> workers;
    for (std::size_t n = 0; n < std::min<std::size_t>(command.jobs, machines.size()); ++n)
      workers.emplace_back(work);
  }
  SummaryTable table({"MACHINE", "ADDRESS", "FILES", "BYTES", "TIME", "RESULT", "FOLDER"});
  std::size_t notComplete = 0;
  for (std::size_t i = 0; i < machines.size(); ++i) {
    const MachineReport& r = reports[i];
    if (r.outcome != Outcome::kComplete) ++notComplete;
    table.Add({machines[i].name, machines[i].address,
               std::to_string(r.fetched) + "/" + std::to_string(r.files), std::to_string(r.bytes),
               SecondsText(r.seconds), OutcomeText(r.outcome),
               r.folder.empty() ? "-" : r.folder.string()});
  }
  out << table.Text();
  if (notComplete == 0) return ExitStatus::kSuccess;
  out.flush();
  std::fprintf(stderr, "talvo-cli: %zu of %zu machines not backed up completely\n", notComplete,
               machines.size());
  return ExitStatus::kIncomplete;
}

}  // namespace talvo::cli
