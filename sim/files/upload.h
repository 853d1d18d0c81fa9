// An upload on its way in. Its bytes go to a temporary file beside the target, which
// takes the target's name only once every announced byte arrived: a broken or refused
// upload leaves no half file, and the old file stays until the new one is complete.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>

#include "sim/files/controller_path.h"

namespace vandir::sim {

class Upload {
 public:
  // Takes over the open temporary file `fd` at `temporary`.
  Upload(ControllerPath target, bool overwrite, std::int64_t size,
         std::filesystem::path temporary, int fd);
  Upload(const Upload&) = delete;
  Upload& operator=(const Upload&) = delete;
  // Removes the temporary file unless it was committed.
  ~Upload();

  const ControllerPath& Target() const { return target_; }
  bool Overwrite() const { return overwrite_; }
  bool Complete() const { return received_ == size_; }

  // A file result code: out of order when the bytes go beyond the announced size.
  std::int16_t Append(std::span<const std::uint8_t> bytes);
  // Gives the temporary file the name `host`; a file result code.
  std::int16_t Commit(const std::filesystem::path& host);

 private:
  void Discard();

  const ControllerPath target_;
  const bool overwrite_;
  const std::int64_t size_;
  std::int64_t received_ = 0;
  std::filesystem::path temporary_;  // empty once committed
  int fd_;
};

}  // namespace vandir::sim
