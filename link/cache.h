// The machine-data cache: a current copy written by the reply decoder on the transport
// thread and a reported copy that only the caller's thread touches (the value a read
// last handed out). The current copy is guarded by one mutex; a decoder applies a whole
// reply under it and a reader copies its fields out under it.
#pragma once

#include <cstdint>
#include <cstring>
#include <mutex>
#include <type_traits>

namespace vandir {

struct CacheData {
  // The set gate: at most one write command is outstanding.
  std::uint8_t SetIdle;
  std::int16_t SetIndex;
  std::int64_t SetTime;
  std::int16_t SetStatus;

  std::int64_t LastReplyTime;  // seconds, set by every decoded reply
};
static_assert(std::is_trivially_copyable_v<CacheData>);

class Cache {
 public:
  Cache() { Reset(); }

  // Current copy all zero, reported copy all 0x01 bytes, so the first read of any field
  // reports a change.
  void Reset() {
    std::lock_guard lock(mutex_);
    std::memset(&current_, 0, sizeof current_);
    std::memset(&reported_, 1, sizeof reported_);
  }

  template <class F>
  decltype(auto) WithCurrent(F&& f) {
    std::lock_guard lock(mutex_);
    return f(current_);
  }
  template <class F>
  decltype(auto) WithCurrent(F&& f) const {
    std::lock_guard lock(mutex_);
    return f(current_);
  }

  // The caller's thread alone uses the reported copy.
  CacheData& Reported() { return reported_; }

 private:
  mutable std::mutex mutex_;
  CacheData current_;
  CacheData reported_;
};

}  // namespace vandir
