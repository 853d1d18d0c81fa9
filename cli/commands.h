// The commands. Each controller command runs on a logged-in session, writes its report to
// `out` and throws a Failure when it cannot finish.
#pragma once

#include <ostream>

#include "cli/arguments.h"
#include "cli/errors.h"
#include "cli/session.h"

namespace talvo::cli {

// A controller command connects, runs and logs out again; a fleet command meets its
// machines by itself. Failures are thrown; a command that ends with a verdict (a fleet
// command's "incomplete", "damaged", "different") returns it as its exit status.
ExitStatus Execute(const Invocation& invocation, std::ostream& out);

// The fleet commands (fleet/). Progress and the causes of failures go to stderr.
ExitStatus Run(const Backup& command, std::ostream& out);
ExitStatus Run(const Verify& command, std::ostream& out);
ExitStatus Run(const Diff& command, std::ostream& out);
// The shop's MTConnect description (adapter/devices_command.cpp): a machine that cannot be
// asked for its key parameters is described by the controller's defaults and makes the
// status kConnection.
ExitStatus Run(const DevicesXml& command, std::ostream& out);
// The recorder plot (plot_command.cpp): runs talvo-plot in this process's place.
ExitStatus Run(const Plot& command);

// Machine data (read_commands.cpp).
void Run(Session& session, const Status& command, std::ostream& out);
void Run(Session& session, const Params& command, std::ostream& out);
void Run(Session& session, const DiskFree& command, std::ostream& out);
void Run(Session& session, const Hardware& command, std::ostream& out);
void Run(Session& session, const Version& command, std::ostream& out);

// Writes to the controller (write_commands.cpp).
void Run(Session& session, const SetParam& command, std::ostream& out);
void Run(Session& session, const Message& command, std::ostream& out);

// Controller files (file_commands.cpp).
void Run(Session& session, const List& command, std::ostream& out);
void Run(Session& session, const Get& command, std::ostream& out);
void Run(Session& session, const Put& command, std::ostream& out);
void Run(Session& session, const Remove& command, std::ostream& out);
void Run(Session& session, const Move& command, std::ostream& out);
void Run(Session& session, const MakeDir& command, std::ostream& out);
void Run(Session& session, const RemoveDir& command, std::ostream& out);

// The data recorder (commands.cpp): it is set up before the connection is made.
void Prepare(vandir::TVandirCNC& link, const Record& command);
void Run(Session& session, const Record& command, std::ostream& out);

// The long-running commands (long_running.cpp): they run until SIGINT or SIGTERM, having
// printed one line when they start to serve. The DNC root is set before the connection is
// made; the router runs without a connection of its own.
void Prepare(vandir::TVandirCNC& link, const Serve& command);
void Run(Session& session, const Serve& command, std::ostream& out);
void Run(Session& session, const Relay& command, std::ostream& out);
// The MTConnect adapter (adapter/adapter_command.cpp) keeps its own connection, made again
// whenever it is lost.
void Run(Session& session, const Adapter& command, std::ostream& out);

}  // namespace talvo::cli
