// Everything both ports and the control channel share: one simulated controller.
#pragma once

#include <atomic>
#include <cstdint>

#include "sim/activity.h"
#include "sim/connections.h"
#include "sim/faults.h"
#include "sim/options.h"
#include "sim/responder.h"

namespace vandir::sim {

struct Controller {
  explicit Controller(Options startOptions) : options(std::move(startOptions)), login(options.login) {}

  const Options options;
  std::atomic<std::int16_t> login;  // what the next handshake answers
  Faults faults;
  Activity activity;
  Connections connections;
  Responder responder;
};

}  // namespace vandir::sim
