// Alarms and warnings as the controller numbers them. An alarm is a group and a number,
// known to the outside as group * 1000 + number; a warning is one bit of a warning word.
#pragma once

#include <cstdint>
#include <vector>

#include "sim/machine/machine_state.h"

namespace vandir::sim {

inline constexpr long kAlarmsPerGroup = 1000;
inline constexpr long kLastAlarmCode = 999'999;

// Adds alarm `code` (1 .. 999999) unless it is active already; false when the code is
// out of range or the list is full.
bool RaiseAlarm(MachineState& machine, long code);
void ClearAlarm(MachineState& machine, long code);
std::vector<long> AlarmCodes(const MachineState& machine);

// Sets or clears the bit behind warning 9000-9031, 6000-6031 or 2000-2095 (bit i of PLC
// warning word k is warning 2000 + 16k + i, with i below 16); false for any other number.
bool SetWarning(MachineState& machine, long number, bool on);
void ClearWarnings(MachineState& machine);
// The warning numbers a client derives from the warning words, in the order it scans them.
std::vector<long> WarningNumbers(const MachineState& machine);

}  // namespace vandir::sim
