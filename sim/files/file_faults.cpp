#include "sim/files/file_faults.h"

#include <utility>

namespace vandir::sim {

void FileFaults::FailNext(std::int16_t code) {
  std::lock_guard lock(mutex_);
  failure_ = code;
}

void FileFaults::DropTransferAfter(long steps) {
  std::lock_guard lock(mutex_);
  transferDrop_ = steps;
}

std::optional<std::int16_t> FileFaults::TakeFailure() {
  std::lock_guard lock(mutex_);
  return std::exchange(failure_, std::nullopt);
}

std::optional<long> FileFaults::TakeTransferDrop() {
  std::lock_guard lock(mutex_);
  return std::exchange(transferDrop_, std::nullopt);
}

}  // namespace vandir::sim
