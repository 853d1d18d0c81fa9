// Blocks of a controller directory listing, pushed by the reply decoder on the transport
// thread and popped by the caller: first a 2-byte total count, then one 44-byte entry per file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <vector>

namespace vandir {

class FileListQueue {
 public:
  using Block = std::vector<std::uint8_t>;

  void Push(Block block) {
    std::lock_guard lock(mutex_);
    blocks_.push_back(std::move(block));
  }
  std::optional<Block> Pop() {
    std::lock_guard lock(mutex_);
    if (blocks_.empty()) return std::nullopt;
    Block front = std::move(blocks_.front());
    blocks_.pop_front();
    return front;
  }
  void Clear() {
    std::lock_guard lock(mutex_);
    blocks_.clear();
  }
  std::size_t Size() const {
    std::lock_guard lock(mutex_);
    return blocks_.size();
  }

 private:
  mutable std::mutex mutex_;
  std::deque<Block> blocks_;
};

}  // namespace vandir
