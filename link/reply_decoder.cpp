#include "link/reply_decoder.h"

#include <algorithm>
#include <array>

namespace vandir {

namespace {

constexpr std::array<int, 20> kSetResultReplies = {592, 596, 598, 601, 602, 603, 607,
                                                   608, 609, 610, 611, 612, 630, 641,
                                                   647, 650, 652, 653, 654, 678};

void ApplySetResult(CacheData& c, const defRECEIVE_PACKAGE& reply) {
  c.SetIdle = 1;
  c.SetStatus = reply.iParam1();
}

}  // namespace

bool IsSetResultReply(int replyCode) {
  return std::find(kSetResultReplies.begin(), kSetResultReplies.end(), replyCode) !=
         kSetResultReplies.end();
}

void DecodeReply(Cache& cache, FileListQueue& /*fileList*/, const defRECEIVE_PACKAGE& reply,
                 int /*received*/, std::int64_t now) {
  cache.WithCurrent([&](CacheData& c) {
    if (IsSetResultReply(reply.iCommand())) ApplySetResult(c, reply);
    c.LastReplyTime = now;
  });
}

}  // namespace vandir
