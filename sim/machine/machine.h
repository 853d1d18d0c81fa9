// The machine both ports, the control channel and the clock share. The two port threads
// answer requests with it, the control thread reads and changes it, the clock moves it;
// each of them holds its lock for the whole of what it does.
#pragma once

#include <cstdint>
#include <mutex>

#include "link/package.h"
#include "sim/machine/machine_state.h"

namespace vandir::sim {

class Machine {
 public:
  explicit Machine(bool lathe) : state_(InitialState(lathe)) {}

  // The reply to an ordinary request, exactly as long as the client asked for: a read is
  // answered from the machine, a write is applied and answered with its result, and any
  // other code gets its reply code and zeros.
  defPACKAGE Answer(const defPACKAGE& request);

  // Moves the program cycle on by `stepMs` of machine time.
  void Tick(std::int64_t stepMs);

  // Runs `action` on the machine under its lock.
  template <typename Action>
  auto With(Action action) {
    std::lock_guard lock(mutex_);
    return action(state_);
  }

 private:
  std::mutex mutex_;
  MachineState state_;
};

}  // namespace vandir::sim
