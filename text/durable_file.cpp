#include "text/durable_file.h"

#include <fstream>
#include <iterator>

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>

namespace talvo::text {
namespace {

std::string Cause(const char* step) { return std::string(step) + ": " + std::strerror(errno); }

// Every byte, through interruptions and short writes.
bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

// A new file of its own beside `path`. Opened with the permissions of any new file (the
// umask applies), which mkstemp's private 0600 would not give.
int CreateTemporary(const std::filesystem::path& path, std::string* name) {
  static std::atomic<unsigned> counter{0};
  for (;;) {
    *name = path.string() + ".part-" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
    const int fd = ::open(name->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
}

}  // namespace

std::string SyncFolder(const std::filesystem::path& folder) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return Cause("open folder");
  const bool synced = ::fsync(fd) == 0;
  const std::string cause = synced ? "" : Cause("fsync folder");
  ::close(fd);
  return cause;
}

std::string WriteDurably(const std::filesystem::path& path, std::string_view bytes) {
  std::string temporary;
  const int fd = CreateTemporary(path, &temporary);
  if (fd < 0) return Cause("create");
  std::string cause;
  if (!WriteAll(fd, bytes))
    cause = Cause("write");
  else if (::fsync(fd) != 0)
    cause = Cause("fsync");
  if (::close(fd) != 0 && cause.empty()) cause = Cause("close");
  if (cause.empty() && std::rename(temporary.c_str(), path.c_str()) != 0) cause = Cause("rename");
  if (!cause.empty()) {
    ::unlink(temporary.c_str());
    return cause;
  }
  return SyncFolder(path.parent_path().empty() ? "." : path.parent_path());
}

std::optional<std::string> ReadWhole(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return std::nullopt;
  std::string bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  if (file.bad()) return std::nullopt;
  return bytes;
}

}  // namespace talvo::text
