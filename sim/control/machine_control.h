// The control commands that read and change the machine (see the README's simulator
// section for the list).
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "sim/machine/machine.h"

namespace vandir::sim {

// The reply line, or nullopt when `words` is no machine command.
std::optional<std::string> ExecuteMachineCommand(Machine& machine,
                                                 const std::vector<std::string>& words);

}  // namespace vandir::sim
