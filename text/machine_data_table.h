// The machine data files of a controller: eleven categories, each with its settings keys and
// the files that make it up unless the settings name others. The program's Machine page and
// talvo-cli's fleet backup copy the same files, so both read this one table.
#pragma once

#include <array>
#include <string_view>
#include <vector>

namespace talvo::text {

inline constexpr int kMachineCategories = 11;
inline constexpr const char* kMachineDataFiles = "Machine Data Files";
// Categories with a rule of their own.
inline constexpr int kCategoryParameters = 2;
inline constexpr int kCategoryTools = 3;  // milling or lathe files by the machine type
inline constexpr int kCategoryAlarmLog = 8;

struct TMachineCategory {
  const char* name;           // a stable word for reports and backup manifests
  const char* optionKey;      // section OPTIONS: whether the category is ticked
  const char* countKey;       // section "Machine Data Files": -1 built in, 0 none, n named
  const char* fileKeyPrefix;  // ... followed by 0 .. n-1
  std::vector<const char*> builtIn;
};

// The controller's English display strings, in its resource folder: not machine data, but
// what names the parameters and user parameters of a backup.
inline constexpr const char* kDisplayStringsFile = "DspE.str";

// Category 0..10; `systemType` 0 milling, 1 lathe.
const TMachineCategory& MachineCategory(int category, int systemType);

// The machine type a controller's version text names: 0 milling when its fifth character is
// "M", else 1 lathe (also for a text shorter than five characters).
int SystemTypeOfVersion(std::string_view version);

}  // namespace talvo::text
