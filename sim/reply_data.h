// Writing a reply's data area. Only the reply's first iLength bytes reach the client,
// so every count a reply declares is bounded by the room those bytes leave.
#pragma once

#include <string_view>

#include "link/package.h"
#include "sim/machine_state.h"

namespace vandir::sim {

// How many items of `size` bytes fit between package offset `offset` and the reply's end.
int RoomFor(const defPACKAGE& reply, int offset, int size);

void PutAxes(defPACKAGE& reply, int offset, const Axes& axes);

// The text in a `field`-byte field, cut to leave room for its NUL.
void PutText(defPACKAGE& reply, int offset, std::string_view text, int field);

}  // namespace vandir::sim
