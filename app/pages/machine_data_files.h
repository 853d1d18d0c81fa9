// The machine data files of a backup or restore: the eleven categories, which files make up
// each (built in, or named in the settings), and the job that copies the ticked ones.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "app/pages/file_job_steps.h"

namespace talvo::app {

class TKeyReader;

inline constexpr int kMachineCategories = 11;
inline constexpr const char* kMachineDataFiles = "Machine Data Files";
// Categories with a rule of their own.
inline constexpr int kCategoryParameters = 2;
inline constexpr int kCategoryTools = 3;  // milling or lathe files by the machine type
inline constexpr int kCategoryAlarmLog = 8;

struct TMachineCategory {
  const char* optionKey;      // section OPTIONS: whether the category is ticked
  const char* countKey;       // section "Machine Data Files": -1 built in, 0 none, n named
  const char* fileKeyPrefix;  // ... followed by 0 .. n-1
  std::vector<const char*> builtIn;
};

// Category 0..10; `systemType` 0 milling, 1 lathe.
const TMachineCategory& MachineCategory(int category, int systemType);
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
