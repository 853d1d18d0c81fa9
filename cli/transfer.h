// A file transfer from its start to its end: the link runs it on its transport thread, the
// command waits for it here and turns its outcome into a Failure.
#pragma once

#include <functional>
#include <string>

#include "cli/errors.h"
#include "cli/session.h"

namespace talvo::cli {

// Told the job's percentage as it moves.
using TransferProgress = std::function<void(int percent)>;

// Copies a controller file to `local`, which the link replaces only once the whole file
// arrived. Throws a Failure naming the cause when the file does not come.
void Download(Session& session, const std::string& remote, const std::string& local,
              const TransferProgress& progress);
// Copies `local` to the controller; an existing file is replaced only with `overwrite`.
void Upload(Session& session, const std::string& local, const std::string& remote,
            bool overwrite, const TransferProgress& progress);

}  // namespace talvo::cli
