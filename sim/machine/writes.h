// Requests that change the machine. Their reply carries the result in iParam1.
#pragma once

#include <cstdint>
#include <optional>

#include "link/package.h"
#include "sim/machine/machine_state.h"

namespace vandir::sim {

// The controller's result codes of a write, as the program's result table names them.
inline constexpr std::int16_t kAccepted = 0;
inline constexpr std::int16_t kOutOfRange = 4;      // a value the item cannot hold
inline constexpr std::int16_t kUnknownItem = 6;     // no such parameter, tool, kind, offset or address
inline constexpr std::int16_t kAxisOutOfRange = 9;  // an axis the offsets do not have
// The controller's own code for a refused password, which makes the program ask again.
inline constexpr std::int16_t kWrongPassword = 402;  // or a level nobody may write at

// The result of a write or control request, the machine changed when it is accepted;
// nullopt when the request changes nothing.
std::optional<std::int16_t> ApplyWrite(MachineState& machine, const defPACKAGE& request);

// Tool data and work offsets, whose values come in display units (see offset_writes.cpp).
std::int16_t SetToolData(MachineState& machine, const defPACKAGE& request);
std::int16_t SetCoordinate(MachineState& machine, const defPACKAGE& request);

}  // namespace vandir::sim
