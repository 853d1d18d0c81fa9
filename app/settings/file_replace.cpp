#include "app/settings/file_replace.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <vector>

namespace talvo::app {

namespace fs = std::filesystem;

namespace {

std::string Because(const std::string& what) { return what + ": " + std::strerror(errno); }

// The bits a newly made file gets. umask() itself cannot be read without setting it, and
// other threads (file transfers, the data recorder) create files meanwhile.
mode_t NewFileMode() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.starts_with("Umask:")) return 0666 & ~static_cast<mode_t>(std::stoul(line.substr(6), nullptr, 8));
  return 0644;
}

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

// The folder's entry of the renamed file reaches the disk too; a file system that cannot
// flush a folder (EINVAL) has nothing more to give.
bool SyncFolder(const fs::path& folder) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool synced = ::fsync(fd) == 0 || errno == EINVAL;
  const int saved = errno;
  ::close(fd);
  errno = saved;
  return synced;
}

}  // namespace

bool ReplaceFileContents(const fs::path& path, std::string_view bytes, std::string& failure) {
  // A settings file kept elsewhere through a link stays there, and the link stays a link.
  struct stat link {};
  fs::path target = path;
  if (::lstat(path.c_str(), &link) == 0 && S_ISLNK(link.st_mode)) {
    std::error_code ec;
    target = fs::canonical(path, ec);
    if (ec) {
      failure = "cannot follow the link " + path.string() + ": " + ec.message();
      return false;
    }
  }
  struct stat old {};
  const mode_t mode = ::stat(target.c_str(), &old) == 0 ? old.st_mode & 07777 : NewFileMode();

  std::string name = target.string() + ".XXXXXX";
  std::vector<char> pattern(name.begin(), name.end());
  pattern.push_back('\0');
  const int fd = ::mkstemp(pattern.data());
  if (fd < 0) {
    failure = Because("cannot create a temporary file beside " + target.string());
    return false;
  }
  const std::string temporary(pattern.data());
  // The step that failed, with errno taken at once (building a text may change it).
  const char* step = nullptr;
  int error = 0;
  const auto failed = [&](const char* what) {
    error = errno;
    step = what;
  };
  if (!WriteAll(fd, bytes))
    failed("cannot write the new file");
  else if (::fchmod(fd, mode) != 0)
    failed("cannot set the permissions of the new file");
  else if (::fsync(fd) != 0)
    failed("cannot flush the new file to the disk");
  if (::close(fd) != 0 && !step) failed("cannot close the new file");
  if (!step && ::rename(temporary.c_str(), target.c_str()) != 0)
    failed("cannot put the new file in place of the old one");
  if (step) {
    ::unlink(temporary.c_str());
    failure = std::string(step) + " " + temporary + ": " + std::strerror(error);
    return false;
  }
  const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
  if (!SyncFolder(folder)) {
    failure = Because("replaced " + target.string() + ", but cannot flush its folder to the disk");
    return false;
  }
  return true;
}

}  // namespace talvo::app
