// The commands that run until they are stopped: serving the PC's folder on the DNC channel,
// and relaying third parties to the controller.
#include <filesystem>

#include "cli/commands.h"
#include "cli/errors.h"
#include "cli/output.h"
#include "cli/stop_signals.h"
#include "link/dnc/dnc_thread.h"
#include "link/transport.h"

namespace talvo::cli {

namespace {

namespace fs = std::filesystem;
using vandir::TVandirCNC;

// How often the server looks after the link between stop signals.
constexpr auto kWatchInterval = std::chrono::milliseconds(100);

// The root as the controller is told it: absolute, so that it names the same folder
// whatever the working directory, and ending with a separator.
std::string RootText(const std::string& root) {
  std::string text = fs::absolute(root).lexically_normal().string();
  if (!text.ends_with('/')) text += '/';
  return text;
}

}  // namespace

void Prepare(TVandirCNC& link, const Serve& command) {
  std::error_code error;
  if (!fs::is_directory(command.root, error))
    throw LocalFileError(command.root + ": no such folder");
  const std::string root = RootText(command.root);
  if (TVandirCNC::SetRootPath(root) != vandir::kOk || link.Set_DR_Save_Path(root) != vandir::kOk)
    throw LocalFileError(command.root + ": the folder name is too long");
}

void Run(Session& session, const Serve&, std::ostream& out) {
  TVandirCNC& link = session.Link();
  const vandir::DNC& channel = *link.DNCThread;
  session.Await([&] { return channel.DNCInService.load(); }, "the DNC channel");
  Report(out).Field("serving", TVandirCNC::RootPath());
  out.flush();
  while (!StopSignalWithin(kWatchInterval)) {
    if (!link.SendCMD->Connected) throw NotConnected();
    // The link leaves a channel the controller has dropped down; a server that is meant to
    // run unattended takes it up again, and the link then connects as soon as the
    // controller listens.
    if (!channel.DNCConnected && !channel.DNCInService) {
      link.DisableDNC();
      link.EnableDNC();
    }
  }
}

void Run(Session& session, const Relay& command, std::ostream& out) {
  if (session.Link().EnableRouter(command.localAddress) != vandir::kOk)
    throw Failure(ExitStatus::kConnection, "cannot listen on " + command.localAddress + " port " +
                                               std::to_string(vandir::kCommandPort));
  Report(out).Field("relaying", command.localAddress);
  out.flush();
  AwaitStopSignal();
  session.Link().DisableRouter();
}

}  // namespace talvo::cli
