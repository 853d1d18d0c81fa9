// The file area's side of uploads and downloads.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "sim/files/file_area.h"
#include "sim/files/file_codes.h"

namespace vandir::sim {

namespace fs = std::filesystem;

namespace {

// Leftovers of an earlier run may hold some numbers; after this many the folder is unusable.
constexpr int kTemporaryAttempts = 100;

}  // namespace

std::int16_t FileArea::BeginUpload(std::string_view target, bool overwrite, std::int64_t size,
                                   std::unique_ptr<Upload>& upload) {
  std::lock_guard lock(mutex_);
  const auto path = Parse(target);
  if (!path) return kFileBadName;
  if (path->names.empty()) return kFileWrongKind;
  const Place place = Locate(*path);
  if (!place.reachable) return kFileNotFound;
  if (place.kind == Kind::kFolder) return kFileWrongKind;
  if (place.kind == Kind::kFile && !overwrite) return kFileExists;
  // A name that is no 8.3 name: the controller never sees it, in a listing or otherwise.
  for (int attempt = 0; attempt < kTemporaryAttempts; ++attempt) {
    const fs::path temporary = place.host.parent_path() / (".upload-" + std::to_string(++uploads_));
    const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) {
      upload = std::make_unique<Upload>(*path, overwrite, size, temporary, fd);
      return kFileDone;
    }
    if (errno != EEXIST) break;
  }
  return kFileDiskError;
}

std::int16_t FileArea::FinishUpload(Upload& upload) {
  std::lock_guard lock(mutex_);
  if (!upload.Complete()) return kFileOutOfOrder;
  // Another client may have made the name meanwhile.
  const Place place = Locate(upload.Target());
  if (!place.reachable) return kFileNotFound;
  if (place.kind == Kind::kFolder) return kFileWrongKind;
  if (place.kind == Kind::kFile && !upload.Overwrite()) return kFileExists;
  return upload.Commit(place.host);
}

FileArea::Piece FileArea::ReadPiece(std::string_view name, std::int64_t offset,
                                    std::span<std::uint8_t> room) {
  std::lock_guard lock(mutex_);
  const auto path = Parse(name);
  if (!path) return {kFileBadName};
  const Place place = Locate(*path);
  if (place.kind == Kind::kMissing) return {kFileNotFound};
  if (place.kind == Kind::kFolder) return {kFileWrongKind};
  const int fd = open(place.host.c_str(), O_RDONLY | O_CLOEXEC);
  struct stat info {};
  if (fd < 0 || fstat(fd, &info) != 0) {
    if (fd >= 0) close(fd);
    return {kFileDiskError};
  }
  Piece piece;
  piece.remaining = info.st_size - offset;
  if (offset < 0 || piece.remaining < 0) {
    piece = {kFileOutOfOrder};
  } else {
    const auto wanted = static_cast<std::size_t>(
        std::min<std::int64_t>(piece.remaining, static_cast<std::int64_t>(room.size())));
    const ssize_t got = pread(fd, room.data(), wanted, offset);
    if (got < 0 || static_cast<std::size_t>(got) != wanted) {
      piece = {kFileDiskError};
    } else {
      piece.length = static_cast<int>(got);
    }
  }
  close(fd);
  return piece;
}

}  // namespace vandir::sim
