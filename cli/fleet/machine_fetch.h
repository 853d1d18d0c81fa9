// The machine data of one connected controller fetched into a PC folder: the files of every
// category of the Machine page (the tool files by the controller's machine type) and its
// English display strings, which name the parameters when backups are compared. Each file
// is checked as it lands: its size and SHA-256 go into the backup's manifest.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "cli/errors.h"
#include "cli/session.h"
#include "cli/transfer.h"
#include "text/backup/manifest.h"

namespace talvo::cli {

inline constexpr const char* kDisplayStringsCategory = "display-strings";

// The controller's software information and the files it is to give, each an entry of the
// manifest still without its outcome. Throws a Failure when the controller does not say.
struct ControllerFiles {
  std::string version;
  std::vector<text::backup::ManifestFile> files;
};
ControllerFiles PlanFiles(Session& session);

// Fetches `file` into `folder` under its name and fills in its size and digest, or its error.
// A file that did not come whole leaves nothing under its name. The status is why it did
// not come (kSuccess when it did).
ExitStatus FetchFile(Session& session, const std::filesystem::path& folder,
                     text::backup::ManifestFile& file, const TransferProgress& progress);

// The entry of a file the backup did not ask for, the connection being lost.
void MarkNotFetched(text::backup::ManifestFile& file);

}  // namespace talvo::cli
