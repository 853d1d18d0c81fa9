// A clock that tests move by hand.
#pragma once

#include <atomic>
#include <cstdint>

#include "link/clock.h"

namespace vandir::test {

class ManualClock final : public Clock {
 public:
  explicit ManualClock(std::int64_t start = 1'700'000'000) : now_(start) {}
  std::int64_t Now() const override { return now_.load(); }
  void Advance(std::int64_t seconds) { now_ += seconds; }

 private:
  std::atomic<std::int64_t> now_;
};

}  // namespace vandir::test
