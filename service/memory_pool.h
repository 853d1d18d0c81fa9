// Records handed out from blocks of N, never freed one by one: Clear releases them all at
// once and keeps the blocks, so building long lists allocates a block per N records at most.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace talvo {

template <class T, std::size_t N>
class TMemoryPool {
 public:
  // The first free record in block order; a new block when all are taken.
  T* Take() {
    for (auto& block : blocks_) {
      if (T* record = block->TakeFree()) return record;
    }
    blocks_.push_back(std::make_unique<Block>());
    return blocks_.back()->TakeFree();
  }
  void Clear() {
    for (auto& block : blocks_) block->used.fill(0);
  }
  std::size_t BlockCount() const { return blocks_.size(); }

 private:
  struct Block {
    std::array<T, N> records{};
    std::array<std::uint8_t, (N + 7) / 8> used{};

    T* TakeFree() {
      for (std::size_t i = 0; i < N; ++i) {
        std::uint8_t& bits = used[i / 8];
        const std::uint8_t bit = static_cast<std::uint8_t>(1u << (i % 8));
        if ((bits & bit) == 0) {
          bits |= bit;
          return &records[i];
        }
      }
      return nullptr;
    }
  };
  std::vector<std::unique_ptr<Block>> blocks_;
};

}  // namespace talvo
