#include "sim/machine.h"

#include "sim/cycle.h"
#include "sim/read_replies.h"
#include "sim/writes.h"

namespace vandir::sim {

namespace {

// The client reads exactly iReplyLength bytes; a length no package can have gets a bare header.
std::int16_t ReplyLength(const defPACKAGE& request) {
  const auto wanted = request.iReplyLength();
  return wanted >= kHeaderSize && wanted <= kPackageSize ? wanted : kHeaderSize;
}

}  // namespace

defPACKAGE Machine::Answer(const defPACKAGE& request) {
  defPACKAGE reply;
  reply.set_iHead(kPackageHead);
  reply.set_iCommand(static_cast<std::int16_t>(request.iCommand() + kReplyOffset));
  reply.set_iLength(ReplyLength(request));
  reply.set_iIndex(request.iIndex());

  std::lock_guard lock(mutex_);
  if (const auto result = ApplyWrite(state_, request)) {
    reply.set_iParam1(*result);
  } else if (!AnswerStatusRead(state_, request, reply) &&
             !AnswerTableRead(state_, request, reply)) {
    AnswerSystemRead(state_, request, reply);
  }
  return reply;
}

void Machine::Tick(std::int64_t stepMs) {
  std::lock_guard lock(mutex_);
  AdvanceCycle(state_, stepMs);
}

}  // namespace vandir::sim
