// Moves the machine on its own clock: a thread that ticks it once per period, from
// construction to destruction. Each tick is one period of machine time, however late
// it comes, so the machine's clock never jumps.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "sim/machine/machine.h"

namespace vandir::sim {

class MachineClock {
 public:
  MachineClock(Machine& machine, std::chrono::milliseconds period);
  MachineClock(const MachineClock&) = delete;
  MachineClock& operator=(const MachineClock&) = delete;
  ~MachineClock();

 private:
  void Run();

  Machine& machine_;
  const std::chrono::milliseconds period_;
  std::mutex mutex_;
  std::condition_variable stopped_;
  bool stopping_ = false;
  std::thread thread_;
};

}  // namespace vandir::sim
