#include "sim/machine/machine_clock.h"

#include <algorithm>

namespace vandir::sim {

MachineClock::MachineClock(Machine& machine, std::chrono::milliseconds period)
    : machine_(machine), period_(period), thread_([this] { Run(); }) {}

MachineClock::~MachineClock() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  stopped_.notify_all();
  thread_.join();
}

void MachineClock::Run() {
  auto next = std::chrono::steady_clock::now() + period_;
  std::unique_lock lock(mutex_);
  while (!stopped_.wait_until(lock, next, [this] { return stopping_; })) {
    lock.unlock();
    machine_.Tick(period_.count());
    lock.lock();
    // After a stall the clock goes on from now instead of catching up in a burst.
    next = std::max(next + period_, std::chrono::steady_clock::now());
  }
}

}  // namespace vandir::sim
