#include "app/pages/machine_data_files.h"

#include <QString>

#include <filesystem>
#include <system_error>

#include "app/settings/key_file.h"

namespace talvo::app {
namespace {

constexpr int kBuiltInCount = -1;

int CategoryCount(const TKeyReader& settings, const TMachineCategory& category) {
  return settings.ReadInteger(kMachineDataFiles, category.countKey, kBuiltInCount);
}

}  // namespace

bool CategoryAvailable(const TKeyReader& settings, int category, int systemType) {
  return CategoryCount(settings, MachineCategory(category, systemType)) != 0;
}

std::vector<std::string> CategoryFileNames(const TKeyReader& settings, int category,
                                           int systemType) {
  const TMachineCategory& c = MachineCategory(category, systemType);
  const int count = CategoryCount(settings, c);
  std::vector<std::string> names;
  if (count == kBuiltInCount) {
    names.assign(c.builtIn.begin(), c.builtIn.end());
    return names;
  }
  for (int j = 0; j < count; ++j) {
    std::string name =
        settings.ReadString(kMachineDataFiles, c.fileKeyPrefix + std::to_string(j), "");
    if (!name.empty()) names.push_back(std::move(name));
  }
  return names;
}

std::string LocalFileFor(const std::string& folder, const std::string& name) {
  std::error_code ec;
  if (std::filesystem::exists(folder + name, ec)) return folder + name;  // the exact name wins
  const QString wanted = QString::fromStdString(name);
  for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end;
       it.increment(ec)) {
    const std::string found = it->path().filename().string();
    if (QString::fromStdString(found).compare(wanted, Qt::CaseInsensitive) == 0 &&
        it->is_regular_file(ec))
      return folder + found;
  }
  return folder + name;
}

TMachineFileList BuildMachineFileList(const TKeyReader& settings,
                                      const std::array<bool, kMachineCategories>& ticked,
                                      int systemType, const std::string& pcFolder,
                                      const std::string& ncFolder, bool upload) {
  const std::string pc = WithTrailing(pcFolder, '/');
  const std::string nc = upload ? kStagingFolder : WithTrailing(ncFolder, '\\');
  TMachineFileList list;
  if (upload) list.steps.push_back({fcDirCreate, nc.substr(0, nc.size() - 1), {}});
  for (int category = 0; category < kMachineCategories; ++category) {
    if (!ticked[static_cast<std::size_t>(category)]) continue;
    for (const std::string& name : CategoryFileNames(settings, category, systemType)) {
      if (auto unsafe = RefuseUnsafeName(name)) {
        list.refused.push_back(std::move(*unsafe));
        continue;
      }
      const std::string local = LocalFileFor(pc, name);
      const std::string remote = nc + name;
      if (!upload) {
        list.steps.push_back({fcReceiveFile, remote, local});
        continue;
      }
      std::error_code ec;
      if (!std::filesystem::is_regular_file(local, ec)) {
        // The controller keeps its alarm log itself: a restore goes on without it.
        if (category == kCategoryAlarmLog) {
          list.refused.push_back({name, ELeftOut::kNotThere});
          continue;
        }
        list.steps.clear();
        list.missingFile = local;
        return list;
      }
      list.steps.push_back({fcSendFile, local, remote});
    }
  }
  return list;
}

}  // namespace talvo::app
