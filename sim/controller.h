// Everything both ports and the control channel share: one simulated controller.
#pragma once

#include <atomic>
#include <cstdint>

#include "sim/control/activity.h"
#include "sim/wire/connections.h"
#include "sim/wire/faults.h"
#include "sim/files/file_area.h"
#include "sim/files/file_faults.h"
#include "sim/machine/machine.h"
#include "sim/machine/messages.h"
#include "sim/options.h"

namespace vandir::sim {

struct Controller {
  explicit Controller(Options startOptions)
      : options(std::move(startOptions)), login(options.login), machine(options.lathe),
        // Relative names start from the machine's NC files folder.
        files(options.root, machine.With([](const MachineState& m) { return m.ncFilesPath; })) {}

  const Options options;
  std::atomic<std::int16_t> login;  // what the next handshake answers
  Faults faults;
  Activity activity;
  Connections connections;
  Machine machine;
  FileArea files;
  FileFaults fileFaults;
  Messages messages;
};

}  // namespace vandir::sim
