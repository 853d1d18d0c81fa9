// The job of a setup upload: a PC folder with all its files and sub-folders, depth first,
// into the controller's staging folder.
#pragma once

#include <string>
#include <vector>

#include "app/pages/file_job_steps.h"

namespace talvo::app {

struct TSetupJob {
  std::vector<TFileJobStep> steps;
  // Files and folders whose names could reach another folder on the controller: left out,
  // a folder with everything in it.
  std::vector<TRefusedName> refused;
  // Folders (or entries) that could not be read, each with the reason: the tree is then not
  // known whole.
  std::vector<std::string> unreadable;
};

// Appends the tree of `pcFolder` (ending in '/') into `ncFolder` (ending in '\'): the files of
// a folder, then each sub-folder made and filled in turn. Names come in name order. Folders
// reached through a link are left out, so a link back up the tree cannot repeat it forever.
void QueueFolderTree(const std::string& pcFolder, const std::string& ncFolder, TSetupJob& job);

// The whole upload: the staging folder made, then the tree of `setupFolder` into it. An
// empty folder gives the staging folder alone; a missing one is unreadable.
TSetupJob SetupUploadSteps(const std::string& setupFolder);

}  // namespace talvo::app
