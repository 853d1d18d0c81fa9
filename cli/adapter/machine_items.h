// What the adapter reports, and how the controller's numbers become MTConnect values:
// execution and controller mode from the controller's status and mode, lengths from its
// least increment (0.0001 mm, or inch while G20 holds) to millimetres and rotary axes to
// degrees, feeds to millimetres per second, overrides to percent, program names from the
// controller's code page to UTF-8, alarm and warning numbers to conditions with their texts.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "cli/adapter/controller_setup.h"
#include "cli/adapter/snapshot.h"
#include "link/vandircnc.h"

namespace talvo::cli::adapter {

// The controller's raw values, as its link hands them out.
struct MachineState {
  std::int16_t mode = 0;
  std::int16_t status = 0;
  std::string mainProgram;
  std::string currentProgram;
  std::int32_t blockNumber = 0;
  std::int32_t blockLine = 0;
  std::int32_t feedCommand = 0;
  std::int32_t feedActual = 0;
  double feedOverride = 0;  // a fraction: 1 is 100 %
  struct Spindle {
    std::int32_t command = 0;
    std::int32_t actual = 0;
    double override = 0;
  };
  std::array<Spindle, 3> spindles{};
  std::int16_t tool = 0;
  std::int32_t parts = 0;
  std::int32_t partsRequired = 0;
  std::array<std::int32_t, vandir::kAxes> machinePosition{};
  std::array<std::int32_t, vandir::kAxes> workPosition{};
  bool inch = false;  // G20 active: lengths and feeds count 0.0001 inch
  std::vector<std::int32_t> alarms;
  std::vector<std::int32_t> warnings;
};

// Alarm and warning texts by the number the controller's screen shows.
using DisplayTexts = std::map<std::int32_t, std::string>;

// Reads the link's cache. Each read also queues the request that refreshes its value, so
// the next call sees what the controller answered in between.
MachineState ReadMachineState(vandir::TVandirCNC& link);

Snapshot SnapshotOf(const MachineState& state, const DisplayTexts& texts,
                    const ControllerSetup& setup, std::chrono::system_clock::time_point time);
// The same items, every one UNAVAILABLE.
Snapshot UnavailableSnapshot(std::chrono::system_clock::time_point time);

// UNAVAILABLE for a number the controller does not define.
std::string_view ExecutionOf(std::int16_t status);
std::string_view ControllerModeOf(std::int16_t mode);
// The number the controller's screen shows for a warning: PLC warnings count from 2001.
std::int32_t DisplayedWarning(std::int32_t warning);
// 0.0001 units as a decimal of units, exactly: -12345 is -1.2345.
std::string TenThousandths(std::int64_t value);

}  // namespace talvo::cli::adapter
