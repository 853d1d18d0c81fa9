#include "app/settings/program_home.h"

#include <unistd.h>

namespace talvo::app {

namespace fs = std::filesystem;

namespace {

constexpr const char* kHomeFolderName = "Talvo-Maintenance";
constexpr const char* kInstalledData = "/usr/share/talvo-maintenance";

std::string AbsoluteFolderText(const fs::path& folder) {
  std::error_code ec;
  const auto absolute = fs::absolute(folder, ec);
  return FolderText(ec ? folder : absolute.lexically_normal());
}

bool IsSet(const char* text) { return text && *text; }

// An installed program's folder (bin/ beside share/talvo-maintenance/) stays untouched even
// for a user who may write there, such as root under /usr/bin.
bool IsPortableCopy(const fs::path& executableFolder) {
  std::error_code ec;
  if (executableFolder.empty() || !fs::is_directory(executableFolder, ec)) return false;
  if (fs::is_directory(executableFolder / "../share/talvo-maintenance", ec)) return false;
  return ::access(executableFolder.c_str(), W_OK) == 0;
}

fs::path UserDataFolder(const char* xdgDataHome, const char* userHome) {
  // Only an absolute $XDG_DATA_HOME counts; a relative one is to be ignored.
  if (IsSet(xdgDataHome) && fs::path(xdgDataHome).is_absolute())
    return fs::path(xdgDataHome) / kHomeFolderName;
  const fs::path home = IsSet(userHome) ? fs::path(userHome) : fs::temp_directory_path();
  return home / ".local/share" / kHomeFolderName;
}

}  // namespace

std::string FolderText(const fs::path& folder) {
  std::string text = folder.generic_string();
  if (text.empty() || text.back() != '/') text += '/';
  return text;
}

ProgramHome ChooseProgramHome(const ProgramHomePlaces& places) {
  if (places.homeArgument && !places.homeArgument->empty())
    return {AbsoluteFolderText(*places.homeArgument), false};
  if (IsSet(places.homeVariable)) return {AbsoluteFolderText(places.homeVariable), false};
  if (IsPortableCopy(places.executableFolder))
    return {AbsoluteFolderText(places.executableFolder), false};
  return {AbsoluteFolderText(UserDataFolder(places.xdgDataHome, places.userHome)), true};
}

std::optional<fs::path> ShippedDataFolder(const fs::path& executableFolder) {
  std::error_code ec;
  const fs::path beside = executableFolder / "../share/talvo-maintenance";
  if (!executableFolder.empty() && fs::is_directory(beside, ec)) return beside.lexically_normal();
  if (fs::is_directory(kInstalledData, ec)) return fs::path(kInstalledData);
  return std::nullopt;
}

bool PreparePerUserHome(const fs::path& home, const std::optional<fs::path>& shipped) {
  std::error_code ec;
  fs::create_directories(home, ec);
  if (!fs::is_directory(home, ec)) return false;
  if (!shipped) return true;
  const fs::path source = *shipped / "Language";
  const fs::path target = home / "Language";
  if (!fs::is_directory(source, ec)) return true;
  fs::create_directories(target, ec);
  for (const auto& entry : fs::directory_iterator(source, ec)) {
    if (!entry.is_regular_file(ec)) continue;
    // skip_existing: a language file the user has edited is theirs.
    fs::copy_file(entry.path(), target / entry.path().filename(),
                  fs::copy_options::skip_existing, ec);
  }
  return true;
}

}  // namespace talvo::app
