// `talvo-cli adapter`: serves the controller's live state to MTConnect agents until SIGINT
// or SIGTERM.
#include "cli/adapter/adapter.h"
#include "cli/commands.h"
#include "cli/errors.h"
#include "cli/output.h"
#include "cli/stop_signals.h"

namespace talvo::cli {

void Run(Session& session, const Adapter& command, std::ostream& out) {
  vandir::TVandirCNC& link = session.Link();
  adapter::AdapterOptions options;
  options.port = command.port;
  options.listenAddress = command.bind;
  options.times.interval = command.interval;
  std::optional<adapter::Adapter> served;
  try {
    served.emplace(link, link.GetCNC_TCP_IP(), options);
  } catch (const std::system_error& error) {
    const std::string where = command.bind.empty() ? "" : " of " + command.bind;
    throw Failure(ExitStatus::kConnection, "cannot listen on port " +
                                               std::to_string(command.port) + where + ": " +
                                               error.code().message());
  }
  Report(out).Field("adapter_port", served->Port());
  out.flush();
  served->Run(StopSignalWithin);
}

}  // namespace talvo::cli
