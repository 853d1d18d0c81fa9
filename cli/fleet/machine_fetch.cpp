#include "cli/fleet/machine_fetch.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "cli/cached_reads.h"
#include "text/machine_data_table.h"
#include "text/sha256.h"

namespace talvo::cli {
namespace {

namespace fs = std::filesystem;
using vandir::TVandirCNC;

std::string Folder(std::string path) {
  if (!path.empty() && path.back() != '\\') path += '\\';
  return path;
}

// The file's size and digest as it now lies on the disk, its bytes flushed there; or the cause.
std::string HashAndSync(const fs::path& path, std::uint64_t& size, std::string& digest) {
  std::string cause;
  const auto hashed = text::Sha256OfFile(path, &cause);
  if (!hashed) return "cannot be read back: " + cause;
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  const bool synced = fd >= 0 && ::fsync(fd) == 0;
  if (!synced) cause = std::string("cannot be flushed to the disk: ") + std::strerror(errno);
  if (fd >= 0) ::close(fd);
  if (!synced) return cause;
  size = hashed->size;
  digest = hashed->sha256;
  return {};
}

}  // namespace

ControllerFiles PlanFiles(Session& session) {
  TVandirCNC& link = session.Link();
  session.Request({&TVandirCNC::AskSWInformation, &TVandirCNC::AskNCRootPath,
                   &TVandirCNC::AskNCMachinePath},
                  "the controller's version and folders");
  ControllerFiles plan{Read(link, &TVandirCNC::SWInformation), {}};
  const std::string root = Folder(Read(link, &TVandirCNC::Get_NC_Root_Path));
  const std::string machine = Folder(Read(link, &TVandirCNC::Get_NC_Machine_Path));
  if (machine.empty() || root.empty())
    throw Failure(ExitStatus::kControllerRefused, "the controller names no machine folder");
  const int systemType = text::SystemTypeOfVersion(plan.version);
  for (int category = 0; category < text::kMachineCategories; ++category) {
    const text::TMachineCategory& c = text::MachineCategory(category, systemType);
    for (const char* name : c.builtIn) plan.files.push_back({c.name, machine + name, name, 0, {}, {}});
  }
  plan.files.push_back({kDisplayStringsCategory,
                        root + "resource\\" + text::kDisplayStringsFile, text::kDisplayStringsFile,
                        0, {}, {}});
  return plan;
}

ExitStatus FetchFile(Session& session, const fs::path& folder, text::backup::ManifestFile& file,
                     const TransferProgress& progress) {
  const fs::path local = folder / file.name;
  try {
    Download(session, file.controller, local.string(), progress);
  } catch (const Failure& failure) {
    file.error = failure.what();
    return failure.Status();
  }
  if (std::string cause = HashAndSync(local, file.size, file.sha256); !cause.empty()) {
    std::error_code ignored;
    fs::remove(local, ignored);
    file.error = local.string() + ": " + cause;
    return ExitStatus::kLocalFile;
  }
  return ExitStatus::kSuccess;
}

void MarkNotFetched(text::backup::ManifestFile& file) {
  file.error = "not fetched: the connection was lost";
}

}  // namespace talvo::cli
