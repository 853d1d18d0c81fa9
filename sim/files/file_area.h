// The controller's drives, kept in a folder of the host: drive C: is the folder ROOT/C and
// C:\NC\O1234.NC the file ROOT/C/NC/O1234.NC. Names are found without regard to case and
// made in upper case, as on the DOS-like controller; host entries that are no 8.3 name,
// and symbolic links, do not exist for the controller, so no request reaches outside ROOT.
//
// Both ports and the control channel share it; each operation holds the lock throughout,
// so a check and the change it allows are one step for every client.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "sim/files/controller_path.h"
#include "sim/files/file_entry.h"
#include "sim/files/upload.h"

namespace vandir::sim {

class FileArea {
 public:
  // Relative controller paths start from the folder `current` (C:\ when it is no path).
  FileArea(std::filesystem::path root, std::string_view current);

  // Makes the folder `path` and the folders on its way, as the machine's own folders must
  // exist; false when it is no path or the host refuses.
  bool MakeFolders(std::string_view path);
  // Copies the host file `source` into the existing controller folder `folder` under its
  // own name, unless the controller has a file of that name already; false when the host
  // refuses or the name is no 8.3 name.
  bool Import(std::string_view folder, const std::filesystem::path& source);

  // File commands, each answering a file result code. A new name without drive or
  // backslash stays in the old name's folder.
  std::int16_t Rename(std::string_view from, std::string_view to);
  std::int16_t Delete(std::string_view name);
  std::int16_t MakeFolder(std::string_view name);
  std::int16_t RemoveFolder(std::string_view name);

  // What a listing of `folder` shows, by name: a folder's entries, or those that match a
  // pattern in its last name (C:\NC\*.NC), or a single file. nullopt when the folder, or
  // the file, does not exist.
  std::optional<std::vector<FileEntry>> List(std::string_view folder);
  // Every folder ("C:\NC\") and file ("C:\NC\O1.NC=SIZE") below `folder`, depth first.
  std::optional<std::vector<std::string>> Tree(std::string_view folder);

  // Opens an upload of `size` bytes into `target`; a file result code, with `upload` set
  // when it is done.
  std::int16_t BeginUpload(std::string_view target, bool overwrite, std::int64_t size,
                           std::unique_ptr<Upload>& upload);
  // Puts a complete upload in place of its target.
  std::int16_t FinishUpload(Upload& upload);

  struct Piece {
    std::int16_t result = 0;     // a file result code
    int length = 0;              // bytes copied
    std::int64_t remaining = 0;  // bytes from `offset` to the end of the file
  };
  // Copies the bytes of file `name` from `offset` on into `room`, as many as fit.
  Piece ReadPiece(std::string_view name, std::int64_t offset, std::span<std::uint8_t> room);

 private:
  enum class Kind { kMissing, kFile, kFolder };
  struct Place {
    std::filesystem::path host;  // where the entry is, or where it would be made
    Kind kind = Kind::kMissing;
    bool reachable = false;  // the drive and every folder on the way exist
  };
  struct Found {
    FileEntry entry;
    std::filesystem::path host;
  };

  std::optional<ControllerPath> Parse(std::string_view text, bool pattern = false) const;
  Place Locate(const ControllerPath& path) const;
  Place Find(const std::filesystem::path& folder, std::string_view name) const;
  // The files and folders of a host folder that the controller sees, by name.
  std::vector<Found> Entries(const std::filesystem::path& folder) const;
  void AddTree(const ControllerPath& path, const std::filesystem::path& host,
               std::vector<std::string>& items) const;

  const std::filesystem::path root_;
  const ControllerPath current_;
  std::mutex mutex_;
  unsigned long uploads_ = 0;  // numbers the temporary files
};

}  // namespace vandir::sim
