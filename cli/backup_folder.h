// Files sent from, or fetched into, a folder that an unfinished machine-data backup left
// marked (BACKUP-INCOMPLETE.txt). Checked before anything connects.
#pragma once

#include <ostream>

#include "cli/arguments.h"

namespace talvo::cli {

// A put of a file that the unfinished backup did not fetch is refused: what the folder holds
// of it is an older copy, or nothing. Any other put from such a folder, and a get into one,
// is done with a warning line on `warnings`.
void CheckBackupFolder(const Put& command, std::ostream& warnings);
void CheckBackupFolder(const Get& command, std::ostream& warnings);

}  // namespace talvo::cli
