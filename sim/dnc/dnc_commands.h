// The control commands that run DNC sessions against the PC on the DNC channel (see the
// README's simulator section for the list).
#pragma once

#include <string>
#include <vector>

#include "sim/dnc/dnc_session.h"

namespace vandir::sim {

// The reply line to a command whose first word is "dnc".
std::string ExecuteDncCommand(DncSession& session, const std::vector<std::string>& words);

}  // namespace vandir::sim
