// The program the machine runs on its own clock. In AUTO with the status running it
// cuts one part per cycle: the axes follow the program's blocks at the programmed feed
// (scaled by the override), feeds, spindle speeds and codes follow the block, work time
// counts. At the end of a cycle the part count goes up and the machine waits, ready,
// for the next part to be loaded, then starts again. Every third part raises a
// lubrication warning while it is cut; every fourth pause raises a door alarm (and the
// alarm status) until the pause ends.
//
// Nothing else moves the axes, and everything follows from the state and the steps
// given, so a cycle switched off leaves the machine exactly as it is.
#pragma once

#include <cstdint>

#include "sim/machine/machine_state.h"

namespace vandir::sim {

inline constexpr long kLubricationWarning = 2003;
inline constexpr long kDoorAlarm = 3015;

void AdvanceCycle(MachineState& machine, std::int64_t stepMs);
// Back to the first block with the axes at the program's start point, spindle stopped.
void RewindProgram(MachineState& machine);

}  // namespace vandir::sim
