#include "sim/files/upload.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "sim/files/file_codes.h"

namespace vandir::sim {

Upload::Upload(ControllerPath target, bool overwrite, std::int64_t size,
               std::filesystem::path temporary, int fd)
    : target_(std::move(target)), overwrite_(overwrite), size_(size),
      temporary_(std::move(temporary)), fd_(fd) {}

Upload::~Upload() { Discard(); }

void Upload::Discard() {
  if (fd_ >= 0) close(fd_);
  fd_ = -1;
  if (!temporary_.empty()) unlink(temporary_.c_str());
  temporary_.clear();
}

std::int16_t Upload::Append(std::span<const std::uint8_t> bytes) {
  if (static_cast<std::int64_t>(bytes.size()) > size_ - received_) return kFileOutOfOrder;
  while (!bytes.empty()) {
    const ssize_t wrote = write(fd_, bytes.data(), bytes.size());
    if (wrote < 0 && errno == EINTR) continue;
    if (wrote <= 0) return kFileDiskError;
    bytes = bytes.subspan(static_cast<std::size_t>(wrote));
    received_ += wrote;
  }
  return kFileDone;
}

std::int16_t Upload::Commit(const std::filesystem::path& host) {
  const int fd = fd_;
  fd_ = -1;
  if (close(fd) != 0 || std::rename(temporary_.c_str(), host.c_str()) != 0) {
    Discard();
    return kFileDiskError;
  }
  temporary_.clear();
  return kFileDone;
}

}  // namespace vandir::sim
