#include "cli/commands.h"

#include <filesystem>
#include <iostream>
#include <thread>

#include "cli/backup_folder.h"
#include "cli/errors.h"
#include "cli/output.h"
#include "cli/stop_signals.h"

namespace talvo::cli {

namespace {

// Before asking again when the controller had no record to give.
constexpr auto kRecordPause = std::chrono::milliseconds(20);

}  // namespace

ExitStatus Execute(const Invocation& invocation, std::ostream& out) {
  const Command& command = invocation.command;
  if (const auto* backup = std::get_if<Backup>(&command)) return Run(*backup, out);
  if (const auto* verify = std::get_if<Verify>(&command)) return Run(*verify, out);
  if (const auto* diff = std::get_if<Diff>(&command)) return Run(*diff, out);
  if (const auto* devices = std::get_if<DevicesXml>(&command)) return Run(*devices, out);
  if (const auto* plot = std::get_if<Plot>(&command)) return Run(*plot);
  const bool serve = std::holds_alternative<Serve>(command);
  const bool relay = std::holds_alternative<Relay>(command);
  const bool adapter = std::holds_alternative<Adapter>(command);
  // Before the session's link starts its threads, so that none of them takes the signals.
  if (serve || relay || adapter) BlockStopSignals();
  if (const auto* put = std::get_if<Put>(&command)) CheckBackupFolder(*put, std::cerr);
  if (const auto* get = std::get_if<Get>(&command)) CheckBackupFolder(*get, std::cerr);
  Session session;
  if (const auto* record = std::get_if<Record>(&command)) Prepare(session.Link(), *record);
  if (const auto* root = std::get_if<Serve>(&command)) Prepare(session.Link(), *root);
  // The router's clients log in themselves; a session of its own on the controller's
  // command port would only stand in their way. The adapter connects by itself.
  if (relay || adapter)
    session.Link().SetCNC_TCP_IP(invocation.host);
  else
    session.Connect(invocation.host, invocation.dnc || serve);
  std::visit(
      [&](const auto& c) {
        if constexpr (requires { Run(session, c, out); }) Run(session, c, out);
      },
      command);
  return ExitStatus::kSuccess;
}

void Prepare(vandir::TVandirCNC& link, const Record& command) {
  // The link drops records it cannot write without a word, so the folder is checked here.
  std::error_code error;
  if (!std::filesystem::is_directory(command.folder, error))
    throw LocalFileError(command.folder + ": no such folder");
  if (link.Set_DR_Save_Path(command.folder) != vandir::kOk)
    throw LocalFileError(command.folder + ": the folder name is too long");
  link.Set_DR_ChangeTimer(command.count);
}

// One request at a time: with several in flight, records beyond the count would start
// a second file.
void Run(Session& session, const Record& command, std::ostream& out) {
  vandir::TVandirCNC& link = session.Link();
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(command.seconds);
  while (std::chrono::steady_clock::now() < end &&
         link.Get_DR_Data() < static_cast<int>(command.count)) {
    const int recorded = link.Get_DR_Data();
    session.Request({&vandir::TVandirCNC::AskGetDRData}, "a data-recorder record");
    if (link.Get_DR_Data() == recorded) std::this_thread::sleep_for(kRecordPause);
  }
  Report(out).Field("recorded", link.Get_DR_Data());
}

}  // namespace talvo::cli
