#include "sim/responder.h"

#include <algorithm>
#include <array>

namespace vandir::sim {

namespace {

// Requests that change the controller; their reply carries the result in iParam1.
// 256 is here because after the handshake it is a user login.
constexpr std::array<std::int16_t, 21> kSetCommands = {256, 336, 340, 342, 345, 346, 347,
                                                       351, 352, 353, 354, 355, 356, 374,
                                                       385, 391, 394, 396, 397, 398, 422};
constexpr std::int16_t kAccepted = 0;

// The client reads exactly iReplyLength bytes; a length no package can have gets a bare header.
std::int16_t ReplyLength(const defPACKAGE& request) {
  const auto wanted = request.iReplyLength();
  return wanted >= kHeaderSize && wanted <= kPackageSize ? wanted : kHeaderSize;
}

}  // namespace

defPACKAGE Responder::Answer(const defPACKAGE& request) const {
  defPACKAGE reply;
  reply.set_iHead(kPackageHead);
  reply.set_iCommand(static_cast<std::int16_t>(request.iCommand() + kReplyOffset));
  reply.set_iLength(ReplyLength(request));
  reply.set_iIndex(request.iIndex());
  if (std::ranges::binary_search(kSetCommands, request.iCommand())) reply.set_iParam1(kAccepted);
  return reply;
}

}  // namespace vandir::sim
