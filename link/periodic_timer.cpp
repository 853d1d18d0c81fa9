#include "link/periodic_timer.h"

namespace vandir {

PeriodicTimer::PeriodicTimer(std::chrono::milliseconds interval, std::function<void()> handler)
    : interval_(interval), handler_(std::move(handler)) {}

PeriodicTimer::~PeriodicTimer() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  if (thread_.joinable()) thread_.join();
}

void PeriodicTimer::SetEnabled(bool enabled) {
  std::lock_guard lock(mutex_);
  enabled_ = enabled;
  if (enabled && !thread_.joinable()) thread_ = std::thread([this] { Run(); });
  changed_.notify_all();
}

bool PeriodicTimer::Enabled() const {
  std::lock_guard lock(mutex_);
  return enabled_;
}

void PeriodicTimer::Run() {
  std::unique_lock lock(mutex_);
  auto next = std::chrono::steady_clock::now() + interval_;
  while (!stopping_) {
    if (!enabled_) {
      changed_.wait(lock, [&] { return stopping_ || enabled_; });
      next = std::chrono::steady_clock::now() + interval_;
      continue;
    }
    if (changed_.wait_until(lock, next, [&] { return stopping_ || !enabled_; })) continue;
    next += interval_;
    const auto now = std::chrono::steady_clock::now();
    if (next < now) next = now + interval_;  // a slow handler skips ticks rather than bunching them
    lock.unlock();
    handler_();
    lock.lock();
  }
}

}  // namespace vandir
