#include "sim/machine/machine.h"

#include "sim/machine/cycle.h"
#include "sim/machine/read_replies.h"
#include "sim/machine/recorder.h"
#include "sim/wire/reply_data.h"
#include "sim/machine/writes.h"

namespace vandir::sim {

defPACKAGE Machine::Answer(const defPACKAGE& request) {
  auto reply = ReplyTo(request, static_cast<std::int16_t>(request.iCommand() + kReplyOffset),
                       AskedLength(request));
  std::lock_guard lock(mutex_);
  if (const auto result = ApplyWrite(state_, request)) {
    reply.set_iParam1(*result);
  } else if (!AnswerRecord(state_, request, reply) && !AnswerStatusRead(state_, request, reply) &&
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
