// Writing a reply's data area. Only the reply's first iLength bytes reach the client,
// so every count a reply declares is bounded by the room those bytes leave.
#pragma once

#include <cstdint>
#include <string_view>

#include "link/package.h"
#include "sim/machine/machine_state.h"

namespace vandir::sim {

// A reply to `request` with the code `command`, `length` bytes long; its data area is zero.
defPACKAGE ReplyTo(const defPACKAGE& request, std::int16_t command, std::int16_t length);
// The reply length an ordinary request asks for; a length no package can have gets a bare header.
std::int16_t AskedLength(const defPACKAGE& request);

// How many items of `size` bytes fit between package offset `offset` and the reply's end.
int RoomFor(const defPACKAGE& reply, int offset, int size);

void PutAxes(defPACKAGE& reply, int offset, const Axes& axes);

// The text in a `field`-byte field, cut to leave room for its NUL.
void PutText(defPACKAGE& reply, int offset, std::string_view text, int field);

}  // namespace vandir::sim
