// The control channel: one command per stdin line, one reply line on stdout for each.
#pragma once

#include <signal.h>

#include "sim/controller.h"
#include "sim/dnc/dnc_channel.h"

namespace vandir::sim {

// Serves control commands until quit or one of stopSignals (blocked in every thread by
// the caller); DNC sessions run on `dnc`. End of input stops only the reading: the
// simulator goes on serving.
void RunControl(Controller& controller, DncChannel& dnc, const sigset_t& stopSignals);

}  // namespace vandir::sim
