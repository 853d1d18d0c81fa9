// The controller's data recorder: each record request is answered with the next record,
// which samples the machine positions of the first three axes.
#pragma once

#include "link/package.h"
#include "sim/machine/machine_state.h"

namespace vandir::sim {

// Fills `reply` with the next record, reply code included; false when the request is no
// record request.
bool AnswerRecord(MachineState& machine, const defPACKAGE& request, defPACKAGE& reply);

}  // namespace vandir::sim
