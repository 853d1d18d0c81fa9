#include "app/settings/program_home.h"

namespace talvo::app {

std::string FolderText(const std::filesystem::path& folder) {
  std::string text = folder.generic_string();
  if (text.empty() || text.back() != '/') text += '/';
  return text;
}

std::string ResolveProgramHome(const std::optional<std::string>& homeArgument,
                               const char* homeVariable,
                               const std::filesystem::path& executableFolder) {
  std::filesystem::path home = executableFolder;
  if (homeArgument && !homeArgument->empty())
    home = *homeArgument;
  else if (homeVariable && *homeVariable)
    home = homeVariable;
  std::error_code ec;
  const auto absolute = std::filesystem::absolute(home, ec);
  return FolderText(ec ? home : absolute.lexically_normal());
}

}  // namespace talvo::app
