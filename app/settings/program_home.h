// The program home: the folder that holds the settings file, the language files and the
// Resource/, Machine/, Ncfiles/ and Setup/ folders. `--home DIR` wins, then the environment
// variable TALVO_HOME, then the executable's own folder.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace talvo::app {

// The home as a folder text with '/' separators and a trailing '/'.
std::string ResolveProgramHome(const std::optional<std::string>& homeArgument,
                               const char* homeVariable,
                               const std::filesystem::path& executableFolder);

// A folder text of the program: `folder` with a trailing '/'.
std::string FolderText(const std::filesystem::path& folder);

inline constexpr const char* kSettingsFileName = "Talvo-Maintenance.ini";

}  // namespace talvo::app
