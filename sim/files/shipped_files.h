// The controller's own files (alarm texts, display strings, the parameter index, histories,
// machine data) that a fresh simulator finds in its machine and resource folders.
#pragma once

#include <filesystem>

#include "sim/controller.h"

namespace vandir::sim {

// Copies DATA/MACHINE/* into the machine folder and DATA/RESOURCE/* into the root's
// RESOURCE folder, keeping files the file area has already. A missing DATA ships nothing;
// false, after telling why on stderr, when a file cannot be placed.
bool ShipControllerFiles(Controller& controller, const std::filesystem::path& data);

}  // namespace vandir::sim
