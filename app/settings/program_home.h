// The program home: the folder that holds the settings file, the language files and the
// Resource/, Machine/, Ncfiles/ and Setup/ folders. `--home DIR` wins, then the environment
// variable TALVO_HOME, then the executable's own folder when it is a portable copy (a
// writable folder that is not an installed program's), else a folder of the user's:
// $XDG_DATA_HOME/Talvo-Maintenance, by default ~/.local/share/Talvo-Maintenance.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace talvo::app {

// Where the program looks for its home; the environment's texts may be null.
struct ProgramHomePlaces {
  std::optional<std::string> homeArgument;
  const char* homeVariable = nullptr;
  std::filesystem::path executableFolder;
  const char* xdgDataHome = nullptr;
  const char* userHome = nullptr;  // $HOME
};

struct ProgramHome {
  std::string folder;     // a folder text: '/' separators and a trailing '/'
  bool perUser = false;   // the user's data folder, to be made and seeded before use
};

ProgramHome ChooseProgramHome(const ProgramHomePlaces& places);

// The files an installed program ships (Language/, sim/): ../share/talvo-maintenance beside
// the executable's folder, else /usr/share/talvo-maintenance; nothing when neither exists.
std::optional<std::filesystem::path> ShippedDataFolder(
    const std::filesystem::path& executableFolder);

// Makes the per-user home when missing and copies the shipped language files it lacks into
// its Language/ folder; files already there (the user's own changes) stay as they are.
// False when the folder cannot be made; a language file that cannot be copied is left out.
bool PreparePerUserHome(const std::filesystem::path& home,
                        const std::optional<std::filesystem::path>& shipped);

// A folder text of the program: `folder` with a trailing '/'.
std::string FolderText(const std::filesystem::path& folder);

inline constexpr const char* kSettingsFileName = "Talvo-Maintenance.ini";

}  // namespace talvo::app
