// The machine data files of a backup or restore: the eleven categories, which files make up
// each (built in, or named in the settings), and the job that copies the ticked ones.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "app/pages/file_job_steps.h"
#include "text/machine_data_table.h"

namespace talvo::app {

class TKeyReader;

using text::kCategoryAlarmLog;
using text::kCategoryParameters;
using text::kCategoryTools;
using text::kMachineCategories;
using text::kMachineDataFiles;
using text::MachineCategory;
using text::TMachineCategory;

// A category whose count is 0 cannot be chosen.
bool CategoryAvailable(const TKeyReader& settings, int category, int systemType);
// The file names of a category, empty names left out.
std::vector<std::string> CategoryFileNames(const TKeyReader& settings, int category,
                                           int systemType);

// The PC file for a controller file `name` in `folder` (ending in '/'): the file already
// there whose name differs only in letter case, else folder + name.
std::string LocalFileFor(const std::string& folder, const std::string& name);

struct TMachineFileList {
  std::vector<TFileJobStep> steps;
  // A PC file a restore needs that is not there; the list is then not built.
  std::string missingFile;
  // Names of the settings that are no plain file names, and an alarm log a restore finds
  // missing: left out, the others go on.
  std::vector<TRefusedName> refused;
  bool Built() const { return missingFile.empty(); }
};

// The job for the ticked categories. A restore (`upload`) sends from `pcFolder` into the
// staging folder, which it makes first; a backup fetches from `ncFolder`. A name that could
// reach another folder on either side is left out.
TMachineFileList BuildMachineFileList(const TKeyReader& settings,
                                      const std::array<bool, kMachineCategories>& ticked,
                                      int systemType, const std::string& pcFolder,
                                      const std::string& ncFolder, bool upload);

}  // namespace talvo::app
