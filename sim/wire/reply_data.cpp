#include "sim/wire/reply_data.h"

#include <algorithm>

namespace vandir::sim {

defPACKAGE ReplyTo(const defPACKAGE& request, std::int16_t command, std::int16_t length) {
  defPACKAGE reply;
  reply.set_iHead(kPackageHead);
  reply.set_iCommand(command);
  reply.set_iLength(length);
  reply.set_iIndex(request.iIndex());
  return reply;
}

std::int16_t AskedLength(const defPACKAGE& request) {
  const auto wanted = request.iReplyLength();
  return wanted >= kHeaderSize && wanted <= kPackageSize ? wanted : kHeaderSize;
}

int RoomFor(const defPACKAGE& reply, int offset, int size) {
  return std::max(0, (reply.iLength() - offset) / size);
}

void PutAxes(defPACKAGE& reply, int offset, const Axes& axes) {
  for (int axis = 0; axis < kAxes; ++axis) reply.put_i32(offset + 4 * axis, axes[axis]);
}

void PutText(defPACKAGE& reply, int offset, std::string_view text, int field) {
  if (field <= 0) return;
  reply.put_text(offset, text.substr(0, static_cast<std::size_t>(field - 1)));
}

}  // namespace vandir::sim
