#include "sim/reply_data.h"

#include <algorithm>

namespace vandir::sim {

int RoomFor(const defPACKAGE& reply, int offset, int size) {
  return std::max(0, (reply.iLength() - offset) / size);
}

void PutAxes(defPACKAGE& reply, int offset, const Axes& axes) {
  for (int axis = 0; axis < kAxes; ++axis) reply.put_i32(offset + 4 * axis, axes[axis]);
}

void PutText(defPACKAGE& reply, int offset, std::string_view text, int field) {
  reply.put_text(offset, text.substr(0, static_cast<std::size_t>(field - 1)));
}

}  // namespace vandir::sim
