// Replies to the requests that read the machine. Each fills a reply whose header is set
// and whose data area is zero, and returns false when the request is not one of its kind.
// A first index outside its table gets a reply that names nothing to store.
#pragma once

#include "link/package.h"
#include "sim/machine/machine_state.h"

namespace vandir::sim {

// Position, status and mode, the two information replies, system variables, alarms and
// warnings, handle pulses.
bool AnswerStatusRead(const MachineState& machine, const defPACKAGE& request, defPACKAGE& reply);
// Tools, work offsets, macro variables, parameters and the PLC tables.
bool AnswerTableRead(const MachineState& machine, const defPACKAGE& request, defPACKAGE& reply);
// Part paths, parameter detail, hardware and software information, controller paths
// and disk free.
bool AnswerSystemRead(const MachineState& machine, const defPACKAGE& request, defPACKAGE& reply);

}  // namespace vandir::sim
