// A periodic timer with a thread of its own, so the library needs no event loop of the
// caller's. The handler runs on the timer's thread; the thread exists from the first
// enable until the timer is destroyed.
#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace vandir {

class PeriodicTimer {
 public:
  PeriodicTimer(std::chrono::milliseconds interval, std::function<void()> handler);
  ~PeriodicTimer();
  PeriodicTimer(const PeriodicTimer&) = delete;
  PeriodicTimer& operator=(const PeriodicTimer&) = delete;

  void SetEnabled(bool enabled);
  bool Enabled() const;

 private:
  void Run();

  const std::chrono::milliseconds interval_;
  const std::function<void()> handler_;
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  bool enabled_ = false;
  bool stopping_ = false;
  std::thread thread_;
};

}  // namespace vandir
