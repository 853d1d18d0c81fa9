#include "sim/files/file_faults.h"

#include <utility>

namespace vandir::sim {

void FileFaults::FailNext(std::int16_t code) {
  std::lock_guard lock(mutex_);
  failure_ = code;
}

void FileFaults::ArmTransferFault(TransferFault fault) {
  std::lock_guard lock(mutex_);
  transferFault_ = fault;
}

std::optional<std::int16_t> FileFaults::TakeFailure() {
  std::lock_guard lock(mutex_);
  return std::exchange(failure_, std::nullopt);
}

std::optional<TransferFault> FileFaults::TakeTransferFault(bool download) {
  std::lock_guard lock(mutex_);
  if (!download && transferFault_ && transferFault_->kind == TransferFault::Kind::EmptyPiece)
    return std::nullopt;
  return std::exchange(transferFault_, std::nullopt);
}

}  // namespace vandir::sim
