// Everything both ports and the control channel share: one simulated controller.
#pragma once

#include <atomic>
#include <cstdint>

#include "sim/activity.h"
#include "sim/connections.h"
#include "sim/faults.h"
#include "sim/machine.h"
#include "sim/options.h"

namespace vandir::sim {

struct Controller {
  explicit Controller(Options startOptions)
      : options(std::move(startOptions)), login(options.login), machine(options.lathe) {}

  const Options options;
  std::atomic<std::int16_t> login;  // what the next handshake answers
  Faults faults;
  Activity activity;
  Connections connections;
  Machine machine;
};

}  // namespace vandir::sim
