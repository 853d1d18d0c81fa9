#include "sim/files/shipped_files.h"

#include <cstdio>
#include <string>

namespace vandir::sim {
namespace {

bool ShipFolder(FileArea& files, const std::filesystem::path& from, const std::string& to) {
  std::error_code ec;
  if (!std::filesystem::is_directory(from, ec)) return true;
  if (!files.MakeFolders(to)) {
    std::fprintf(stderr, "error data: cannot make the folder %s\n", to.c_str());
    return false;
  }
  for (const auto& entry : std::filesystem::directory_iterator(from, ec)) {
    if (!entry.is_regular_file(ec)) continue;
    if (!files.Import(to, entry.path())) {
      std::fprintf(stderr, "error data: cannot place %s in %s\n", entry.path().c_str(), to.c_str());
      return false;
    }
  }
  return !ec;
}

}  // namespace

bool ShipControllerFiles(Controller& controller, const std::filesystem::path& data) {
  const auto [root, machine] = controller.machine.With([](const MachineState& m) {
    return std::pair{m.ncRootPath, m.ncMachinePath};
  });
  return ShipFolder(controller.files, data / "MACHINE", machine) &&
         ShipFolder(controller.files, data / "RESOURCE", root + "RESOURCE\\");
}

}  // namespace vandir::sim
